// Takes the pictures shown in README: the splash screen, the main dialog after a search, and
// after a Hebrew search with its page.
// Usage (under Wine, in a display): gui_screenshots <folder>  -> splash.bmp, main-dialog.bmp,
// main-dialog-hebrew.bmp, hebrew-page.htm
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/app/app_driver.h"

namespace {

// The window as it is on the screen, as a 24-bit bottom-up BMP file.
bool SaveWindowPicture(HWND window, const std::string& path) {
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageBytes;
    info.bmiHeader.biSizeImage = imageBytes;
    bool ok = false;
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
             std::fwrite(bits, imageBytes, 1, out) == 1;
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

// A small readable document with a few words hidden at a skip of 41 letters (counted in
// letters: blanks do not count).
std::string SampleDocument() {
    std::mt19937 random(3);
    std::string text;
    const char* words[] = {"the ",  "letters ", "of ",      "a ",    "text ", "stand ", "in ",
                           "rows ", "and ",     "columns ", "seen ", "from ", "far "};
    while (text.size() < 60000)
        text += words[random() % 13];
    std::vector<std::size_t> letters;  // byte index of every letter
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ' ') letters.push_back(i);
    }
    const std::string hidden[] = {"grid", "skip", "find"};
    std::size_t at = 1000;
    for (const std::string& word : hidden) {
        for (std::size_t i = 0; i < word.size(); ++i)
            text[letters[at + i * 41]] = word[i];
        at += 300;
    }
    return text;
}

// The Torah from a folder named in Hebrew, searched for torah (letters within 50): the dialog
// as main-dialog-hebrew.bmp, its page as hebrew-page.htm.
bool TakeHebrewSearch(HWND dialog, const std::string& folder) {
    std::wstring samples = STRANDIX_SAMPLES L"\\torah-wlc.txt";
    std::replace(samples.begin(), samples.end(), L'/', L'\\');
    const std::string temp = TempFolder();
    const std::wstring documentFolder =
        std::wstring(temp.begin(), temp.end()) + L"\u05EA\u05D5\u05E8\u05D4\\";
    const std::wstring document = documentFolder + L"torah-wlc.txt";
    CreateDirectoryW(documentFolder.c_str(), nullptr);
    if (!CopyFileW((L"Z:" + samples).c_str(), document.c_str(), FALSE)) {
        std::fprintf(stderr, "no Torah sample\n");
        return false;
    }
    SetItemTextWide(dialog, IDC_DOCUMENT_PATH, document);
    SetItemTextWide(dialog, IDC_KEYWORDS, L"\u05EA\u05D5\u05E8\u05D4");
    SetDlgItemTextA(dialog, IDC_MAX_DISTANCE, "50");
    Click(dialog, IDC_FIND);
    WaitUntil([&] { return ItemTextOf(dialog, IDC_STATUS).find("found") != std::string::npos; });
    WaitUntil([&] { return ItemTextOf(dialog, IDC_FIND) == "&Find!"; });
    SetForegroundWindow(dialog);
    Sleep(400);
    const bool saved = SaveWindowPicture(dialog, folder + "main-dialog-hebrew.bmp");
    const std::vector<std::string> pages = ResultPagesInTemp();
    const bool copied = pages.size() == 1 &&
                        CopyFileA(pages[0].c_str(), (folder + "hebrew-page.htm").c_str(), FALSE);
    std::printf("hebrew status: %s\n", ItemTextOf(dialog, IDC_STATUS).c_str());
    DeleteFileW(document.c_str());
    return saved && copied;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gui_screenshots <folder>\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "\\";
    DeleteSettings();
    CRunningProgram program;
    HWND splash = nullptr;
    if (!WaitUntil([&] { return (splash = program.FindSplash()) && IsWindowVisible(splash); })) {
        std::fprintf(stderr, "no splash screen\n");
        return 1;
    }
    Sleep(400);  // painted
    const bool splashSaved = SaveWindowPicture(splash, folder + "splash.bmp");

    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = program.FindMainDialog()) != nullptr; })) {
        std::fprintf(stderr, "no main dialog\n");
        return 1;
    }
    const std::string document = TempFolder() + "Sample Text.txt";
    WriteWholeFile(document, SampleDocument());
    SetDlgItemTextA(dialog, IDC_DOCUMENT_PATH, document.c_str());
    SetDlgItemTextA(dialog, IDC_KEYWORDS, "grid, skip; find");
    Click(dialog, IDC_FIND);
    WaitUntil([&] { return ItemTextOf(dialog, IDC_STATUS).find("found") != std::string::npos; });
    WaitUntil([&] { return ItemTextOf(dialog, IDC_FIND) == "&Find!"; });
    SetForegroundWindow(dialog);
    Sleep(400);
    const bool dialogSaved = SaveWindowPicture(dialog, folder + "main-dialog.bmp");
    std::printf("status: %s\n", ItemTextOf(dialog, IDC_STATUS).c_str());
    const bool hebrewSaved = TakeHebrewSearch(dialog, folder);

    Click(dialog, IDCANCEL);
    program.HasExited(20000);
    DeleteFileA(document.c_str());
    DeleteSettings();
    return splashSaved && dialogSaved && hebrewSaved ? 0 : 1;
}
