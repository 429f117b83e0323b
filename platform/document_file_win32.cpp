#include <windows.h>

#include <new>

#include "platform/document_file.h"
#include "platform/unique_handle_win32.h"

DocumentReadStatus ReadDocument(const std::string& path, std::string& contents) {
    contents.clear();
    CUniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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

bool DeleteFileAt(const std::string& path) {
    return DeleteFileA(path.c_str()) != FALSE;
}
