#include <windows.h>

#include "platform/file_identity.h"
#include "platform/unique_handle_win32.h"

namespace {

std::wstring Widen(const std::string& utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

}  // namespace

bool GetFileIdentity(const std::string& path, FileIdentity& identity) {
    const std::wstring wide = Widen(path);
    if (wide.empty()) return false;
    // No access asked: only the file's attributes are read. Folders open with backup semantics;
    // symbolic links are followed.
    const CUniqueHandle file(
        CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.IsValid()) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info)) return false;
    identity.device = info.dwVolumeSerialNumber;
    identity.fileHigh = info.nFileIndexHigh;
    identity.fileLow = info.nFileIndexLow;
    return true;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    FileIdentity first, second;
    return GetFileIdentity(a, first) && GetFileIdentity(b, second) && first == second;
}

bool IsSameOutput(const std::string& a, const std::string& b) {
    if (IsSameFile(a, b)) return true;
    // The folder that would hold each file, and the file's name in it ("C:name" is in the
    // current folder of C:).
    const auto split = [](const std::string& path, std::string& folder) {
        const std::size_t slash = path.find_last_of("\\/:");
        folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        if (folder.back() == ':') folder += '.';
        return Widen(slash == std::string::npos ? path : path.substr(slash + 1));
    };
    std::string folderA, folderB;
    const std::wstring nameA = split(a, folderA);
    const std::wstring nameB = split(b, folderB);
    FileIdentity first, second;
    return !nameA.empty() &&
           CompareStringOrdinal(nameA.c_str(), static_cast<int>(nameA.size()), nameB.c_str(),
                                static_cast<int>(nameB.size()), TRUE) == CSTR_EQUAL &&
           GetFileIdentity(folderA, first) && GetFileIdentity(folderB, second) && first == second;
}

bool GetFileSystemSpace(const std::string& path, std::uint64_t& available, std::uint64_t& total) {
    std::wstring folder = Widen(path);
    if (folder.empty()) return false;
    // The call takes a folder: a file's own folder holds it.
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const std::size_t slash = folder.find_last_of(L"\\/");
        folder = slash == std::wstring::npos ? L"." : folder.substr(0, slash + 1);
    }
    ULARGE_INTEGER freeBytes{}, size{};
    if (!GetDiskFreeSpaceExW(folder.c_str(), &freeBytes, &size, nullptr)) return false;
    available = freeBytes.QuadPart;
    total = size.QuadPart;
    return true;
}

bool CanWriteFile(const std::string& path, std::uint32_t& error) {
    const std::wstring wide = Widen(path);
    if (wide.empty()) {
        error = ERROR_INVALID_NAME;
        return false;
    }
    HANDLE handle = CreateFileW(wide.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(handle);
    if (!existed) DeleteFileW(wide.c_str());
    return true;
}
