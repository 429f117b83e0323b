#include "app/search_run.h"

#include <new>
#include <utility>

#include "search/find_sequences.h"
#include "search/text_input.h"
#include "text/document_alphabet.h"
#include "text/latin_text.h"

namespace {

// Whether the typed keywords hold a keyword in any alphabet the document might be in. Which one
// it is is known only once the document is read; a text with none is refused before that.
bool MayHoldKeywords(const std::string& keywordText) {
    if (!ReadKeywords(keywordText).empty()) return true;
    for (const AlphabetName name : {AlphabetName::Hebrew, AlphabetName::Greek}) {
        KeywordList keywords;
        std::string ignored;
        if (CAlphabet(name).ReadKeywords(keywordText, keywords, ignored) && !keywords.empty())
            return true;
    }
    return false;
}

}  // namespace

void LoadSettings(CSettingsStore& store, DialogFields& fields) {
    const DialogFields defaults;
    fields.IgnoreNumbers = store.ReadInt(SettingName::kIgnoreNumbers, defaults.IgnoreNumbers);
    fields.AllowReverseKeywords =
        store.ReadInt(SettingName::kAllowReverseKeywords, defaults.AllowReverseKeywords);
    fields.ExcludeWordsDirectlyFromText = store.ReadInt(SettingName::kExcludeWordsDirectlyFromText,
                                                        defaults.ExcludeWordsDirectlyFromText);
    fields.ColumnWidthFrom = store.ReadInt(SettingName::kMinColumnWidth, defaults.ColumnWidthFrom);
    fields.ColumnWidthTo = store.ReadInt(SettingName::kMaxColumnWidth, defaults.ColumnWidthTo);
    fields.AllKeywordsWithin =
        store.ReadInt(SettingName::kMaxResultLength, defaults.AllKeywordsWithin);
    fields.LettersWithin =
        store.ReadInt(SettingName::kMaxDistanceBetweenLetters, defaults.LettersWithin);
}

void SaveSettings(CSettingsStore& store, const DialogFields& fields,
                  const SearchSettings& settings) {
    store.WriteInt(SettingName::kIgnoreNumbers, fields.IgnoreNumbers);
    store.WriteInt(SettingName::kAllowReverseKeywords, settings.AllowReverseKeywords ? 1 : 0);
    store.WriteInt(SettingName::kExcludeWordsDirectlyFromText,
                   settings.ExcludeWordsDirectlyFromText ? 1 : 0);
    store.WriteInt(SettingName::kMinColumnWidth, settings.MinColumnWidth);
    store.WriteInt(SettingName::kMaxColumnWidth, settings.MaxColumnWidth);
    store.WriteInt(SettingName::kMaxResultLength, settings.MaxResultLength);
    store.WriteInt(SettingName::kMaxDistanceBetweenLetters, settings.MaxDistanceBetweenLetters);
}

CSearchRun::CSearchRun(CSearchView& view, CSettingsStore& store, SearchRunOptions options)
    : view_(view), store_(store), options_(std::move(options)), recent_(options_.pathEquals) {}

void CSearchRun::LoadSettings() {
    ::LoadSettings(store_, fields_);
    ShowDialogFields(view_, fields_);
}

void CSearchRun::LoadRecentDocuments() {
    recent_.Load(store_);
    view_.ShowRecentDocuments(recent_.Entries());
}

void CSearchRun::InitialiseDialog() {
    LoadSettings();
    LoadRecentDocuments();
    UpdateResultButtons();
}

void CSearchRun::AddRecentDocument(std::string path) {
    if (!recent_.Add(path)) return;
    view_.ShowRecentDocuments(recent_.Entries());
    recent_.Store(store_);
}

void CSearchRun::SaveSettings() {
    ::SaveSettings(store_, fields_, settings_);
}

void CSearchRun::OnFind() {
    // The dialog is ending: a Find that was queued behind the end does nothing.
    if (!askBeforeClose_) return;
    // Handlers run nested inside a search's progress reports: a second Find only asks.
    if (searching_) {
        AskCancelQuestion();
        return;
    }

    const std::string path = TrimWhiteSpace(view_.GetDocumentText());
    if (path.empty()) {
        view_.FocusDocument();
        view_.ShowMessage(SearchRunMessage::kNoDocumentPath, MessageButtons::Ok);
        return;
    }
    // The path is remembered whether or not the rest succeeds.
    AddRecentDocument(path);

    const std::string keywordText = view_.GetKeywordText();
    if (!MayHoldKeywords(keywordText)) {
        view_.FocusKeywords();
        view_.ShowMessage(kNoKeywordsMessage, MessageButtons::Ok);
        return;
    }

    // A bad field has shown its message and taken the focus already.
    if (!ReadDialogFields(view_, fields_)) return;
    settings_ = MakeSearchSettings(fields_);
    // Stored before the document is opened, so the settings persist even if it fails.
    SaveSettings();

    SearchRequest request;
    if (!PrepareRequest(path, keywordText, request)) return;

    // Only now, with the new document in hand, do the previous results go.
    DeleteTemporaryResults();
    RunSearch(request);
}

// The search's input, made as the command-line tool makes it: the document in its own alphabet
// (a latin one becomes its letters in place, as it always has), then the keywords in that
// alphabet; none there (only letters of another script) is the same message as no keywords at
// all.
bool CSearchRun::PrepareRequest(const std::string& path, const std::string& keywordText,
                                SearchRequest& request) {
    std::string document;
    DocumentReadStatus status = DocumentReadStatus::OutOfMemory;
    try {
        status = options_.readDocument(path, document);
    } catch (const std::bad_alloc&) {
        document.clear();
    }
    switch (status) {
        case DocumentReadStatus::Ok:
            break;
        case DocumentReadStatus::OutOfMemory:
            view_.ShowOutOfMemory();
            return false;
        default:
            view_.ShowMessage(DocumentStatusMessage(status), MessageButtons::Ok);
            return false;
    }
    request.ignoreNumbers = fields_.IgnoreNumbers != 0;
    request.settings = settings_;
    try {
        request.alphabet = CAlphabet(DocumentAlphabet(document));
        std::string errorText;
        if (!MapRequestDocument(request, std::move(document), RequestKeeps{}, errorText)) {
            view_.ShowMessage(errorText, MessageButtons::Ok);
            return false;
        }
        std::string ignored;
        if (!ReadRequestKeywords(request, keywordText, ignored)) request.keywords.clear();
    } catch (const std::bad_alloc&) {
        request.text.clear();
        view_.ShowOutOfMemory();
        return false;
    }
    if (!request.keywords.empty()) return true;
    view_.FocusKeywords();
    view_.ShowMessage(kNoKeywordsMessage, MessageButtons::Ok);
    return false;
}

void CSearchRun::RunSearch(const SearchRequest& request) {
    // Busy state. No control is disabled: the search works on the values already taken, and
    // every handler that may run nested checks the searching flag first.
    const std::string findCaption = view_.GetFindCaption();
    view_.SetFindCaption(SearchRunMessage::kCancelFindCaption);
    view_.SetStatusText(kNoResultsMessage);
    shownResultCount_ = 0;
    searching_ = true;
    cancelRequested_ = false;

    std::unique_ptr<CResultWriter> writer;
    bool outOfMemory = false;
    try {
        // Without a writer there is nowhere for results to go: Find still comes back to idle.
        if (options_.makeWriter) writer = options_.makeWriter(*this, request.alphabet);
        std::string errorText;
        CTickClock& clock = options_.clock ? *options_.clock : SystemTickClock();
        // The document is at most 2^31 - 1 bytes long (ReadDocument refuses anything larger).
        const bool ok =
            !writer ||
            FindSequences(request.text.c_str(), static_cast<std::int32_t>(request.text.size()),
                          request.keywords, request.settings, writer->Sink(), errorText, clock);
        if (!ok && !errorText.empty()) view_.ShowMessage(errorText, MessageButtons::Ok);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    // Running out of memory anywhere in the search still brings the dialog back to idle, keeping
    // whatever the writer had produced.
    if (outOfMemory) view_.ShowOutOfMemory();

    temporaryResultsPath_ = writer ? writer->GetFilePath() : std::string();
    resultsPath_ = shownResultCount_ != 0 ? temporaryResultsPath_ : std::string();
    UpdateResultButtons();

    cancelRequested_ = false;
    searching_ = false;
    view_.SetFindCaption(findCaption);

    writer.reset();
}

void CSearchRun::AskCancelQuestion() {
    const MessageAnswer answer =
        view_.ShowMessage(SearchRunMessage::kCancelQuestion, MessageButtons::OkCancel);
    // A close request that arrived while the question was open must not be undone by Cancel.
    cancelRequested_ = answer == MessageAnswer::Ok || !askBeforeClose_;
}

void CSearchRun::OnCancel() {
    if (searching_ && askBeforeClose_) {
        OnFind();
        return;
    }
    view_.EndDialogCancel();
}

std::intptr_t CSearchRun::OnCloseRequest(std::uintptr_t /*first*/, std::intptr_t /*second*/) {
    StopAndEnd();
    return 0;
}

void CSearchRun::StopAndEnd() {
    cancelRequested_ = true;
    askBeforeClose_ = false;
    view_.EndDialogCancel();
}

void CSearchRun::OnDestroyWindow() {
    DeleteTemporaryResults();
}

void CSearchRun::DeleteTemporaryResults() {
    if (!temporaryResultsPath_.empty()) {
        options_.deleteFile(temporaryResultsPath_);  // a file already gone is no error
        temporaryResultsPath_.clear();
        resultsPath_.clear();
    }
    UpdateResultButtons();
}

void CSearchRun::UpdateResultButtons() {
    const bool enabled = !resultsPath_.empty();
    view_.EnableSaveResults(enabled);
    view_.EnableViewResults(enabled);
}

bool CSearchRun::ReportProgress(std::int32_t position, std::int32_t total,
                                std::int64_t resultsWritten) {
    view_.PumpMessages();
    view_.SetProgressRange(total);
    view_.SetProgressPosition(position);
    if (resultsWritten != shownResultCount_) {
        shownResultCount_ = resultsWritten;
        view_.SetStatusText(FormatResultCount(resultsWritten));
    }
    return !cancelRequested_;
}

bool CSearchRun::AskRetry(const std::string& reason) {
    return view_.ShowMessage(WriteRetryQuestion(reason), MessageButtons::RetryCancel) ==
           MessageAnswer::Retry;
}

bool CSearchRun::AskYesNo(const std::string& message) {
    return view_.ShowMessage(message, MessageButtons::YesNo) == MessageAnswer::Yes;
}
