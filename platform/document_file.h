// Reading a document whole, as one block of bytes; deleting a file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"

enum class DocumentReadStatus {
    Ok,
    CannotOpen,   // missing, a folder, no access
    UnknownSize,  // the system could not say how long it is
    TooLarge,     // more bytes than a search can index (above 2^31 - 1)
    ReadFailed,   // the read itself failed
    OutOfMemory,  // no buffer of that size could be made
    NotAFile,     // a device such as /dev/zero or NUL: it has no end to read to
};

// The largest document a search takes: its letters are indexed with 32-bit signed integers.
constexpr std::uint64_t kMaxDocumentBytes = 0x7FFFFFFF;

// Opens `path` for reading (others may read it too) and reads it whole into `contents`. A regular
// file is asked its size and read with one read, its length becoming the number of bytes actually
// read; a pipe (a FIFO, a process substitution) is read to its end. On failure `contents` is left
// empty and `reason` holds the system's error code when the system gave one (else 0); a
// too-large document is never kept in part. On Windows `path` is in the system's ANSI code page
// unless `utf8Path` says it is UTF-8 (the paths of the program and of the command-line tool,
// taken from wide fields and the wide command line): then it is opened by its UTF-16 form, and
// bytes that are not UTF-8 cannot be opened. POSIX paths are bytes either way.
DocumentReadStatus ReadDocumentExplained(const std::string& path, std::string& contents,
                                         SystemErrorCode& reason, bool utf8Path = false);
DocumentReadStatus ReadDocument(const std::string& path, std::string& contents);
DocumentReadStatus ReadDocumentUtf8Path(const std::string& path, std::string& contents);

// Reads standard input to its end, with the same limit and outcomes as a document. A terminal
// (console) is read until the user ends the input.
DocumentReadStatus ReadStandardInput(std::string& contents, SystemErrorCode& reason);

// Deletes the file at `path` (UTF-8); false when it could not be deleted (missing included).
bool DeleteFileAt(const std::string& path);
