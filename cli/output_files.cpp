#include "cli/output_files.h"

#include "platform/file_identity.h"

std::string ReasonSentence(SystemErrorCode error) {
    std::string reason = SystemFileSystem().DescribeError(error);
    while (!reason.empty() &&
           (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    if (!reason.empty() && reason.back() != '.') reason.push_back('.');
    return reason;
}

std::string CheckOutputs(const std::vector<std::string>& outputs,
                         const std::vector<RunInput>& inputs) {
    for (const std::string& output : outputs) {
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

std::string WriteOutputFile(const std::string& path, const std::string& content,
                            const std::string& what) {
    SystemErrorCode error = 0;
    if (WriteWholeFile(path, content, error)) return std::string();
    return path + ": " + what + " could not be written.  " + ReasonSentence(error);
}
