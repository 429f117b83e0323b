// _strandix: the portable core in the Python process. The Python layer (strandix/) wraps these
// classes and documents them for the user.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "cli/controls_command.h"
#include "cli/output_files.h"
#include "cli/tool_options.h"
#include "common/sha256.h"
#include "controls/control_report.h"
#include "controls/control_runner.h"
#include "controls/control_summary.h"
#include "controls/statistics.h"
#include "frontend/json_result_sink.h"
#include "frontend/messages.h"
#include "frontend/page_script.h"
#include "platform/document_file.h"
#include "platform/file.h"
#include "python/keyword_options.h"
#include "python/search_run.h"
#include "results/html_result_writer.h"
#include "search/find_sequences.h"
#include "text/alphabet.h"
#include "text/document_alphabet.h"
#include "text/letter_places.h"
#include "text/search_request.h"

namespace py = pybind11;

namespace {

// The keywords of each call; a keyword is the tool's option of the same name.
const KeywordCall kOpenCall{"open", "", {"alphabet", "keep_finals", "ignore_numbers"}, {"--json"}};
const KeywordCall kSearchCall{"search",
                              "",
                              {"max_skip", "span", "width_from", "width_to", "min_skip",
                               "exclude_direct", "reverse", "places"},
                              {"--json"}};
const KeywordCall kControlsCall{
    "controls",
    "",
    {"max_skip", "span", "width_from", "width_to", "min_skip", "exclude_direct", "reverse",
     "controls", "control_kind", "seed", "threads"},
    {"--json"}};
const KeywordCall kElsCall{"els", "", {"max_skip", "min_skip", "reverse"}, {"--json"}};

// Answers every question with yes and shows no progress: the work behind it is done already.
class CQuietReceiver : public CProgressReceiver {
  public:
    bool ReportProgress(std::int32_t, std::int32_t, std::int64_t) override { return true; }
    bool AskRetry(const std::string&) override { return false; }
    bool AskYesNo(const std::string&) override { return true; }
};

// Raises the OSError subclass that Python picks for the system's error `code` (FileNotFoundError,
// PermissionError), whose text is the tool's `sentence` and whose errno is `code`.
[[noreturn]] void RaiseOSError(SystemErrorCode code, const std::string& sentence) {
    const py::object builtins = py::module_::import("builtins");
    const py::object kind = py::type::of(builtins.attr("OSError")(static_cast<int>(code), ""));
    py::object error = kind(sentence);
    if (code != 0) error.attr("errno") = static_cast<int>(code);
    PyErr_SetObject(kind.ptr(), error.ptr());
    throw py::error_already_set();
}

// A document read and mapped into the letters of its alphabet.
struct Document {
    std::string name;  // as it was named; "-" for text given in the call
    CAlphabet alphabet;
    bool ignoreNumbers = false;
    std::string text;   // the search text
    std::string bytes;  // the document as read, for the letters' places
    std::vector<std::int32_t> wordLengths;
    std::string sha256;

    std::string Shown() const { return name == "-" ? "standard input" : name; }
};

// The options of a call with the document's own (alphabet, finals, numbers) as the tool reads
// them.
ToolOptions ReadOptions(const KeywordCall& call, const py::kwargs& keywords,
                        std::vector<std::string> operands) {
    ToolOptions options;
    ReadKeywordOptions(call, keywords, operands, options);
    return options;
}

std::shared_ptr<Document> MakeDocument(std::string name, std::string bytes,
                                       const py::kwargs& keywords) {
    const ToolOptions options = ReadOptions(kOpenCall, keywords, {"-", "X"});
    auto document = std::make_shared<Document>();
    document->name = std::move(name);
    document->sha256 = Sha256Hex(bytes);
    SearchRequest request;
    request.alphabet = options.autoAlphabet ? CAlphabet(DocumentAlphabet(bytes))
                                            : CAlphabet(options.alphabet, options.keepFinals);
    request.ignoreNumbers = options.fields.IgnoreNumbers != 0;
    RequestKeeps keeps;
    keeps.document = true;
    keeps.wordLengths = true;
    std::string error;
    if (!MapRequestDocument(request, std::move(bytes), keeps, error))
        throw py::value_error(document->Shown() + ": " + error);
    document->alphabet = request.alphabet;
    document->ignoreNumbers = request.ignoreNumbers;
    document->text = std::move(request.text);
    document->bytes = std::move(request.document);
    document->wordLengths = std::move(request.wordLengths);
    return document;
}

std::shared_ptr<Document> OpenDocument(const std::string& path, const py::kwargs& keywords) {
    std::string bytes;
    SystemErrorCode reason = 0;
    DocumentReadStatus status;
    {
        py::gil_scoped_release unlocked;
        status = ReadDocumentExplained(path, bytes, reason, true);
    }
    if (status != DocumentReadStatus::Ok) {
        std::string sentence = path + ": " + DocumentStatusMessage(status);
        if (reason != 0) sentence += "  " + ReasonSentence(reason);
        RaiseOSError(reason, sentence);
    }
    return MakeDocument(path, std::move(bytes), keywords);
}

std::shared_ptr<Document> DocumentFromText(const py::object& text, const std::string& name,
                                           const py::kwargs& keywords) {
    std::string bytes;
    if (py::isinstance<py::bytes>(text)) {
        bytes = py::cast<std::string>(text);
    } else if (py::isinstance<py::str>(text)) {
        bytes = py::cast<std::string>(text);
    } else {
        throw py::type_error("from_text takes str or bytes");
    }
    return MakeDocument(name, std::move(bytes), keywords);
}

// The keywords of a call: one string as typed, or a list of them joined with blanks.
std::string KeywordText(const py::object& keywords) {
    if (py::isinstance<py::str>(keywords)) return py::cast<std::string>(keywords);
    std::string text;
    for (const py::handle keyword : keywords) {
        if (!text.empty()) text += ' ';
        text += py::cast<std::string>(keyword);
    }
    return text;
}

// The keywords read in the document's alphabet into a request of the document; ValueError with
// the tool's sentence. The request's text stays empty.
SearchRequest ReadRequest(const Document& document, const std::string& keywordText) {
    SearchRequest request;
    request.alphabet = document.alphabet;
    request.ignoreNumbers = document.ignoreNumbers;
    std::string error;
    if (!ReadRequestKeywords(request, keywordText, error)) throw py::value_error(error);
    if (request.keywords.empty()) throw py::value_error(kNoKeywordsMessage);
    return request;
}

KeywordList ReadKeywords(const Document& document, const std::string& keywordText) {
    return ReadRequest(document, keywordText).keywords;
}

// What one search found, with what the tool's outputs need to write it again.
struct SearchResults {
    std::shared_ptr<Document> document;
    KeywordList order;  // the search order, in the text's codes
    SearchSettings settings;
    bool places = false;
    std::vector<FoundResult> results;

    std::vector<std::string> Keywords() const {
        std::vector<std::string> spelled;
        for (const std::string& keyword : order)
            spelled.push_back(document->alphabet.Spell(keyword));
        return spelled;
    }

    std::string ToJson() const {
        std::string json;
        CQuietReceiver receiver;
        std::unique_ptr<CLetterPlaces> letterPlaces;
        if (places) {
            letterPlaces = std::make_unique<CLetterPlaces>(document->alphabet, document->bytes,
                                                           document->ignoreNumbers);
        }
        CJsonResultSink sink(json, document->name, static_cast<std::int32_t>(document->text.size()),
                             order, document->alphabet, letterPlaces.get(), receiver);
        std::string error;
        sink.Begin(error);
        for (const FoundResult& result : results)
            sink.AddResult(document->text.c_str(), result.first, result.last, result.columns,
                           result.positions);
        sink.End(false);
        return json;
    }

    void WritePage(const std::string& path) const {
        CQuietReceiver receiver;
        std::string page;
        {
            CHtmlResultWriter writer(receiver);
            if (document->alphabet.ReadsUtf8())
                writer.SetScript(MakePageScript(document->alphabet));
            std::string error;
            bool written = writer.Begin(error);
            for (std::size_t i = 0; written && i < results.size(); ++i) {
                const FoundResult& result = results[i];
                written = writer.AddResult(document->text.c_str(), result.first, result.last,
                                           result.columns, result.positions);
            }
            written = written && writer.End(false);
            page = writer.GetFilePath();
            if (!written) {
                if (!page.empty()) DeleteFileAt(page);
                const std::string reason = !error.empty() ? error : writer.GetCloseError();
                throw py::value_error("Encountered an error when saving the results: " + reason);
            }
        }
        SystemErrorCode error = 0;
        if (!CopyFileReplacing(page, path, error)) {
            DeleteFileAt(page);
            RaiseOSError(error, "The results page could not be copied to " + path + ": " +
                                    SystemFileSystem().DescribeError(error));
        }
        DeleteFileAt(page);
    }
};

std::shared_ptr<SearchResults> Search(const std::shared_ptr<Document>& document,
                                      const py::object& keywords, const py::object& progress,
                                      const py::kwargs& options) {
    const std::string keywordText = KeywordText(keywords);
    const ToolOptions read = ReadOptions(kSearchCall, options, {"-", "X"});
    auto found = std::make_shared<SearchResults>();
    found->document = document;
    found->settings = MakeSearchSettings(read.fields);
    found->settings.MinSkip = read.minSkip;
    found->places = read.places;
    const KeywordList typed = ReadKeywords(*document, keywordText);
    found->order = MakeSearchOrder(typed);
    CPythonProgress reporter(progress);
    CCollectingSink sink(reporter);
    std::string error;
    bool done = false;
    {
        py::gil_scoped_release unlocked;
        done =
            FindSequences(document->text.c_str(), static_cast<std::int32_t>(document->text.size()),
                          typed, found->settings, sink, error);
    }
    reporter.Rethrow();
    if (!done) throw std::runtime_error(error.empty() ? "The search stopped." : error);
    found->results = std::move(sink.Results());
    return found;
}

// A control run of a search, with what its reports need.
struct ControlResults {
    ControlRun run;
    ControlSummary summary;
};

std::shared_ptr<ControlResults> RunControlsOf(const std::shared_ptr<Document>& document,
                                              const py::object& keywords,
                                              const py::object& progress,
                                              const py::kwargs& options) {
    const ToolOptions read = ReadOptions(kControlsCall, options, {"-", "X"});
    if (read.controls.count == 0) throw py::type_error("controls() needs controls=N");
    SearchRequest request = ReadRequest(*document, KeywordText(keywords));
    request.settings = MakeSearchSettings(read.fields);
    request.settings.MinSkip = read.minSkip;
    request.text = document->text;
    request.wordLengths = document->wordLengths;
    const ControlCommand command{request, read.controls, read.run, document->name,
                                 document->sha256};
    auto found = std::make_shared<ControlResults>();
    found->run = DescribeControlRun(command);
    CPythonProgress reporter(progress);
    RunWatched(reporter, [&](CWorkReceiver& receiver, const std::atomic<bool>& stop) {
        const RealSearchStatistics real =
            MeasureRealSearch(request.text, request.keywords, request.settings);
        found->run.real = real.statistics;
        found->run.plainWordResults = real.plainWordResults;
        if (stop) return;
        ControlRunOptions runOptions;
        runOptions.kind = read.controls.kind;
        runOptions.seed = read.run.seed;
        runOptions.threads = read.run.threads;
        runOptions.receiver = &receiver;
        runOptions.stop = &stop;
        const ControlInput input{request.text, request.keywords, request.settings,
                                 &request.wordLengths};
        found->run.controls = RunControls(input, AllControls(read.controls.count), runOptions);
    });
    found->summary = SummariseControlRun(found->run);
    return found;
}

py::object ListEls(const std::shared_ptr<Document>& document, const std::string& word,
                   const py::object& progress, const py::kwargs& options) {
    const ToolOptions read = ReadOptions(kElsCall, options, {"-", "X"});
    const KeywordList keywords = ReadKeywords(*document, word);
    if (keywords.size() != 1) throw py::value_error(word + ": els takes one word.");
    const KeywordList order = MakeSearchOrder(keywords);
    CPythonProgress reporter(progress);
    std::vector<std::int32_t> rows;
    bool done = false;
    {
        py::gil_scoped_release unlocked;
        done = ListSequences(document->text, order.front(), read.minSkip, read.fields.LettersWithin,
                             read.fields.AllowReverseKeywords != 0, reporter, rows);
    }
    reporter.Rethrow();
    if (!done) throw std::runtime_error("The listing stopped.");
    const py::ssize_t count = static_cast<py::ssize_t>(rows.size() / 2);
    try {
        py::module_::import("numpy");
    } catch (const py::error_already_set&) {
        py::list list;
        for (py::ssize_t i = 0; i < count; ++i)
            list.append(py::make_tuple(rows[2 * i], rows[2 * i + 1]));
        return list;
    }
    auto* held = new std::vector<std::int32_t>(std::move(rows));
    py::capsule owner(held,
                      [](void* data) { delete static_cast<std::vector<std::int32_t>*>(data); });
    return py::array_t<std::int32_t>({count, static_cast<py::ssize_t>(2)}, held->data(), owner);
}

py::dict ResultDict(const SearchResults& found, const FoundResult& result, CLetterPlaces* places) {
    py::list finds;
    for (std::size_t k = 0; k < result.positions.size(); ++k) {
        const LetterPositions& letters = result.positions[k];
        py::dict find;
        find["keyword"] = found.document->alphabet.Spell(found.order[k]);
        // The letters stand ascending; a keyword read right to left starts at the last one. A
        // keyword that reads the same both ways is taken as read left to right.
        const std::string& keyword = found.order[k];
        bool forward = true;
        for (std::size_t i = 0; forward && i < letters.size(); ++i) {
            const char letter = found.document->text[static_cast<std::size_t>(letters[i])];
            forward = ToUpperAscii(letter) == ToUpperAscii(keyword[i]);
        }
        const std::int64_t step = letters.size() > 1 ? letters[1] - letters[0] : 0;
        find["start"] = forward ? letters.front() : letters.back();
        find["skip"] = forward ? step : -step;
        find["positions"] = py::cast(letters);
        if (places != nullptr) {
            py::list where;
            for (const std::int64_t position : letters) {
                const LetterPlace place = places->Find(position);
                where.append(py::make_tuple(place.line, place.column));
            }
            find["places"] = where;
        }
        finds.append(find);
    }
    py::dict out;
    out["first"] = result.first;
    out["last"] = result.last;
    out["columns"] = result.columns;
    out["finds"] = finds;
    return out;
}

}  // namespace

py::list StatisticsList(const std::vector<SearchStatistics>& controls, bool spans) {
    py::list values;
    for (const SearchStatistics& control : controls)
        values.append(spans ? control.smallestSpan : control.results);
    return values;
}

PYBIND11_MODULE(_strandix, module) {
    module.doc() = "The compiled core of the strandix package; use the package itself.";

    py::class_<Document, std::shared_ptr<Document>>(module, "Document")
        .def_static("open", &OpenDocument, py::arg("path"))
        .def_static("from_text", &DocumentFromText, py::arg("text"), py::arg("name") = "-")
        .def("__len__", [](const Document& d) { return d.text.size(); })
        .def_readonly("name", &Document::name)
        .def_property_readonly(
            "alphabet", [](const Document& d) { return AlphabetNameText(d.alphabet.Name()); })
        .def_readonly("ignore_numbers", &Document::ignoreNumbers)
        .def_readonly("sha256", &Document::sha256)
        .def("spell",
             [](const Document& d, std::int64_t first, std::int64_t last) {
                 py::list letters;
                 const auto size = static_cast<std::int64_t>(d.text.size());
                 for (std::int64_t i = std::max<std::int64_t>(first, 0); i <= last && i < size; ++i)
                     letters.append(py::str(
                         std::string(d.alphabet.Spell(d.text[static_cast<std::size_t>(i)]))));
                 return letters;
             })
        .def("search", &Search, py::arg("keywords"), py::arg("progress") = py::none())
        .def("controls", &RunControlsOf, py::arg("keywords"), py::arg("progress") = py::none())
        .def("els", &ListEls, py::arg("word"), py::arg("progress") = py::none());

    py::class_<SearchResults, std::shared_ptr<SearchResults>>(module, "Results")
        .def("__len__", [](const SearchResults& r) { return r.results.size(); })
        .def_property_readonly("keywords", &SearchResults::Keywords)
        .def_readonly("places", &SearchResults::places)
        .def("rows",
             [](const SearchResults& r) {
                 std::unique_ptr<CLetterPlaces> places;
                 if (r.places)
                     places = std::make_unique<CLetterPlaces>(
                         r.document->alphabet, r.document->bytes, r.document->ignoreNumbers);
                 py::list rows;
                 for (const FoundResult& result : r.results)
                     rows.append(ResultDict(r, result, places.get()));
                 return rows;
             })
        .def("to_json", &SearchResults::ToJson)
        .def("write_page", &SearchResults::WritePage, py::arg("path"));

    py::class_<ControlResults, std::shared_ptr<ControlResults>>(module, "Controls")
        .def("to_json", [](const ControlResults& c) { return ControlsJson(c.run, c.summary); })
        .def("to_text", [](const ControlResults& c) { return ControlReportText(c.run, c.summary); })
        .def("to_html", [](const ControlResults& c) { return ControlReportHtml(c.run, c.summary); })
        .def_property_readonly("real_results",
                               [](const ControlResults& c) { return c.run.real.results; })
        .def_property_readonly("real_smallest_span",
                               [](const ControlResults& c) { return c.run.real.smallestSpan; })
        .def_property_readonly(
            "results",
            [](const ControlResults& c) { return StatisticsList(c.run.controls, false); })
        .def_property_readonly(
            "smallest_spans",
            [](const ControlResults& c) { return StatisticsList(c.run.controls, true); })
        .def_property_readonly("seed", [](const ControlResults& c) { return c.run.seed; })
        .def_property_readonly("total", [](const ControlResults& c) { return c.run.total; });
}
