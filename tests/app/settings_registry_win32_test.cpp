#include "app/settings_registry_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/search_run.h"
#include "tests/support/scripted_view.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The key opened on its own, beside the helpers' process-wide handle.
class CRawKey {
  public:
    CRawKey() {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsSubkey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key_, nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    CRawKey(const CRawKey&) = delete;  // closes its handle once
    CRawKey& operator=(const CRawKey&) = delete;
    ~CRawKey() {
        if (key_) RegCloseKey(key_);
    }

    void Set(const char* name, DWORD type, const Bytes& data) {
        ASSERT_EQ(RegSetValueExA(key_, name, 0, type, data.data(), static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS)
            << name;
    }
    void Delete(const char* name) { RegDeleteValueA(key_, name); }
    // Type and bytes of a value; false when it is missing.
    bool Get(const char* name, DWORD& type, Bytes& data) {
        DWORD size = 0;
        if (RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        data.assign(size, 0);
        return RegQueryValueExA(key_, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
    }

  private:
    HKEY key_ = nullptr;
};

bool SettingsKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsSubkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

Bytes Text(const std::string& text, bool withZero) {
    Bytes bytes(text.begin(), text.end());
    if (withZero) bytes.push_back(0);
    return bytes;
}

// Declared first: run in one process, it must come before anything opens the key. (CTest runs
// every test in a process of its own.)
TEST(SettingsRegistry, FirstRunWithoutKeyGivesDefaultsAndTheFirstWriteCreatesIt) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsSubkey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsSubkey);
    ASSERT_FALSE(SettingsKeyExists());

    EXPECT_FALSE(OpenSettingsKey(false));
    EXPECT_EQ(ReadSettingInt("MaxColumnWidth", 100), 100);
    bool found = true;
    EXPECT_EQ(ReadSettingString("Document1", "none", &found), "none");
    EXPECT_FALSE(found);

    // The dialog's first start: the defaults and an empty list; reading creates nothing.
    CRegistrySettingsStore store;
    CScriptedView view;
    CSearchRun run(view, store, {});
    run.InitialiseDialog();
    EXPECT_EQ(run.Fields(), DialogFields{});
    EXPECT_EQ(view.recentDocuments, std::vector<std::string>{});
    EXPECT_FALSE(SettingsKeyExists());

    EXPECT_TRUE(WriteSettingInt("MinColumnWidth", 20));
    EXPECT_TRUE(SettingsKeyExists());
    EXPECT_TRUE(OpenSettingsKey(false));
    EXPECT_EQ(ReadSettingInt("MinColumnWidth", 10), 20);
}

TEST(SettingsRegistry, IntegersAreReadAsFourBytesWhateverTheType) {
    CRawKey raw;
    const struct {
        const char* what;
        DWORD type;
        Bytes data;
        std::int32_t expected;
    } cases[] = {
        {"dword", REG_DWORD, {0x84, 0x03, 0, 0}, 900},
        {"negative", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, -1},
        {"two bytes, little-endian", REG_BINARY, {0x34, 0x12}, 0x1234},
        {"one byte", REG_BINARY, {0x07}, 7},
        {"no bytes", REG_BINARY, {}, 0},
        {"five bytes: too long", REG_BINARY, {1, 2, 3, 4, 5}, -5},
        {"a short string's bytes", REG_SZ, {'1', '2', 0}, 0x3231},
    };
    for (const auto& c : cases) {
        raw.Set("TestInt", c.type, c.data);
        EXPECT_EQ(ReadSettingInt("TestInt", -5), c.expected) << c.what;
    }
    raw.Delete("TestInt");
    EXPECT_EQ(ReadSettingInt("TestInt", -5), -5) << "missing";
}

TEST(SettingsRegistry, StringsEndAtTheirFirstZeroByteWhateverTheType) {
    CRawKey raw;
    const struct {
        const char* what;
        DWORD type;
        Bytes data;
        std::string expected;
    } cases[] = {
        {"string", REG_SZ, Text("C:\\Texts\\a b.txt", true), "C:\\Texts\\a b.txt"},
        {"empty string", REG_SZ, Text("", true), ""},
        {"zero inside", REG_BINARY, Bytes{'a', 'b', 0, 'c', 'd', 0}, "ab"},
        {"no zero at the end", REG_BINARY, Text("abc", false), "abc"},
        {"a dword's bytes", REG_DWORD, Bytes{'A', 'B', 'C', 0}, "ABC"},
    };
    for (const auto& c : cases) {
        raw.Set("TestText", c.type, c.data);
        bool found = false;
        EXPECT_EQ(ReadSettingString("TestText", "default", &found), c.expected) << c.what;
        EXPECT_TRUE(found) << c.what;
        EXPECT_EQ(ReadSettingString("TestText", "default"), c.expected) << c.what;
    }
    raw.Delete("TestText");
    bool found = true;
    EXPECT_EQ(ReadSettingString("TestText", "default", &found), "default");
    EXPECT_FALSE(found);
}

TEST(SettingsRegistry, WritesStoreDwordsAndZeroTerminatedStrings) {
    CRawKey raw;
    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(WriteSettingInt("TestInt", -2));
    ASSERT_TRUE(raw.Get("TestInt", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));

    ASSERT_TRUE(WriteSettingString("TestText", "C:\\x.txt"));
    ASSERT_TRUE(raw.Get("TestText", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, Text("C:\\x.txt", true));
    raw.Delete("TestInt");
    raw.Delete("TestText");
}

// The program's store holds UTF-8 and writes REG_SZ through the wide calls: a Hebrew path comes
// back whole, and an ANSI reader (an older copy) gets a path its code page can hold in that code
// page.
TEST(SettingsRegistry, TheStoreKeepsEveryScriptInRegSz) {
    CRawKey raw;
    CRegistrySettingsStore store;
    const struct {
        std::string utf8;
        std::wstring wide;
    } cases[] = {
        {"C:\\\xD7\xAA\xD7\x95\xD7\xA8\xD7\x94\\torah.txt",
         L"C:\\\u05EA\u05D5\u05E8\u05D4\\torah.txt"},
        {"C:\\Caf\xC3\xA9\\\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82.txt",
         L"C:\\Caf\u00E9\\\u03BB\u03CC\u03B3\u03BF\u03C2.txt"},
        {"C:\\Caf\xC3\xA9.txt", L"C:\\Caf\u00E9.txt"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(store.WriteString("TestPath", c.utf8));
        bool found = false;
        EXPECT_EQ(store.ReadString("TestPath", "", &found), c.utf8);
        EXPECT_TRUE(found);

        DWORD type = 0;
        wchar_t wide[256] = {};
        DWORD size = sizeof wide;
        ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tarnwick\\Strandix!", L"TestPath",
                               RRF_RT_ANY, &type, wide, &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_TRUE(c.wide == wide);

        // What the ANSI call gives is the code page's form of the same characters.
        BOOL lossy = FALSE;
        char ansi[256] = {};
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, c.wide.c_str(), -1, ansi, sizeof ansi,
                            nullptr, &lossy);
        if (lossy) continue;  // this code page cannot hold the path
        Bytes data;
        ASSERT_TRUE(raw.Get("TestPath", type, data));
        EXPECT_EQ(data, Text(ansi, true));
    }
    raw.Delete("TestPath");
}

TEST(SettingsRegistry, TheRecentListAndTheSettingsThroughTheRealKey) {
    CRawKey raw;
    raw.Set("Document1", REG_SZ, Text("", true));
    raw.Set("Document2", REG_SZ, Text("C:\\old.txt", true));
    for (int i = 3; i <= 16; ++i)
        raw.Delete(RecentDocumentValueName(i).c_str());
    raw.Set("MaxColumnWidth", REG_DWORD, {0x84, 0x03, 0, 0});  // 900

    CRegistrySettingsStore store;
    CScriptedView view;
    CSearchRun run(view, store, {});
    run.InitialiseDialog();
    EXPECT_EQ(view.recentDocuments, std::vector<std::string>{"C:\\old.txt"});
    EXPECT_EQ(view.numberTexts[NumberField::ColumnWidthTo], "900");

    run.AddRecentDocument("C:\\new.txt");
    for (int i = 1; i <= 15; ++i) {
        DWORD type = 0;
        Bytes data;
        const std::string name = RecentDocumentValueName(i);
        ASSERT_TRUE(raw.Get(name.c_str(), type, data)) << name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        const std::string expected = i == 1 ? "C:\\new.txt" : i == 2 ? "C:\\old.txt" : "";
        EXPECT_EQ(data, Text(expected, true)) << name;
    }
    DWORD type = 0;
    Bytes data;
    EXPECT_FALSE(raw.Get("Document16", type, data));

    // Find with the stored 900 fails validation after the path went to the list; the settings
    // are not stored.
    view.documentText = "C:\\third.txt";
    view.keywordText = "ab";
    run.OnFind();
    EXPECT_EQ(view.log.back(), "FocusAndSelectAll 1011");
    EXPECT_EQ(ReadSettingString("Document1", ""), "C:\\third.txt");
    EXPECT_EQ(ReadSettingInt("MaxColumnWidth", 0), 900);
}

}  // namespace
