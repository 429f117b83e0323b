#include "tests/results/fakes.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

CPrivateTempFileSystem::CPrivateTempFileSystem() {
    static std::atomic<int> serial{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    folder_ = std::filesystem::temp_directory_path() /
              ("strandix-results-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(folder_);
}

CPrivateTempFileSystem::~CPrivateTempFileSystem() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool CPrivateTempFileSystem::GetTempFolder(std::string& folder) {
    folder = (folder_ / "").string();
    return true;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}
