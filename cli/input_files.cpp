#include "cli/input_files.h"

#include "cli/output_files.h"
#include "frontend/messages.h"
#include "platform/document_file.h"

namespace {

// The program's message about a document, said of another input: "The list could not be opened."
std::string NamedMessage(DocumentReadStatus status, const std::string& what) {
    std::string message = DocumentStatusMessage(status);
    if (what == "document") return message;
    for (const char* document : {"The document", "the document"}) {
        const std::string named = std::string(document, 4) + what;
        for (std::size_t at = message.find(document); at != std::string::npos;
             at = message.find(document, at + named.size()))
            message.replace(at, std::char_traits<char>::length(document), named);
    }
    return message;
}

}  // namespace

bool ReadInputFile(const std::string& path, const char* what, std::string& contents,
                   std::string& error) {
    const bool fromInput = path == "-";
    SystemErrorCode reason = 0;
    const DocumentReadStatus status = fromInput
                                          ? ReadStandardInput(contents, reason)
                                          : ReadDocumentExplained(path, contents, reason, true);
    if (status == DocumentReadStatus::Ok) return true;
    error = (fromInput ? std::string("standard input") : path) + ": " + NamedMessage(status, what);
    if (reason != 0) error += "  " + ReasonSentence(reason);
    return false;
}
