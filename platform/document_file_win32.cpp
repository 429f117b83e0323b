#include <windows.h>

#include <new>
#include <string>

#include "platform/document_file.h"
#include "platform/unique_handle_win32.h"
#include "platform/wide_text_win32.h"

namespace {

HANDLE OpenForReading(const std::string& path, bool utf8) {
    if (!utf8) {
        return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
    // Bytes that are not UTF-8 name no file: no replacement character may pick another one.
    if (length <= 0) return INVALID_HANDLE_VALUE;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, wide.data(), length);
    return CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A pipe or the console has no size to ask: read until its end, growing the buffer, and give up
// one byte past the limit so that an endless writer cannot fill the memory.
DocumentReadStatus ReadStream(HANDLE stream, std::string& contents, SystemErrorCode& reason) {
    std::size_t done = 0;
    try {
        contents.resize(64 * 1024);
        for (;;) {
            if (done == contents.size()) {
                if (done > kMaxDocumentBytes) {
                    contents.clear();
                    return DocumentReadStatus::TooLarge;
                }
                const auto limit = static_cast<std::size_t>(kMaxDocumentBytes) + 1;
                contents.resize(done < limit / 2 ? done * 2 : limit);
            }
            DWORD got = 0;
            const std::size_t room = contents.size() - done;
            const DWORD ask = room > 0x10000000 ? 0x10000000 : static_cast<DWORD>(room);
            if (!ReadFile(stream, contents.data() + done, ask, &got, nullptr)) {
                const DWORD error = GetLastError();
                // The writer closing its end is the pipe's end of file.
                if (error == ERROR_BROKEN_PIPE) break;
                reason = error;
                contents.clear();
                return DocumentReadStatus::ReadFailed;
            }
            if (got == 0) break;
            done += got;
        }
    } catch (const std::bad_alloc&) {
        contents.clear();
        contents.shrink_to_fit();
        return DocumentReadStatus::OutOfMemory;
    }
    if (done > kMaxDocumentBytes) {
        contents.clear();
        return DocumentReadStatus::TooLarge;
    }
    contents.resize(done);
    contents.shrink_to_fit();
    return DocumentReadStatus::Ok;
}

DocumentReadStatus ReadOpenDocument(HANDLE file, std::string& contents, SystemErrorCode& reason) {
    const DWORD type = GetFileType(file);
    DWORD mode = 0;
    if (type == FILE_TYPE_PIPE || (type == FILE_TYPE_CHAR && GetConsoleMode(file, &mode)))
        return ReadStream(file, contents, reason);
    if (type == FILE_TYPE_CHAR) return DocumentReadStatus::NotAFile;
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        reason = GetLastError();
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
    if (!ReadFile(file, contents.data(), static_cast<DWORD>(size), &read, nullptr)) {
        reason = GetLastError();
        contents.clear();
        return DocumentReadStatus::ReadFailed;
    }
    contents.resize(read);
    return DocumentReadStatus::Ok;
}

}  // namespace

DocumentReadStatus ReadDocumentExplained(const std::string& path, std::string& contents,
                                         SystemErrorCode& reason, bool utf8Path) {
    contents.clear();
    reason = 0;
    CUniqueHandle file(OpenForReading(path, utf8Path));
    if (!file.IsValid()) {
        reason = GetLastError();
        return DocumentReadStatus::CannotOpen;
    }
    return ReadOpenDocument(file.Get(), contents, reason);
}

DocumentReadStatus ReadDocument(const std::string& path, std::string& contents) {
    SystemErrorCode ignored = 0;
    return ReadDocumentExplained(path, contents, ignored);
}

DocumentReadStatus ReadDocumentUtf8Path(const std::string& path, std::string& contents) {
    SystemErrorCode ignored = 0;
    return ReadDocumentExplained(path, contents, ignored, true);
}

DocumentReadStatus ReadStandardInput(std::string& contents, SystemErrorCode& reason) {
    contents.clear();
    reason = 0;
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) {
        reason = GetLastError();
        return DocumentReadStatus::CannotOpen;
    }
    return ReadOpenDocument(input, contents, reason);
}

bool DeleteFileAt(const std::string& path) {
    return DeleteFileW(WidenUtf8(path).c_str()) != FALSE;
}
