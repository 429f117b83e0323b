#include <windows.h>

#include <new>
#include <string>

#include "platform/document_file.h"
#include "platform/unique_handle_win32.h"

namespace {

HANDLE OpenForReading(const std::string& path, bool utf8) {
    if (!utf8) {
        return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
    if (length <= 0) return INVALID_HANDLE_VALUE;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, wide.data(), length);
    return CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

DocumentReadStatus ReadOpenedDocument(HANDLE handle, std::string& contents) {
    contents.clear();
    CUniqueHandle file(handle);
    if (!file.IsValid()) return DocumentReadStatus::CannotOpen;
    DWORD high = 0;
    const DWORD low = GetFileSize(file.Get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        return DocumentReadStatus::UnknownSize;
    }
    const std::uint64_t size = (std::uint64_t{high} << 32) | low;
    if (size > kMaxDocumentBytes) return DocumentReadStatus::TooLarge;
    try {
        contents.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return DocumentReadStatus::OutOfMemory;
    }
    DWORD read = 0;
    if (!ReadFile(file.Get(), contents.data(), static_cast<DWORD>(size), &read, nullptr)) {
        contents.clear();
        return DocumentReadStatus::ReadFailed;
    }
    contents.resize(read);
    return DocumentReadStatus::Ok;
}

}  // namespace

DocumentReadStatus ReadDocument(const std::string& path, std::string& contents) {
    return ReadOpenedDocument(OpenForReading(path, false), contents);
}

DocumentReadStatus ReadDocumentUtf8Path(const std::string& path, std::string& contents) {
    return ReadOpenedDocument(OpenForReading(path, true), contents);
}

bool DeleteFileAt(const std::string& path) {
    return DeleteFileA(path.c_str()) != FALSE;
}
