// Stops a search before the page it writes leaves its file system without room: a search with
// very many results would otherwise fill the disk.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "search/result_sink.h"

// The room a page must leave on its file system: 1 GiB or 5 % of the file system's size,
// whichever is larger.
std::uint64_t LeastFreeSpace(std::uint64_t fileSystemSize);

// Passes every call on to the sink it wraps (the page's writer) and asks `freeSpace` how much
// room is left at every Progress and after every kResultsBetweenChecks results. Once less than
// LeastFreeSpace is left, it drops further results and answers the next Progress with false,
// so that the search ends as a canceled one: the page gets its canceled note and footer. On a
// file system that has less than that free already when the search begins, the page may take
// half of what is free then, so that a small page can still be written there.
class CFreeSpaceGuard : public CResultSink {
  public:
    // Answers the bytes still free and the file system's size; false when unknown (then the
    // search goes on).
    using FreeSpaceQuery = std::function<bool(std::uint64_t& available, std::uint64_t& size)>;

    static constexpr std::int64_t kResultsBetweenChecks = 256;

    CFreeSpaceGuard(CResultSink& inner, FreeSpaceQuery freeSpace);

    bool Begin(std::string& errorText) override;
    bool AddResult(const char* text, std::int32_t first, std::int32_t last, std::int32_t columns,
                   const ResultPositions& positions) override;
    bool End(bool canceled) override { return inner_.End(canceled || stopped_); }
    bool Progress(std::int32_t position, std::int32_t total) override;

    // Whether the guard stopped the search, and the figures it stopped at.
    bool Stopped() const { return stopped_; }
    std::uint64_t Available() const { return available_; }
    std::uint64_t Least() const { return least_; }

  private:
    // Asks the file system; sets stopped_ when too little is left.
    void Check();

    CResultSink& inner_;
    FreeSpaceQuery freeSpace_;
    std::int64_t sinceCheck_ = 0;
    bool started_ = false;  // the first figures were read
    bool stopped_ = false;
    std::uint64_t available_ = 0;
    std::uint64_t least_ = 0;  // the least free space the page leaves
};
