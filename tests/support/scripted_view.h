// A main window made of plain members: records every call that changes something as one line
// of text, answers message boxes from a script, and runs scripted actions inside PumpMessages
// (as the real window runs command handlers there during a search).
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/search_view.h"

class CScriptedView : public CSearchView {
  public:
    struct Answer {
        MessageAnswer answer;
        std::function<void()> whileOpen;  // runs while the box is open, before it answers
    };

    // State of the controls.
    std::string documentText;
    std::vector<std::string> recentDocuments;
    std::string keywordText;
    std::map<NumberField, std::string> numberTexts = {{NumberField::ColumnWidthTo, "100"},
                                                      {NumberField::LettersWithin, "500"},
                                                      {NumberField::AllKeywordsWithin, "1000"},
                                                      {NumberField::ColumnWidthFrom, "10"}};
    std::map<CheckField, int> checks = {{CheckField::AllowReverseKeywords, 1},
                                        {CheckField::ExcludeWordsDirectlyFromText, 0},
                                        {CheckField::IgnoreNumbers, 0}};
    std::string findCaption = "&Find!";
    std::string statusText;
    bool saveEnabled = true;
    bool viewEnabled = true;
    bool ended = false;

    // Everything that happened, in order.
    std::vector<std::string> log;
    // Answers for message boxes in turn; when none is left, the first button.
    std::deque<Answer> answers;
    // One action per PumpMessages call, in turn; a call with none left dispatches nothing.
    std::deque<std::function<void()>> pumpActions;
    // Number of PumpMessages calls.
    int pumps = 0;

    // Lines of `log` without the progress traffic, whose amount depends on the clock.
    std::vector<std::string> LogWithoutProgress() const {
        std::vector<std::string> lines;
        for (const std::string& line : log) {
            if (line != "PumpMessages" && line.rfind("SetProgress", 0) != 0) lines.push_back(line);
        }
        return lines;
    }

    std::string GetDocumentText() override { return documentText; }
    void ShowRecentDocuments(const std::vector<std::string>& entries) override {
        recentDocuments = entries;
        std::string line = "ShowRecentDocuments";
        for (const std::string& entry : entries)
            line += " [" + entry + "]";
        log.push_back(line);
        if (!entries.empty()) documentText = entries.front();
    }
    std::string GetKeywordText() override { return keywordText; }
    void FocusDocument() override { log.push_back("FocusDocument"); }
    void FocusKeywords() override { log.push_back("FocusKeywords"); }

    std::string GetNumberText(NumberField field) override { return numberTexts[field]; }
    void SetNumberText(NumberField field, const std::string& text) override {
        numberTexts[field] = text;
        log.push_back("SetNumberText " + std::to_string(static_cast<int>(field)) + " " + text);
    }
    int GetCheck(CheckField field) override { return checks[field]; }
    void SetCheck(CheckField field, int state) override {
        checks[field] = state;
        log.push_back("SetCheck " + std::to_string(static_cast<int>(field)) + " " +
                      std::to_string(state));
    }
    void FocusAndSelectAll(NumberField field) override {
        log.push_back("FocusAndSelectAll " + std::to_string(static_cast<int>(field)));
    }

    std::string GetFindCaption() override { return findCaption; }
    void SetFindCaption(const std::string& caption) override {
        findCaption = caption;
        log.push_back("SetFindCaption " + caption);
    }
    void SetStatusText(const std::string& text) override {
        statusText = text;
        log.push_back("SetStatusText " + text);
    }
    void SetProgressRange(std::int32_t total) override {
        log.push_back("SetProgressRange " + std::to_string(total));
    }
    void SetProgressPosition(std::int32_t position) override {
        log.push_back("SetProgressPosition " + std::to_string(position));
    }
    void EnableSaveResults(bool enabled) override {
        saveEnabled = enabled;
        log.push_back(std::string("EnableSaveResults ") + (enabled ? "1" : "0"));
    }
    void EnableViewResults(bool enabled) override {
        viewEnabled = enabled;
        log.push_back(std::string("EnableViewResults ") + (enabled ? "1" : "0"));
    }

    MessageAnswer ShowMessage(const std::string& text, MessageButtons buttons) override {
        static const char* const kButtonNames[] = {"Ok", "OkCancel", "RetryCancel", "YesNo"};
        log.push_back(std::string("Message ") + kButtonNames[static_cast<int>(buttons)] + ": " +
                      text);
        if (answers.empty()) {
            const MessageAnswer first[] = {MessageAnswer::Ok, MessageAnswer::Ok,
                                           MessageAnswer::Retry, MessageAnswer::Yes};
            return first[static_cast<int>(buttons)];
        }
        Answer answer = std::move(answers.front());
        answers.pop_front();
        if (answer.whileOpen) answer.whileOpen();
        return answer.answer;
    }
    void ShowOutOfMemory() override { log.push_back("OutOfMemory"); }

    void PumpMessages() override {
        ++pumps;
        log.push_back("PumpMessages");
        if (pumpActions.empty()) return;
        std::function<void()> action = std::move(pumpActions.front());
        pumpActions.pop_front();
        action();
    }
    void EndDialogCancel() override {
        ended = true;
        log.push_back("EndDialogCancel");
    }
};
