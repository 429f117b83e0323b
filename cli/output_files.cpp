#include "cli/output_files.h"

#include <cstdio>
#include <memory>

#include "cli/command_line.h"
#include "platform/document_file.h"
#include "platform/file_identity.h"

namespace {

// Names tried in the temporary folder for an output being written; another run may hold some.
constexpr int kTemporaryNames = 1000;

// A new file in the temporary folder holding all of `text`, closed; empty on failure.
std::string WriteTemporaryFile(const std::string& text, SystemErrorCode& error) {
    CFileSystem& fileSystem = SystemFileSystem();
    std::string folder;
    if (!fileSystem.GetTempFolder(folder)) return std::string();
    for (int counter = 0; counter < kTemporaryNames; ++counter) {
        char name[32];
        std::snprintf(name, sizeof name, "strandix-output-%03d.tmp", counter);
        const std::string path = folder + name;
        const std::unique_ptr<CWritableFile> file = fileSystem.CreateNewFile(path);
        if (!file) continue;
        std::size_t written = 0;
        if (file->Write(text.data(), text.size(), written, error) && file->Close(error))
            return path;
        DeleteFileAt(path);
        return std::string();
    }
    return std::string();
}

}  // namespace

std::string ReasonSentence(SystemErrorCode error) {
    std::string reason = SystemFileSystem().DescribeError(error);
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    if (!reason.empty() && reason.back() != '.') reason.push_back('.');
    return reason;
}

std::string CheckOutputs(const std::vector<RunOutput>& outputs,
                         const std::vector<RunInput>& inputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            const RunOutput &first = outputs[i], &second = outputs[j];
            if (!first.path.empty() && !second.path.empty() &&
                IsSameOutput(first.path, second.path)) {
                return second.path + ": " + first.option + " and " + second.option +
                       " name the same file.  Please choose two files.";
            }
        }
    }
    for (const RunOutput& named : outputs) {
        const std::string& output = named.path;
        if (output.empty()) continue;
        for (const RunInput& input : inputs) {
            if (IsSameFile(output, input.path)) {
                return output + ": this output is the same file as " + input.role + " (" +
                       input.path + "), which it would replace.  Please choose another file.";
            }
        }
        SystemErrorCode error = 0;
        if (!CanWriteFile(output, error))
            return output + ": the file cannot be written.  " + ReasonSentence(error);
    }
    return std::string();
}

bool WriteOutputFile(const std::string& path, const std::string& text, std::string& problem) {
    std::string target;
    if (!ToSystemPath(path, target)) {
        problem = path + ": the name is not UTF-8, so it names no file.";
        return false;
    }
    SystemErrorCode error = 0;
    const std::string temporary = WriteTemporaryFile(text, error);
    if (temporary.empty()) {
        problem = path + ": the output could not be written to the temporary folder first.";
        if (error != 0) problem += "  " + ReasonSentence(error);
        return false;
    }
    if (!CopyFileReplacing(temporary, target, error)) {
        problem = path + ": the output could not be written.  " + ReasonSentence(error) +
                  "  It is kept in " + temporary + ".";
        return false;
    }
    DeleteFileAt(temporary);
    return true;
}
