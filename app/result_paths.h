// What View Results and Save Results decide, apart from the system calls they make: which
// files to open and what to tell the user, what name to suggest, and where the results are
// after a save.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "setup/setup_paths.h"

// Compares two paths for equality without regard to letter case. The program passes the
// system's comparison (multibyte-aware); ASCII folding (EqualIgnoringCase) is the default.
using PathEquals = std::function<bool(std::string_view, std::string_view)>;

inline constexpr char kResultsNotOpenedMessage[] = "The results could not be opened.";
inline constexpr char kResultsNotSavedMessage[] =
    "Unable to save the results to the specified path.";

inline constexpr char kSaveResultsTitle[] = "Save Results";
inline constexpr char kSaveResultsFilter[] = "HTML Files (*.htm)|*.htm|All Files (*.*)|*.*|";
inline constexpr char kSaveResultsDefaultExtension[] = "htm";

inline constexpr char kBrowseTitle[] = "Document Path";
inline constexpr char kBrowseFilter[] = "Text Documents (*.txt)|*.txt|All Files (*.*)|*.*|";

// A filter written as "description|pattern|...|" in the form the file dialogs take: every "|"
// becomes a zero byte, and the text ends in two zero bytes.
std::string FileDialogFilter(std::string_view pipes);

// View Results: opens `resultsPath`; when that fails and the temporary results file is another
// file, opens that instead. Answers nothing when a file was opened, otherwise the message to
// show: the sentence followed directly by every path tried.
std::optional<std::string> ViewResults(const std::string& resultsPath,
                                       const std::string& temporaryResultsPath,
                                       const std::function<bool(const std::string&)>& open,
                                       const PathEquals& same = EqualIgnoringCase);

// The name Save Results suggests: the results path once the results were saved; before that,
// the document box's text with everything from its last "." cut off, followed by ".htm".
std::string SuggestResultsFileName(const std::string& resultsPath,
                                   const std::string& temporaryResultsPath,
                                   const std::string& documentText,
                                   const PathEquals& same = EqualIgnoringCase);

// Save Results: asks for a path (`choose` gets the suggestion and answers nothing on cancel)
// and copies the temporary results file there, replacing a file that exists. On success
// `resultsPath` becomes the chosen path. Answers the message to show, or nothing.
std::optional<std::string> SaveResults(
    std::string& resultsPath, const std::string& temporaryResultsPath,
    const std::string& documentText,
    const std::function<std::optional<std::string>(const std::string& suggestion)>& choose,
    const std::function<bool(const std::string& from, const std::string& to)>& copy,
    const PathEquals& same = EqualIgnoringCase);
