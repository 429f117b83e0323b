// The main dialog's controller: the Find command with everything it does, progress and cancel
// while a search runs, the two result paths, and the stored settings and recent documents.
// It drives the window only through CSearchView, so it runs the same against a test view.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/dialog_fields.h"
#include "app/recent_documents.h"
#include "app/search_view.h"
#include "app/settings_store.h"
#include "frontend/messages.h"
#include "platform/document_file.h"
#include "results/progress_receiver.h"
#include "search/result_sink.h"
#include "search/search_settings.h"
#include "search/text_input.h"
#include "search/tick_clock.h"
#include "text/alphabet.h"
#include "text/search_request.h"

// The result sink of one search together with the file it writes.
class CResultWriter {
  public:
    virtual ~CResultWriter() = default;
    // The sink handed to the search.
    virtual CResultSink& Sink() = 0;
    // The file the writer created; empty when it created none.
    virtual std::string GetFilePath() const = 0;
};

// Makes the writer of one search, reporting its progress to `receiver`; the page shows the
// letters of `alphabet`, the document's.
using ResultWriterFactory =
    std::function<std::unique_ptr<CResultWriter>(CProgressReceiver&, const CAlphabet& alphabet)>;

// What the run uses of the world besides the view and the store; tests replace parts of it.
struct SearchRunOptions {
    // Required: the writer for each search (the program passes HtmlResultWriterFactory()).
    ResultWriterFactory makeWriter;
    // Reading a document whole (its path in UTF-8), and deleting the previous results file.
    std::function<DocumentReadStatus(const std::string&, std::string&)> readDocument =
        ReadDocumentUtf8Path;
    std::function<bool(const std::string&)> deleteFile = DeleteFileAt;
    // The clock the search measures its progress intervals with; null: the system's.
    CTickClock* clock = nullptr;
    // How the recent-documents list compares paths.
    PathEquals pathEquals = EqualIgnoringCase;
};

// Message texts only the dialog shows; those the tool shows too are in frontend/messages.h.
namespace SearchRunMessage {
inline constexpr char kNoDocumentPath[] = "Please specify a document path.";
inline constexpr char kCancelQuestion[] =
    "You are currently searching for hidden codes.  Proceeding will cancel the search.";
inline constexpr char kCancelFindCaption[] = "Cancel &Find";
}  // namespace SearchRunMessage

// Reads the seven settings (defaults: those of DialogFields) into `fields`; nothing is clamped.
// Order: IgnoreNumbers, AllowReverseKeywords, ExcludeWordsDirectlyFromText, MinColumnWidth,
// MaxColumnWidth, MaxResultLength, MaxDistanceBetweenLetters.
void LoadSettings(CSettingsStore& store, DialogFields& fields);

// Writes the seven settings in the same order: IgnoreNumbers from the field, the rest from the
// search settings record (the column widths already put in order). Write failures are ignored.
void SaveSettings(CSettingsStore& store, const DialogFields& fields,
                  const SearchSettings& settings);

class CSearchRun : public CProgressReceiver {
  public:
    CSearchRun(CSearchView& view, CSettingsStore& store, SearchRunOptions options);
    CSearchRun(const CSearchRun&) = delete;  // the writer holds it by reference
    CSearchRun& operator=(const CSearchRun&) = delete;

    // --- Dialog initialisation ---

    // The stored settings replace the fields, which are then shown in the controls.
    void LoadSettings();
    // The stored recent documents fill the combo box's list; entry 0 is selected.
    void LoadRecentDocuments();
    // Both, then UpdateResultButtons: what the dialog's initialisation does after setting its
    // icons.
    void InitialiseDialog();

    // --- Commands and messages ---

    // Find (button 1003, Enter). Idle: runs a whole search, in the alphabet the document is
    // written in (DocumentAlphabet): its letters, the keywords read in it, the page showing it.
    // Searching: asks the cancel question (OK sets the cancel request, Cancel clears it). Once the
    // dialog is ending (StopAndEnd), does nothing.
    void OnFind();
    // Close, Escape, the close box: while a search runs (and no close request came), asks the
    // cancel question as OnFind; otherwise ends the dialog with the cancel result.
    void OnCancel();
    // Another copy asks this one to close: cancel the search without asking, end the dialog.
    // The parameters are ignored; answers 0.
    std::intptr_t OnCloseRequest(std::uintptr_t first, std::intptr_t second);
    // Stops a running search at its next progress report without asking, and ends the dialog;
    // commands still queued behind it ask nothing. The close request, and a handler that failed.
    void StopAndEnd();
    // Window destruction: the temporary results file is deleted.
    void OnDestroyWindow();

    // Trims `path` and puts it at the top of the list (shown in the combo box, entry 0
    // selected); stores all fifteen values. A blank path changes nothing.
    void AddRecentDocument(std::string path);
    // Writes the seven settings from the fields and the current search settings.
    void SaveSettings();

    // Deletes the temporary results file (if any), forgets both paths, updates the buttons.
    void DeleteTemporaryResults();
    // Save Results then View Results enabled exactly when the results path is not empty.
    void UpdateResultButtons();

    // --- CProgressReceiver (called by the writer during a search) ---

    // Dispatches pending messages, moves the progress bar, shows a changed result count;
    // answers false once a cancel is requested.
    bool ReportProgress(std::int32_t position, std::int32_t total,
                        std::int64_t resultsWritten) override;
    // A write failed: asks WriteRetryQuestion(reason) with Retry and Cancel.
    bool AskRetry(const std::string& reason) override;
    bool AskYesNo(const std::string& message) override;

    // --- State ---

    bool IsSearching() const { return searching_; }
    bool IsCancelRequested() const { return cancelRequested_; }
    std::int64_t GetShownResultCount() const { return shownResultCount_; }

    // The results View Results and Save Results act on; empty when there are none to show.
    const std::string& GetResultsPath() const { return resultsPath_; }
    void SetResultsPath(std::string path) { resultsPath_ = std::move(path); }
    // The file the last search wrote; deleted by the next search and by window destruction.
    const std::string& GetTemporaryResultsPath() const { return temporaryResultsPath_; }
    void SetTemporaryResultsPath(std::string path) { temporaryResultsPath_ = std::move(path); }

    DialogFields& Fields() { return fields_; }
    const DialogFields& Fields() const { return fields_; }
    const SearchSettings& GetSearchSettings() const { return settings_; }

  private:
    bool PrepareRequest(const std::string& path, const std::string& keywordText,
                        SearchRequest& request);
    void RunSearch(const SearchRequest& request);
    void AskCancelQuestion();

    CSearchView& view_;
    CSettingsStore& store_;
    SearchRunOptions options_;

    DialogFields fields_;
    SearchSettings settings_;
    CRecentDocuments recent_;

    bool searching_ = false;
    bool cancelRequested_ = false;
    bool askBeforeClose_ = true;
    std::int64_t shownResultCount_ = 0;
    std::string temporaryResultsPath_;
    std::string resultsPath_;
};
