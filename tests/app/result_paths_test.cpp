#include "app/result_paths.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using ::testing::ElementsAre;

TEST(SuggestResultsFileName, NamesUnsavedResultsAfterTheDocument) {
    struct Case {
        const char* document;
        const char* suggestion;
    };
    const Case cases[] = {
        {"C:\\Texts\\Genesis.txt", "C:\\Texts\\Genesis.htm"},
        {"C:\\Texts\\Genesis", "C:\\Texts\\Genesis.htm"},  // no "." at all
        {"C:\\My.Texts\\Genesis", "C:\\My.htm"},           // cut at a folder's "."
        {"C:\\Texts\\a.b.c", "C:\\Texts\\a.b.htm"},        // the last "." only
        {"", ".htm"},
        {"  D:\\x.txt  ", "  D:\\x.htm"},  // the box as it is
    };
    const std::string temp = "C:\\Temp\\els000000.htm";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document);
        // Unsaved: the results path is the temporary page (in any letter case).
        EXPECT_EQ(SuggestResultsFileName(temp, temp, c.document), c.suggestion);
        EXPECT_EQ(SuggestResultsFileName("c:\\TEMP\\ELS000000.HTM", temp, c.document),
                  c.suggestion);
        // Saved: the copy's path, whatever the box holds.
        EXPECT_EQ(SuggestResultsFileName("D:\\out\\mine.htm", temp, c.document),
                  "D:\\out\\mine.htm");
    }
}

// Opens only the paths in `openable`; records every attempt.
struct FakeShell {
    std::set<std::string> openable;
    std::vector<std::string> tried;
    std::function<bool(const std::string&)> Opener() {
        return [this](const std::string& path) {
            tried.push_back(path);
            return openable.count(path) != 0;
        };
    }
};

TEST(ViewResults, TriesTheResultsThenThePageAndNamesEveryPathTried) {
    const std::string temp = "C:\\Temp\\els000001.htm";
    const std::string saved = "D:\\Saved\\results.htm";
    struct Case {
        const char* name;
        std::string results;
        std::set<std::string> openable;
        std::vector<std::string> tried;
        std::optional<std::string> message;
    };
    const Case cases[] = {
        {"unsaved page opens", temp, {temp}, {temp}, std::nullopt},
        {"unsaved page missing",
         temp,
         {},
         {temp},
         "The results could not be opened.C:\\Temp\\els000001.htm"},
        {"unsaved, other letter case",
         "c:\\temp\\ELS000001.htm",
         {},
         {"c:\\temp\\ELS000001.htm"},
         "The results could not be opened.c:\\temp\\ELS000001.htm"},
        {"saved copy opens", saved, {saved, temp}, {saved}, std::nullopt},
        {"saved copy gone, page opens", saved, {temp}, {saved, temp}, std::nullopt},
        {"both gone",
         saved,
         {},
         {saved, temp},
         "The results could not be opened.D:\\Saved\\results.htmC:\\Temp\\els000001.htm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeShell shell{c.openable, {}};
        EXPECT_EQ(ViewResults(c.results, temp, shell.Opener()), c.message);
        EXPECT_EQ(shell.tried, c.tried);
    }
}

TEST(ViewResults, UsesTheGivenPathComparison) {
    FakeShell shell;
    // A comparison that tells the two apart although they differ only in case.
    const PathEquals exact = [](std::string_view a, std::string_view b) { return a == b; };
    EXPECT_EQ(ViewResults("A.htm", "a.htm", shell.Opener(), exact),
              "The results could not be opened.A.htma.htm");
    EXPECT_THAT(shell.tried, ElementsAre("A.htm", "a.htm"));
}

struct SaveScript {
    explicit SaveScript(std::optional<std::string> chosen, bool copyWorks = true)
        : answer(std::move(chosen)), copySucceeds(copyWorks) {}

    std::optional<std::string> answer;  // what the user picks in the Save As dialog
    bool copySucceeds;
    std::vector<std::string> suggestions;
    std::vector<std::pair<std::string, std::string>> copies;

    std::optional<std::string> Save(std::string& resultsPath, const std::string& temp,
                                    const std::string& document) {
        return SaveResults(
            resultsPath, temp, document,
            [this](const std::string& suggestion) {
                suggestions.push_back(suggestion);
                return answer;
            },
            [this](const std::string& from, const std::string& to) {
                copies.emplace_back(from, to);
                return copySucceeds;
            });
    }
};

TEST(SaveResults, CopiesThePageAndRemembersWhereItWent) {
    const std::string temp = "C:\\Temp\\els000000.htm";
    std::string results = temp;
    SaveScript first{"D:\\one.htm"};
    EXPECT_EQ(first.Save(results, temp, "C:\\Texts\\Genesis.txt"), std::nullopt);
    EXPECT_THAT(first.suggestions, ElementsAre("C:\\Texts\\Genesis.htm"));
    EXPECT_EQ(first.copies, (decltype(first.copies){{temp, "D:\\one.htm"}}));
    EXPECT_EQ(results, "D:\\one.htm");

    // The next save suggests the copy and copies from the page again, not from the copy.
    SaveScript second{"D:\\two.htm"};
    EXPECT_EQ(second.Save(results, temp, "C:\\Other.txt"), std::nullopt);
    EXPECT_THAT(second.suggestions, ElementsAre("D:\\one.htm"));
    EXPECT_EQ(second.copies, (decltype(second.copies){{temp, "D:\\two.htm"}}));
    EXPECT_EQ(results, "D:\\two.htm");
}

TEST(SaveResults, CancelChangesNothingAndAFailedCopyIsReported) {
    const std::string temp = "C:\\Temp\\els000000.htm";
    std::string results = temp;
    SaveScript cancel{std::nullopt};
    EXPECT_EQ(cancel.Save(results, temp, "x.txt"), std::nullopt);
    EXPECT_TRUE(cancel.copies.empty());
    EXPECT_EQ(results, temp);

    SaveScript failing{"Z:\\missing\\folder\\out.htm", false};
    EXPECT_EQ(failing.Save(results, temp, "x.txt"),
              "Unable to save the results to the specified path.");
    EXPECT_EQ(failing.copies.size(), 1u);
    EXPECT_EQ(results, temp);
}

TEST(FileDialogFilter, TurnsBarsIntoZeroBytesEndingInTwo) {
    using namespace std::string_literals;
    EXPECT_EQ(FileDialogFilter(kSaveResultsFilter),
              "HTML Files (*.htm)\0*.htm\0All Files (*.*)\0*.*\0\0"s);
    EXPECT_EQ(FileDialogFilter(kBrowseFilter),
              "Text Documents (*.txt)\0*.txt\0All Files (*.*)\0*.*\0\0"s);
    EXPECT_EQ(FileDialogFilter("A|*.a"), "A\0*.a\0\0"s);
}

}  // namespace
