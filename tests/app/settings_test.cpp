#include <gtest/gtest.h>

#include "app/recent_documents.h"
#include "app/search_run.h"
#include "tests/support/memory_settings_store.h"
#include "tests/support/scripted_view.h"

namespace {

using Strings = std::vector<std::string>;

Strings Paths(int from, int to) {
    Strings paths;
    for (int i = from; i <= to; ++i)
        paths.push_back("C:\\doc" + std::to_string(i) + ".txt");
    return paths;
}

TEST(RecentDocuments, ListRules) {
    const struct {
        const char* what;
        Strings before;  // added oldest first
        std::string added;
        Strings expected;
    } cases[] = {
        {"first path", {}, "C:\\a.txt", {"C:\\a.txt"}},
        {"trimmed", {}, " \t C:\\a.txt \r\n", {"C:\\a.txt"}},
        {"blank path ignored", {"C:\\a.txt"}, " \t ", {"C:\\a.txt"}},
        {"entry 3 differing in case replaced, spelled as the new path, others move down",
         {"C:\\Four.txt", "C:\\c.txt", "C:\\b.txt", "C:\\a.txt"},
         "c:\\FOUR.TXT",
         {"c:\\FOUR.TXT", "C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}},
        {"re-adding the top entry keeps one", {"C:\\a.txt"}, "C:\\a.txt", {"C:\\a.txt"}},
        {"only whole paths match", {"C:\\a.txt"}, "C:\\a.tx", {"C:\\a.tx", "C:\\a.txt"}},
        {"a sixteenth path drops the oldest", Paths(1, 15), "C:\\new.txt",
         [] {
             Strings expected = {"C:\\new.txt"};
             for (int i = 15; i >= 2; --i)
                 expected.push_back("C:\\doc" + std::to_string(i) + ".txt");
             return expected;
         }()},
        {"a full list re-adding its oldest keeps all fifteen", Paths(1, 15), "C:\\DOC1.txt",
         [] {
             Strings expected = {"C:\\DOC1.txt"};
             for (int i = 15; i >= 2; --i)
                 expected.push_back("C:\\doc" + std::to_string(i) + ".txt");
             return expected;
         }()},
    };
    for (const auto& c : cases) {
        CRecentDocuments list;
        for (const std::string& path : c.before)
            list.Add(path);
        list.Add(c.added);
        EXPECT_EQ(list.Entries(), c.expected) << c.what;
    }
}

// The list replaces what the given comparison calls equal: Windows passes one that also folds
// the code page's accented letters, which ASCII folding keeps apart.
TEST(RecentDocuments, ReplacesWhatTheGivenComparisonCallsEqual) {
    const std::string lower = "C:\\caf\xE9.txt";  // e acute in Windows-1252
    const std::string upper = "C:\\CAF\xC9.TXT";
    CRecentDocuments ascii;
    ascii.Add(lower);
    ascii.Add(upper);
    EXPECT_EQ(ascii.Entries(), (Strings{upper, lower}));

    CRecentDocuments folding([](std::string_view a, std::string_view b) {
        auto fold = [](std::string_view text) {
            std::string folded(text);
            for (char& c : folded) {
                const auto byte = static_cast<unsigned char>(c);
                if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7))
                    c = static_cast<char>(byte - 0x20);
            }
            return folded;
        };
        return fold(a) == fold(b);
    });
    folding.Add(lower);
    folding.Add(upper);
    EXPECT_EQ(folding.Entries(), Strings{upper});
}

TEST(RecentDocuments, LoadClosesUpEmptyAndMissingValues) {
    CMemorySettingsStore store;
    store.values = {{"Document1", std::string()},
                    {"Document2", std::string("C:\\two.txt")},
                    {"Document4", std::string("C:\\four.txt")},
                    {"Document15", std::string("C:\\fifteen.txt")},
                    {"Document16", std::string("C:\\never.txt")},
                    {"Document3", std::int32_t{7}}};
    CRecentDocuments list;
    list.Add("C:\\replaced.txt");
    list.Load(store);
    EXPECT_EQ(list.Entries(), (Strings{"C:\\two.txt", "C:\\four.txt", "C:\\fifteen.txt"}));
}

TEST(RecentDocuments, AddingAfterAnEmptyFirstValueStoresAllFifteen) {
    CMemorySettingsStore store;
    store.values = {{"Document1", std::string()}, {"Document2", std::string("C:\\old.txt")}};
    CScriptedView view;
    CSearchRun run(view, store, {});
    run.LoadRecentDocuments();
    EXPECT_EQ(view.log, Strings{"ShowRecentDocuments [C:\\old.txt]"});
    EXPECT_EQ(view.documentText, "C:\\old.txt");

    run.AddRecentDocument("  C:\\new.txt ");
    Strings expectedWrites = {"Document1=C:\\new.txt", "Document2=C:\\old.txt"};
    for (int i = 3; i <= 15; ++i)
        expectedWrites.push_back("Document" + std::to_string(i) + "=");
    EXPECT_EQ(store.writes, expectedWrites);
    EXPECT_EQ(view.log.back(), "ShowRecentDocuments [C:\\new.txt] [C:\\old.txt]");
    EXPECT_EQ(view.documentText, "C:\\new.txt");

    // A blank path neither shows nor stores anything.
    store.writes.clear();
    view.log.clear();
    run.AddRecentDocument(" ");
    EXPECT_EQ(store.writes, Strings{});
    EXPECT_EQ(view.log, Strings{});
}

TEST(RecentDocuments, SixteenAdditionsStoreExactlyFifteenValues) {
    CMemorySettingsStore store;
    CScriptedView view;
    CSearchRun run(view, store, {});
    for (const std::string& path : Paths(1, 16))
        run.AddRecentDocument(path);
    Strings expected;
    for (int i = 16; i >= 2; --i)
        expected.push_back("C:\\doc" + std::to_string(i) + ".txt");
    EXPECT_EQ(store.Documents(), expected);
    EXPECT_EQ(store.values.count("Document16"), 0u);
    EXPECT_EQ(view.recentDocuments, expected);
}

TEST(StoredSettings, FirstRunShowsTheDefaults) {
    CMemorySettingsStore store;
    CScriptedView view;
    CSearchRun run(view, store, {});
    run.InitialiseDialog();
    const Strings expected = {"SetCheck 1008 1",        "SetNumberText 1011 100",
                              "SetNumberText 1015 500", "SetNumberText 1013 1000",
                              "SetNumberText 1009 10",  "SetCheck 1021 0",
                              "SetCheck 1022 0",        "ShowRecentDocuments",
                              "EnableSaveResults 0",    "EnableViewResults 0"};
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(store.writes, Strings{});
}

TEST(StoredSettings, StoredValuesAreShownUnchecked) {
    CMemorySettingsStore store;
    store.values = {{"IgnoreNumbers", std::int32_t{1}},
                    {"AllowReverseKeywords", std::int32_t{0}},
                    {"ExcludeWordsDirectlyFromText", std::int32_t{1}},
                    {"MinColumnWidth", std::int32_t{3}},
                    {"MaxColumnWidth", std::int32_t{900}},
                    {"MaxResultLength", std::int32_t{-4}},
                    {"MaxDistanceBetweenLetters", std::int32_t{77}}};
    CScriptedView view;
    CSearchRun run(view, store, {});
    run.LoadSettings();
    EXPECT_EQ(run.Fields(), (DialogFields{0, 900, 77, -4, 3, 1, 1}));
    EXPECT_EQ(view.numberTexts[NumberField::ColumnWidthTo], "900");
    EXPECT_EQ(view.numberTexts[NumberField::AllKeywordsWithin], "-4");
    EXPECT_EQ(view.checks[CheckField::IgnoreNumbers], 1);
}

TEST(StoredSettings, SavedInOrderWithTheWidthsSorted) {
    CMemorySettingsStore store;
    DialogFields fields{1, 20, 33, 444, 80, 0, 1};
    SaveSettings(store, fields, MakeSearchSettings(fields));
    const Strings expected = {"IgnoreNumbers=1",
                              "AllowReverseKeywords=1",
                              "ExcludeWordsDirectlyFromText=0",
                              "MinColumnWidth=20",
                              "MaxColumnWidth=80",
                              "MaxResultLength=444",
                              "MaxDistanceBetweenLetters=33"};
    EXPECT_EQ(store.writes, expected);

    // And read back into the fields they came from, ordered.
    DialogFields loaded;
    LoadSettings(store, loaded);
    EXPECT_EQ(loaded, (DialogFields{1, 80, 33, 444, 20, 0, 1}));
}

}  // namespace
