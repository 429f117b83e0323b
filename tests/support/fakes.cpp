#include "tests/support/fakes.h"

#include <atomic>
#include <chrono>

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
