// The one way the tool reads a file it is given (the document, a list, a partial): whole, with
// "-" for standard input, and one set of messages that name the file and give the system's reason.
#pragma once

#include <string>

// Reads the input at the UTF-8 `path` whole into `contents`; "-" reads standard input. `what`
// names the input in a message ("document", "list", "partial"). False with `error` set to one
// sentence: the path (or "standard input"), the program's message for the failure with the input
// named, and the system's reason when it gave one.
bool ReadInputFile(const std::string& path, const char* what, std::string& contents,
                   std::string& error);
