#include "app/result_paths.h"

#include <algorithm>

std::string FileDialogFilter(std::string_view pipes) {
    std::string filter(pipes);
    std::replace(filter.begin(), filter.end(), '|', '\0');
    // Whatever the text ended with, the list ends with an empty entry.
    if (filter.empty() || filter.back() != '\0') filter.push_back('\0');
    filter.push_back('\0');
    return filter;
}

std::optional<std::string> ViewResults(const std::string& resultsPath,
                                       const std::string& temporaryResultsPath,
                                       const std::function<bool(const std::string&)>& open,
                                       const PathEquals& same) {
    std::string message = kResultsNotOpenedMessage;
    if (open(resultsPath)) return std::nullopt;
    message += resultsPath;
    // A saved copy may have been moved or deleted since; the page the search wrote is still
    // there as long as the window is.
    if (!same(resultsPath, temporaryResultsPath)) {
        if (open(temporaryResultsPath)) return std::nullopt;
        message += temporaryResultsPath;
    }
    return message;
}

std::string SuggestResultsFileName(const std::string& resultsPath,
                                   const std::string& temporaryResultsPath,
                                   const std::string& documentText, const PathEquals& same) {
    if (!same(resultsPath, temporaryResultsPath)) return resultsPath;
    // Not saved yet: named after the document. The last "." counts even when it belongs to a
    // folder name.
    const std::size_t dot = documentText.rfind('.');
    return documentText.substr(0, dot) + ".htm";
}

std::optional<std::string> SaveResults(
    std::string& resultsPath, const std::string& temporaryResultsPath,
    const std::string& documentText,
    const std::function<std::optional<std::string>(const std::string& suggestion)>& choose,
    const std::function<bool(const std::string& from, const std::string& to)>& copy,
    const PathEquals& same) {
    const std::optional<std::string> chosen =
        choose(SuggestResultsFileName(resultsPath, temporaryResultsPath, documentText, same));
    if (!chosen) return std::nullopt;
    // Always from the page the search wrote, so every copy is that page as it was written.
    if (!copy(temporaryResultsPath, *chosen)) return std::string(kResultsNotSavedMessage);
    resultsPath = *chosen;
    return std::nullopt;
}
