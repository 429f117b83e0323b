#include "results/html_result_writer.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::string_view kTitle = "Strandix!";

// Highest counter tried for the page's name: els000000.htm to els099998.htm.
constexpr int kLastNameCounter = 99998;

// Class keyword1 gets the first colour, and so on; the twelfth keyword starts over.
constexpr const char* kPalette[] = {"#FF00FF", "#008000", "#808000", "#800000",
                                    "#000080", "#FF0000", "#0000FF", "#800080",
                                    "#008080", "#808080", "#000000"};
constexpr int kKeywordClasses = sizeof kPalette / sizeof kPalette[0];
static_assert(kKeywordClasses == kPageKeywordClasses, "the legend counts the page's colours");

// The legend's and the captions' own style, only on a page that has them.
constexpr std::string_view kLegendStyle =
    "      .legend { font-family: Arial }\r\n"
    "      .caption { font-family: Arial; font-size: small }\r\n";

constexpr std::string_view kHeaderStart =
    "<html>\r\n<head>\r\n   <title>Equidistant Letter Sequences</title>\r\n   <style>\r\n"
    "      hr { color: #000000 }\r\n"
    "      .text { color: #C0C0C0; font-family: Courier New }\r\n";

constexpr std::string_view kSizeQuestion =
    "The results file has exceeded 5 MB.  Most web browsers cannot efficiently\n"
    "open a file that large.  If you continue, your computer may freeze when\n"
    "you view the results.  Do you wish to continue?";

// The credit notice and the producer's sentence are the program's own; the link goes to a
// domain reserved for examples.
constexpr std::string_view kCredit = "Letter grids drawn by the Strandix! search";
constexpr std::string_view kProducer =
    " is made by Tarnwick: <a href=\"https://www.example.com/\">www.example.com</a>";

}  // namespace

CHtmlResultWriter::CHtmlResultWriter(CProgressReceiver& receiver, CFileSystem& fileSystem)
    : receiver_(receiver), fileSystem_(fileSystem) {}

// Closing happens by releasing the file; the page stays where it is.
CHtmlResultWriter::~CHtmlResultWriter() = default;

std::string CHtmlResultWriter::GetFilePath() const {
    return filePath_;
}

bool CHtmlResultWriter::CreateResultsFile(std::string& errorText) {
    std::string folder;
    if (!fileSystem_.GetTempFolder(folder)) {
        errorText = "Unable to save the results.  Could not locate the temporary folder.";
        return false;
    }
    // Never overwrite or reuse what is there: take the first name that can be made new.
    for (int counter = 0; counter <= kLastNameCounter; ++counter) {
        char name[16];
        std::snprintf(name, sizeof name, "els%06d.htm", counter);
        std::string path = folder + name;
        if (std::unique_ptr<CWritableFile> created = fileSystem_.CreateNewFile(path)) {
            file_ = std::move(created);
            filePath_ = std::move(path);
            return true;
        }
    }
    errorText = "Unable to save the results.  Could not create the temporary file.";
    return false;
}

bool CHtmlResultWriter::Begin(std::string& errorText) {
    errorText.clear();
    if (!CreateResultsFile(errorText)) return false;
    // A Cancel in the retry prompt has told the user already: no error text then.
    std::string start(kHeaderStart);
    // A page in another script says how its bytes are to be read.
    if (script_) start.insert(start.find("<title>"), "<meta charset=\"utf-8\">\r\n   ");
    if (!WriteText(start)) return false;
    for (int i = 0; i < kKeywordClasses; ++i) {
        char line[128];
        const int length =
            std::snprintf(line, sizeof line,
                          "      .keyword%d { color: %s; font-weight: bold; border-style: solid; "
                          "border-width: 0 }\r\n",
                          i + 1, kPalette[i]);
        if (!WriteBytes(line, static_cast<std::size_t>(length))) return false;
    }
    if (legend_ && !WriteText(kLegendStyle)) return false;
    std::string last = "   </style>\r\n</head>\r\n<body>\r\n<h1>";
    last += kTitle;
    last += "</h1>\r\n<h2>Equidistant Letter Sequences</h2>\r\n";
    if (!WriteText(last)) return false;
    if (!legend_) return true;
    markup_.Reset();
    legend_->AppendKey(markup_);
    return WriteBytes(markup_.Data(), static_cast<std::size_t>(markup_.Used()));
}

bool CHtmlResultWriter::AddResult(const char* text, std::int32_t first, std::int32_t last,
                                  std::int32_t columns, const ResultPositions& positions) {
    if (!sizeWarned_ && file_) {
        std::uint64_t size = 0;
        // When the size is unknown the check is simply made again at the next find.
        if (file_->GetSize(size) && size > kResultsSizeWarningBytes) {
            sizeWarned_ = true;
            if (!receiver_.AskYesNo(std::string(kSizeQuestion))) return false;
        }
    }

    markup_.Reset();
    if (resultsWritten_ != 0) markup_.Append("<hr>\r\n");
    if (legend_) legend_->AppendCaption(markup_, text, positions);
    // Right-to-left rows: the block sets where a short row stands, the override the order of
    // every letter (digits included) within a row.
    if (script_ && script_->rightToLeft) markup_.Append("<div dir=\"rtl\"><bdo dir=\"rtl\">");
    markup_.Append("<span class=\"text\">");

    const std::int64_t count = std::int64_t{last} - first + 1;
    const std::int64_t n = count > 0 ? count : 0;
    // The keywords' letters by cell; a letter used by two keywords goes to the later one in
    // search order, the last of its cell once sorted.
    marks_.clear();
    for (std::size_t k = 0; k < positions.size(); ++k) {
        for (const std::int64_t p : positions[k]) {
            if (p >= first && p <= last)
                marks_.emplace_back(p - first, static_cast<std::int32_t>(k));
        }
    }
    std::sort(marks_.begin(), marks_.end());
    const std::int64_t width = columns > 0 ? columns : 1;
    const char* cells = text + first;
    // The letters between two keyword letters of a row go out as one run.
    const auto appendRun = [&](std::int64_t from, std::int64_t to) {
        if (!script_) {
            markup_.Append(cells + from, static_cast<std::int32_t>(to - from));
            return;
        }
        for (std::int64_t j = from; j < to; ++j)
            markup_.Append(script_->letters[static_cast<unsigned char>(cells[j])]);
    };
    std::size_t mark = 0;
    for (std::int64_t j = 0; j < n;) {
        if (j > 0 && j % width == 0) markup_.Append("<br>\r\n");
        const std::int64_t rowEnd = std::min(n, (j / width + 1) * width);
        while (mark < marks_.size() && marks_[mark].first < j)
            ++mark;
        const std::int64_t next = mark < marks_.size() ? marks_[mark].first : n;
        const std::int64_t runEnd = std::min(rowEnd, next);
        appendRun(j, runEnd);
        j = runEnd;
        if (j == next && j < rowEnd) {
            while (mark + 1 < marks_.size() && marks_[mark + 1].first == j)
                ++mark;
            markup_.Append("<span class=\"keyword");
            markup_.AppendInteger(marks_[mark].second % kKeywordClasses + 1);
            markup_.Append("\">");
            appendRun(j, j + 1);
            markup_.Append("</span>");
            ++j;
        }
    }
    markup_.Append("\r\n</span>");
    if (script_ && script_->rightToLeft) markup_.Append("</bdo></div>");
    markup_.Append("\r\n");

    if (!WriteBytes(markup_.Data(), static_cast<std::size_t>(markup_.Used()))) return false;
    ++resultsWritten_;
    return true;
}

bool CHtmlResultWriter::End(bool canceled) {
    if (canceled) {
        if (!WriteText("<hr>\r\n<h3>The search was canceled.</h3>\r\n")) return false;
    } else if (resultsWritten_ == 0) {
        if (!WriteText("No Results Found.\r\n")) return false;
    }
    std::string footer = "<hr>\r\n<font face=\"Arial\" size=\"2\">\r\n<b>";
    footer += kCredit;
    footer += "</b>&nbsp;&nbsp;<i>&quot;";
    footer += kTitle;
    footer += "&quot;";
    footer += kProducer;
    footer += ".</i>\r\n</body>\r\n</html>\r\n";
    if (!WriteText(footer)) return false;
    // A late write error shows only at the close; a page that may have lost bytes is no success.
    SystemErrorCode error = 0;
    const bool closed = file_->Close(error);
    file_.reset();
    if (!closed) closeError_ = fileSystem_.DescribeError(error);
    return closed;
}

bool CHtmlResultWriter::Progress(std::int32_t position, std::int32_t total) {
    return receiver_.ReportProgress(position, total, resultsWritten_);
}

bool CHtmlResultWriter::WriteText(std::string_view text) {
    return WriteBytes(text.data(), text.size());
}

bool CHtmlResultWriter::WriteBytes(const char* bytes, std::size_t count) {
    if (!file_) return false;
    std::size_t done = 0;
    for (;;) {
        std::size_t written = 0;
        SystemErrorCode error = 0;
        if (file_->Write(bytes + done, count - done, written, error)) return true;
        // A retry goes on after the bytes that did reach the file, so nothing is doubled.
        done += written;
        if (!receiver_.AskRetry(fileSystem_.DescribeError(error))) return false;
    }
}
