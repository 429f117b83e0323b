#include "setup/shell_files.h"

#include <exdisp.h>
#include <objidl.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <vector>

#include "platform/com_initialization_win32.h"
#include "platform/shell.h"
#include "platform/unique_handle_win32.h"
#include "setup/shell_rules.h"

namespace {

// A COM interface pointer released when it goes out of scope.
template <typename T>
class CComPointer {
  public:
    CComPointer() = default;
    CComPointer(const CComPointer&) = delete;  // one owner releases it
    CComPointer& operator=(const CComPointer&) = delete;
    ~CComPointer() {
        if (pointer_) pointer_->Release();
    }
    T* operator->() const { return pointer_; }
    void** Out() { return reinterpret_cast<void**>(&pointer_); }

  private:
    T* pointer_ = nullptr;
};

// Finds the first entry matching a path or pattern; only whether there is one matters.
bool AnyEntryMatches(const std::string& pattern) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

}  // namespace

std::string OwnModulePath() {
    std::string path = ModulePath();
    // CharLowerBuffA follows the ANSI code page, double-byte characters included.
    CharLowerBuffA(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

bool FolderExists(const std::string& folder) {
    if (folder.empty()) return false;
    // Every folder but a drive's root lists at least its own dot entries.
    std::string pattern = folder;
    if (!EndsInBackslash(pattern, GetACP())) pattern += '\\';
    return AnyEntryMatches(pattern + "*.*");
}

bool FileExists(const std::string& path) {
    return AnyEntryMatches(path);
}

bool ShellDelete(std::string path) {
    // The shell takes a list of names ended by an empty one: two zero bytes.
    std::vector<char> names(path.begin(), path.end());
    names.push_back('\0');
    names.push_back('\0');
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = names.data();
    operation.pTo = nullptr;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;
    operation.lpszProgressTitle = "";
    return SHFileOperationA(&operation) == 0;
}

bool CreateShortcut(std::string target, std::string name, std::string folder) {
    const CComInitialization com;
    HRESULT result = S_OK;
    {
        CComPointer<IShellLinkA> link;
        result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.Out());
        if (SUCCEEDED(result)) {
            CComPointer<IPersistFile> file;
            result = link->QueryInterface(IID_IPersistFile, file.Out());
            if (SUCCEEDED(result)) {
                link->SetPath(target.c_str());
                result = link->SetDescription(name.c_str());
                if (SUCCEEDED(result)) {
                    CreateDirectoryA(folder.c_str(), nullptr);  // normally there already
                    const std::string linkPath = folder + "\\" + name + ".lnk";
                    wchar_t widePath[MAX_PATH] = {};
                    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH);
                    result = file->Save(widePath, TRUE);
                }
            }
        }
    }
    return SUCCEEDED(result);
}

bool GetSpecialFolder(std::string& folder, int csidl) {
    char path[MAX_PATH] = {};
    LPITEMIDLIST item = nullptr;
    bool found = false;
    if (SHGetSpecialFolderLocation(nullptr, csidl, &item) == S_OK) {
        found = SHGetPathFromIDListA(item, path) != FALSE;
    }
    if (item != nullptr) {
        IMalloc* allocator = nullptr;
        if (SUCCEEDED(SHGetMalloc(&allocator))) {
            allocator->Free(item);
            allocator->Release();
        }
    }
    if (found) folder = WithoutTrailingBackslash(path, GetACP());
    return found;
}

std::string ProgramFilesFolder() {
    return ProgramFilesFolderFrom(GetSpecialFolder);
}

bool ProgramsMenuFolder(std::string& folder) {
    return ProgramsMenuFolderFrom(GetSpecialFolder, folder);
}

bool CopyFileWithRetry(const std::string& source, const std::string& target, bool failIfExists,
                       int attempts, unsigned pauseMilliseconds) {
    return RetryWithPause(
        attempts,
        [&] { return CopyFileA(source.c_str(), target.c_str(), failIfExists ? TRUE : FALSE) != 0; },
        [&] { Sleep(pauseMilliseconds); });
}

namespace {

// The desktop's shell automation object, reached through the desktop window's folder view:
// ShellWindows -> desktop -> its browser -> active view -> the view's background -> Application.
HRESULT DesktopShellDispatch(CComPointer<IShellDispatch2>& shell) {
    CComPointer<IShellWindows> windows;
    HRESULT result = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                      IID_IShellWindows, windows.Out());
    if (FAILED(result)) return result;
    VARIANT location;
    VariantInit(&location);
    VARIANT root;
    VariantInit(&root);
    long window = 0;
    CComPointer<IDispatch> desktop;
    result = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                                   reinterpret_cast<IDispatch**>(desktop.Out()));
    if (result != S_OK) return FAILED(result) ? result : E_FAIL;
    CComPointer<IServiceProvider> provider;
    result = desktop->QueryInterface(IID_IServiceProvider, provider.Out());
    if (FAILED(result)) return result;
    CComPointer<IShellBrowser> browser;
    result = provider->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.Out());
    if (FAILED(result)) return result;
    CComPointer<IShellView> view;
    result = browser->QueryActiveShellView(reinterpret_cast<IShellView**>(view.Out()));
    if (FAILED(result)) return result;
    CComPointer<IDispatch> background;
    result = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.Out());
    if (FAILED(result)) return result;
    CComPointer<IShellFolderViewDual> folderView;
    result = background->QueryInterface(IID_IShellFolderViewDual, folderView.Out());
    if (FAILED(result)) return result;
    CComPointer<IDispatch> application;
    result = folderView->get_Application(reinterpret_cast<IDispatch**>(application.Out()));
    if (FAILED(result)) return result;
    return application->QueryInterface(IID_IShellDispatch2, shell.Out());
}

}  // namespace

bool OpenAsDesktopUser(const std::string& path) {
    const CComInitialization com;
    HRESULT result = E_FAIL;
    {
        CComPointer<IShellDispatch2> shell;
        result = DesktopShellDispatch(shell);
        if (SUCCEEDED(result)) {
            std::wstring widePath(path.size() + 1, L'\0');
            const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath.data(),
                                                   static_cast<int>(widePath.size()));
            BSTR file = length > 0 ? SysAllocString(widePath.c_str()) : nullptr;
            if (file != nullptr) {
                VARIANT none;
                VariantInit(&none);
                result = shell->ShellExecute(file, none, none, none, none);
                SysFreeString(file);
            } else {
                result = E_OUTOFMEMORY;
            }
        }
    }
    return SUCCEEDED(result);
}

bool RunsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    const CUniqueHandle tokenOwner(token);
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)) {
        return false;
    }
    return elevation.TokenIsElevated != 0;
}
