// Reading a document whole, as one block of bytes; deleting a file.
#pragma once

#include <cstdint>
#include <string>

enum class DocumentReadStatus {
    Ok,
    CannotOpen,   // missing, a folder, no access
    UnknownSize,  // the system could not say how long it is
    TooLarge,     // more bytes than a search can index (above 2^31 - 1)
    ReadFailed,   // the read itself failed
    OutOfMemory,  // no buffer of that size could be made
};

// The largest document a search takes: its letters are indexed with 32-bit signed integers.
constexpr std::uint64_t kMaxDocumentBytes = 0x7FFFFFFF;

// Opens `path` for reading (others may read it too), asks its size and reads it with one read
// into `contents`, whose length becomes the number of bytes actually read. On failure `contents`
// is left empty; a too-large document is never read in part. On Windows `path` is in the
// system's ANSI code page, as the Windows program has its paths.
DocumentReadStatus ReadDocument(const std::string& path, std::string& contents);

// The same for a UTF-8 path (the command-line tool's, taken from the wide command line): on
// Windows it is opened by its UTF-16 form, and bytes that are not UTF-8 cannot be opened. POSIX
// paths are bytes either way.
DocumentReadStatus ReadDocumentUtf8Path(const std::string& path, std::string& contents);

// Deletes the file at `path`; false when it could not be deleted (missing included).
bool DeleteFileAt(const std::string& path);
