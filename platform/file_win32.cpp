#include <windows.h>

#include <utility>

#include "platform/file.h"
#include "platform/unique_handle_win32.h"
#include "platform/wide_text_win32.h"

namespace {

class CWin32File : public CWritableFile {
  public:
    explicit CWin32File(CUniqueHandle handle) : handle_(std::move(handle)) {}

    bool Write(const char* bytes, std::size_t count, std::size_t& written,
               SystemErrorCode& error) override {
        written = 0;
        while (written < count) {
            const std::size_t rest = count - written;
            const DWORD chunk = rest > 0x40000000 ? 0x40000000 : static_cast<DWORD>(rest);
            DWORD done = 0;
            if (!WriteFile(handle_.Get(), bytes + written, chunk, &done, nullptr)) {
                error = GetLastError();
                return false;
            }
            if (done == 0) {
                error = ERROR_HANDLE_DISK_FULL;
                return false;
            }
            written += done;
        }
        return true;
    }

    bool GetSize(std::uint64_t& size) override {
        LARGE_INTEGER value{};
        if (!GetFileSizeEx(handle_.Get(), &value) || value.QuadPart < 0) return false;
        size = static_cast<std::uint64_t>(value.QuadPart);
        return true;
    }

    bool Close(SystemErrorCode& error) override {
        const HANDLE handle = handle_.Release();
        if (handle == nullptr || handle == INVALID_HANDLE_VALUE || CloseHandle(handle)) return true;
        error = GetLastError();
        return false;
    }

  private:
    CUniqueHandle handle_;
};

class CWin32FileSystem : public CFileSystem {
  public:
    bool GetTempFolder(std::string& folder) override {
        wchar_t path[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, path);
        // Too small a buffer makes the call answer the size it would need.
        if (length == 0 || length >= MAX_PATH) return false;
        folder = NarrowToUtf8(std::wstring_view(path, length));
        return true;
    }

    std::unique_ptr<CWritableFile> CreateNewFile(const std::string& path) override {
        CUniqueHandle handle(CreateFileW(WidenUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                         nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle.IsValid()) return nullptr;
        return std::make_unique<CWin32File>(std::move(handle));
    }

    std::string DescribeError(SystemErrorCode error) override {
        wchar_t text[1024];
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
            MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text / sizeof text[0], nullptr);
        return NarrowToUtf8(std::wstring_view(text, length));
    }
};

// True when both paths name one existing file (same volume, same file index).
bool IsSameFile(const std::string& first, const std::string& second) {
    BY_HANDLE_FILE_INFORMATION info[2]{};
    const std::string* paths[2] = {&first, &second};
    for (int i = 0; i < 2; ++i) {
        const CUniqueHandle handle(CreateFileW(
            WidenUtf8(*paths[i]).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle.IsValid() || !GetFileInformationByHandle(handle.Get(), &info[i])) return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
           info[0].nFileIndexLow == info[1].nFileIndexLow;
}

}  // namespace

CFileSystem& SystemFileSystem() {
    static CWin32FileSystem fileSystem;
    return fileSystem;
}

bool CopyFileReplacing(const std::string& from, const std::string& to, SystemErrorCode& error) {
    error = 0;
    if (IsSameFile(from, to)) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    if (!CopyFileW(WidenUtf8(from).c_str(), WidenUtf8(to).c_str(), FALSE)) {
        error = GetLastError();
        return false;
    }
    return true;
}
