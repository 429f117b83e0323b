#include "python/keyword_options.h"

#include <algorithm>
#include <string_view>

namespace py = pybind11;

namespace {

// The tool's name of a keyword: --max-skip for max_skip.
std::string OptionName(std::string keyword) {
    std::replace(keyword.begin(), keyword.end(), '_', '-');
    return "--" + keyword;
}

// The option row of `option` in the tool's table, and whether it takes a value.
const OptionRow* FindOptionRow(const std::string& option, bool& takesValue) {
    for (const OptionRow& row : ToolOptionRows()) {
        std::string_view label = row.label;
        bool named = false;
        takesValue = false;
        while (!label.empty()) {
            const std::size_t end = label.find_first_of(", ");
            const std::string_view word = label.substr(0, end);
            if (!word.empty() && word[0] == '-') {
                named = named || word == option;
            } else if (!word.empty()) {
                takesValue = true;
            }
            label = end == std::string_view::npos ? std::string_view() : label.substr(end + 1);
        }
        if (named) return &row;
    }
    return nullptr;
}

}  // namespace

void ReadKeywordOptions(const KeywordCall& call, const py::kwargs& keywords,
                        const std::vector<std::string>& operands, ToolOptions& options) {
    std::vector<std::string> arguments;
    if (*call.command != '\0') arguments.emplace_back(call.command);
    arguments.insert(arguments.end(), call.fixed.begin(), call.fixed.end());
    for (const auto& [key, value] : keywords) {
        const std::string keyword = py::cast<std::string>(key);
        const bool known = std::any_of(call.keywords.begin(), call.keywords.end(),
                                       [&](const char* name) { return keyword == name; });
        if (!known) {
            throw py::type_error(std::string(call.name) +
                                 "() got an unexpected keyword argument '" + keyword + "'");
        }
        if (value.is_none()) continue;
        // reverse=False is the tool's --no-reverse.
        const std::string option = keyword == "reverse" ? "--no-reverse" : OptionName(keyword);
        bool takesValue = false;
        if (FindOptionRow(option, takesValue) == nullptr)
            throw py::type_error(std::string(call.name) + "(): the tool has no option " + option);
        if (!takesValue) {
            if (!py::isinstance<py::bool_>(value))
                throw py::type_error(keyword + " takes True or False");
            if (py::cast<bool>(value) != (keyword == "reverse")) arguments.push_back(option);
            continue;
        }
        if (py::isinstance<py::bool_>(value) || py::isinstance<py::float_>(value))
            throw py::type_error(keyword + " takes an integer or a string, not " +
                                 std::string(py::str(py::type::of(value).attr("__name__"))));
        arguments.push_back(option + "=" + std::string(py::str(value)));
    }
    arguments.emplace_back("--");
    arguments.insert(arguments.end(), operands.begin(), operands.end());
    const ParsedCommandLine parsed = ParseToolArguments(arguments, options);
    if (parsed.outcome != ParseOutcome::Run) throw py::value_error(parsed.error);
}
