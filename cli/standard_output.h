// The tool's one writer of standard output.
//
// On a terminal every Write goes out at once, as a person reads along. To a file or a pipe the
// stream gathers large blocks, as grep and ripgrep write theirs: a block goes out when it is
// full, at Flush, before the tool asks a question and before it says something on standard
// error (so that the two streams keep their order where they meet, as in `2>&1`). The blocks
// are the stream's own buffer, so whatever else writes to the same stream stays in order.
// Write and Flush are called from one thread at a time.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

class CStandardOutput {
  public:
    // Writes through `out`. With a `block` (of `blockSize` bytes, which must outlive every use of
    // the stream, and given before anything is written to it) the stream gathers its blocks
    // there; without one every Write is flushed at once.
    CStandardOutput(std::FILE* out, char* block, std::size_t blockSize);
    ~CStandardOutput();
    CStandardOutput(const CStandardOutput&) = delete;
    CStandardOutput& operator=(const CStandardOutput&) = delete;

    // Adds `text`. False once the stream has refused something (closed, full).
    bool Write(std::string_view text);
    // Writes what the stream holds. False when the stream refused it, now or before.
    bool Flush();
    // The stream refused something.
    bool Failed() const;
    // Text may wait in the stream until its block is full.
    bool Buffered() const { return buffered_; }
    std::FILE* Stream() const { return out_; }

  private:
    std::FILE* out_;
    bool buffered_;
};

// The size of the blocks standard output gathers when it is no terminal.
constexpr std::size_t kStandardOutputBlock = std::size_t{1} << 18;

// The process's standard output: in blocks of kStandardOutputBlock when it is not a terminal.
// The first call sets the stream up, so it comes before anything is written to standard output.
CStandardOutput& StandardOutput();
