// Text in an HTML page: the one escaper every page of the program goes through.
#pragma once

#include <string>
#include <string_view>

// `text` with &, <, > and " escaped, for an element's content or a quoted attribute.
std::string HtmlEscape(std::string_view text);
