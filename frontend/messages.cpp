#include "frontend/messages.h"

const char* DocumentStatusMessage(DocumentReadStatus status) {
    switch (status) {
        case DocumentReadStatus::Ok:
            return "";
        case DocumentReadStatus::CannotOpen:
            return kDocumentNotOpenedMessage;
        case DocumentReadStatus::UnknownSize:
            return kDocumentSizeUnknownMessage;
        case DocumentReadStatus::TooLarge:
            return kDocumentTooLargeMessage;
        case DocumentReadStatus::ReadFailed:
            return kDocumentNotLoadedMessage;
        case DocumentReadStatus::OutOfMemory:
            return kOutOfMemoryMessage;
        case DocumentReadStatus::NotAFile:
            return kDocumentNotAFileMessage;
    }
    return kDocumentNotLoadedMessage;
}

std::string FormatResultCount(std::int64_t count) {
    if (count == 0) return kNoResultsMessage;
    return std::to_string(count) + (count == 1 ? " result found." : " results found.");
}

std::string WriteRetryQuestion(const std::string& reason) {
    return "Encountered an error when saving the results:\n" + reason +
           "\nDo you want to retry or cancel?";
}
