#include "frontend/json_result_sink.h"

#include <utility>

#include "results/json_writer.h"

namespace {
// Gathered results go to the stream when they fill this much.
constexpr std::size_t kResultBatch = std::size_t{1} << 16;
}  // namespace

CJsonResultSink::CJsonResultSink(std::FILE* out, std::string document, std::int32_t letters,
                                 KeywordList keywords, const CAlphabet& alphabet,
                                 CLetterPlaces* places, CProgressReceiver& receiver)
    : out_(out),
      document_(std::move(document)),
      letters_(letters),
      keywords_(std::move(keywords)),
      alphabet_(alphabet),
      places_(places),
      receiver_(receiver) {}

CJsonResultSink::CJsonResultSink(std::string& text, std::string document, std::int32_t letters,
                                 KeywordList keywords, const CAlphabet& alphabet,
                                 CLetterPlaces* places, CProgressReceiver& receiver)
    : CJsonResultSink(nullptr, std::move(document), letters, std::move(keywords), alphabet, places,
                      receiver) {
    text_ = &text;
}

bool CJsonResultSink::Write(const char* after, bool flush) {
    const std::string& json = json_.Text();
    if (text_ != nullptr) {
        *text_ += json;
        *text_ += after;
    } else {
        std::fwrite(json.data(), 1, json.size(), out_);
        std::fputs(after, out_);
        if ((flush && std::fflush(out_) != 0) || std::ferror(out_)) failed_ = true;
    }
    json_.Take();
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
    if (gather_ && json_.Text().size() < kResultBatch) return true;
    return Write("", !gather_);
}

bool CJsonResultSink::End(bool canceled) {
    canceled_ = canceled;
    // What follows the search may take long: the results go out first.
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
