// The machine's load average, printed beside timings: other work on the machine slows every row.
#pragma once

#include <string>

// The first line of /proc/loadavg without its newline, or "unknown" where there is none.
std::string LoadAverage();
