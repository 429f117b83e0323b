// What the search run needs of the main window: the few controls it reads and writes, message
// boxes, the message pump and the end of the dialog. The Win32 dialog implements it; tests use a
// scripted fake. Every text crossing it is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/message_box.h"

// The numeric edit boxes, by control id.
enum class NumberField : int {
    ColumnWidthTo = 1011,
    LettersWithin = 1015,
    AllKeywordsWithin = 1013,
    ColumnWidthFrom = 1009,
};

// The check boxes, by control id.
enum class CheckField : int {
    AllowReverseKeywords = 1008,
    ExcludeWordsDirectlyFromText = 1021,
    IgnoreNumbers = 1022,
};

class CSearchView {
  public:
    virtual ~CSearchView() = default;

    // --- Document combo box (1023) and keyword edit (1007) ---

    // The text of the combo box's edit part, as typed or picked; not trimmed.
    virtual std::string GetDocumentText() = 0;

    // Replaces the combo box's list with `entries` (most recent first). When `entries` is not
    // empty, entry 0 becomes the selected entry, so the edit part shows it; when it is empty,
    // nothing is selected.
    virtual void ShowRecentDocuments(const std::vector<std::string>& entries) = 0;

    // The text of the keyword edit.
    virtual std::string GetKeywordText() = 0;

    // Keyboard focus on the combo box / on the keyword edit.
    virtual void FocusDocument() = 0;
    virtual void FocusKeywords() = 0;

    // --- Field transfer ---

    // The raw text of a numeric edit box, and setting it (the showing direction writes "%d").
    virtual std::string GetNumberText(NumberField field) = 0;
    virtual void SetNumberText(NumberField field, const std::string& text) = 0;

    // A check box's state: 0 not ticked, 1 ticked, 2 indeterminate.
    virtual int GetCheck(CheckField field) = 0;
    virtual void SetCheck(CheckField field, int state) = 0;

    // Focus on a numeric edit box with its whole text selected (after a validation message).
    virtual void FocusAndSelectAll(NumberField field) = 0;

    // --- Find button (1003), status text (1020), progress bar (1017) ---

    virtual std::string GetFindCaption() = 0;
    virtual void SetFindCaption(const std::string& caption) = 0;

    virtual void SetStatusText(const std::string& text) = 0;

    // The progress bar's range becomes 0..total; its position `position`.
    virtual void SetProgressRange(std::int32_t total) = 0;
    virtual void SetProgressPosition(std::int32_t position) = 0;

    // --- Result buttons: the run always sets Save Results first, then View Results ---

    virtual void EnableSaveResults(bool enabled) = 0;
    virtual void EnableViewResults(bool enabled) = 0;

    // --- Messages ---

    // A modal message box owned by the main window, caption "Strandix!"; returns when the user
    // has answered. While it is open the caller (and a search running beneath it) waits.
    virtual MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) = 0;

    // "Out of memory.", OK only, exclamation icon, system-modal. Must not need to allocate much.
    virtual void ShowOutOfMemory() = 0;

    // --- Dialog ---

    // Takes and dispatches every window message pending for the thread, then returns; never
    // waits. Command handlers (OnFind, OnCancel, OnCloseRequest, Browse) run nested in here.
    virtual void PumpMessages() = 0;

    // Ends the modal dialog with the cancel result. The dialog's loop stops once the handler
    // that asked for it has returned (after a running search has unwound).
    virtual void EndDialogCancel() = 0;
};
