#include "cli/json_result_sink.h"

#include <utility>

#include "results/json_writer.h"

namespace {
// Results gather in the JSON writer until they fill this much, and go to the output together.
constexpr std::size_t kResultBatch = std::size_t{1} << 16;
}  // namespace

CJsonResultSink::CJsonResultSink(CStandardOutput& out, std::string document, std::int32_t letters,
                                 KeywordList keywords, const CAlphabet& alphabet,
                                 CLetterPlaces* places, CProgressReceiver& receiver)
    : out_(out),
      document_(std::move(document)),
      letters_(letters),
      keywords_(std::move(keywords)),
      alphabet_(alphabet),
      places_(places),
      receiver_(receiver) {}

bool CJsonResultSink::Write(const char* after, bool flush) {
    const bool written = out_.Write(json_.Text()) && out_.Write(after) && (!flush || out_.Flush());
    json_.Take();
    if (!written) failed_ = true;
    return !failed_;
}

bool CJsonResultSink::Begin(std::string& errorText) {
    errorText.clear();
    json_.BeginObject().Key("document").String(document_).Key("letters").Integer(letters_);
    json_.Key("keywords").BeginArray();
    for (const std::string& keyword : keywords_)
        json_.String(alphabet_.Spell(keyword));
    json_.EndArray().Key("results").BeginArray().LineBreak();
    return Write("", true);
}

bool CJsonResultSink::AddResult(const char* text, std::int32_t first, std::int32_t last,
                                std::int32_t columns, const ResultPositions& positions) {
    (void)text;
    json_.LineBreak().BeginObject();
    json_.Key("first").Integer(first).Key("last").Integer(last).Key("columns").Integer(columns);
    json_.Key("positions").BeginArray();
    for (const LetterPositions& keyword : positions) {
        json_.BeginArray();
        for (const std::int64_t position : keyword)
            json_.Integer(position);
        json_.EndArray();
    }
    json_.EndArray();
    if (places_ != nullptr) {
        json_.Key("places").BeginArray();
        for (const LetterPositions& keyword : positions) {
            json_.BeginArray();
            for (const std::int64_t position : keyword) {
                const LetterPlace place = places_->Find(position);
                json_.BeginArray().Integer(place.line).Integer(place.column).EndArray();
            }
            json_.EndArray();
        }
        json_.EndArray();
    }
    json_.EndObject();
    ++count_;
    // On a terminal each result shows as it is found; to a file or a pipe they go in batches.
    if (out_.Buffered() && json_.Text().size() < kResultBatch) return true;
    return Write("", false);
}

bool CJsonResultSink::End(bool canceled) {
    canceled_ = canceled;
    // The results go out now, even when the document's end waits for what follows the search.
    return holdEnd_ ? Write("", true) : WriteEnd();
}

bool CJsonResultSink::WriteEnd() {
    if (count_ > 0) json_.LineBreak();
    json_.EndArray().Key("count").Integer(count_).Key("canceled").Bool(canceled_);
    for (const auto& [name, value] : trailingMembers_)
        json_.Key(name).Raw(value);
    json_.EndObject();
    return Write("\n", true);
}

bool CJsonResultSink::Progress(std::int32_t position, std::int32_t total) {
    return receiver_.ReportProgress(position, total, count_);
}
