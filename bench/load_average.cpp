#include "bench/load_average.h"

#include <cstdio>

std::string LoadAverage() {
    char buffer[64] = "unknown";
    if (FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(buffer, sizeof buffer, file))
            std::snprintf(buffer, sizeof buffer, "unknown");
        std::fclose(file);
    }
    std::string load = buffer;
    return load.substr(0, load.find('\n'));
}
