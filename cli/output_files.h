// The files a run writes, checked before any work starts: none may be a file the run reads, and
// each must be writable, so that a late failure loses no work and no input is overwritten.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/file.h"

// A file the run reads, and how a message names it ("the document", "a partial being merged").
struct RunInput {
    std::string path;
    std::string role;
};

// A file the run writes (a UTF-8 path, empty when the option was not given), and the option that
// names it ("-o").
struct RunOutput {
    RunOutput(std::string file, const char* name = "") : path(std::move(file)), option(name) {}
    std::string path;
    const char* option;
};

// The first problem with `outputs` as one sentence naming the file: two outputs that are one file
// (existing or not, however spelled), an output that is the same file as an input (compared by
// the files' identities, so through links too), or one that cannot be opened for writing with
// the system's reason. Empty when every output is fine. Nothing is changed on disk.
std::string CheckOutputs(const std::vector<RunOutput>& outputs,
                         const std::vector<RunInput>& inputs);

// The system's words for `error` as the end of a sentence.
std::string ReasonSentence(SystemErrorCode error);

// Writes `text` as the whole of the file at the UTF-8 `path`, replacing what is there. The text
// goes to a new file in the temporary folder first and is copied over `path` once complete: a
// failure to write it leaves `path` as it was, and when the copy fails the sentence in `problem`
// (naming `path`) says where the complete text is kept.
bool WriteOutputFile(const std::string& path, const std::string& text, std::string& problem);
