// Whole files as bytes, for tests that prepare inputs and read back what the code wrote.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The whole contents of a file; empty when it cannot be read.
inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// Replaces the file with exactly these bytes.
inline void WriteWholeFile(const std::filesystem::path& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}
