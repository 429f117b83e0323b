// The program's own words that both front ends show: the dialog in its message boxes and status
// line, the command-line tool on its error lines.
#pragma once

#include <cstdint>
#include <string>

#include "platform/document_file.h"

inline constexpr char kNoKeywordsMessage[] =
    "Please enter one or more keywords separated by spaces, commas, or semicolons.";
inline constexpr char kDocumentNotOpenedMessage[] = "The document could not be opened.";
inline constexpr char kDocumentSizeUnknownMessage[] =
    "The document could not be opened.  Strandix! was not able to determine the length of the "
    "document.";
inline constexpr char kDocumentNotLoadedMessage[] = "The document could not be loaded.";
inline constexpr char kDocumentTooLargeMessage[] =
    "The document could not be opened.  It is too large: Strandix! searches documents of up to "
    "2,147,483,647 bytes (2 GB).";
inline constexpr char kDocumentNotAFileMessage[] =
    "The document could not be opened.  It is a device, not a file.";
inline constexpr char kOutOfMemoryMessage[] = "Out of memory.";
inline constexpr char kNoResultsMessage[] = "No results found.";

// What to tell the user about a document that could not be read: one of the messages above
// (kOutOfMemoryMessage for OutOfMemory); empty for Ok.
const char* DocumentStatusMessage(DocumentReadStatus status);

// "No results found." for 0, "1 result found.", otherwise "<n> results found.".
std::string FormatResultCount(std::int64_t count);

// The question after a failed write: the sentence, the system's `reason` as the system worded
// it, and "retry or cancel".
std::string WriteRetryQuestion(const std::string& reason);
