// The files a run writes, checked before any work starts: none may be a file the run reads, and
// each must be writable, so that a late failure loses no work and no input is overwritten.
#pragma once

#include <string>
#include <vector>

#include "platform/file.h"

// A file the run reads, and how a message names it ("the document", "a partial being merged").
struct RunInput {
    std::string path;
    std::string role;
};

// The first problem with `outputs` (UTF-8 paths; empty ones are skipped) as one sentence naming
// the file: an output that is the same file as an input (compared by the files' identities, so
// through links too), or one that cannot be opened for writing with the system's reason. Empty
// when every output is fine. Nothing is changed on disk.
std::string CheckOutputs(const std::vector<std::string>& outputs,
                         const std::vector<RunInput>& inputs);

// The system's words for `error` as the end of a sentence.
std::string ReasonSentence(SystemErrorCode error);

// Writes `content` as the whole file `path` (UTF-8). Empty when it was written; otherwise one
// sentence naming the file, what it was to hold (`what`, such as "the report") and the system's
// reason.
std::string WriteOutputFile(const std::string& path, const std::string& content,
                            const std::string& what);
