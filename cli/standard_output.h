// The tool's one writer of standard output.
//
// On a terminal every Write goes out at once, as a person reads along. To a file or a pipe the
// text gathers into large blocks, as grep and ripgrep write theirs, and a block goes out when it
// is full, at Flush, before the tool asks a question and before it says something on standard
// error (so that the two streams keep their order where they meet, as in `2>&1`). Write and
// Flush are called from one thread at a time.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

class CStandardOutput {
  public:
    // Writes through `out`; a `blockSize` of 0 writes every Write through at once.
    CStandardOutput(std::FILE* out, std::size_t blockSize);
    ~CStandardOutput();
    CStandardOutput(const CStandardOutput&) = delete;
    CStandardOutput& operator=(const CStandardOutput&) = delete;

    // Adds `text`. False once the stream has refused something (closed, full): from then on
    // nothing more is written.
    bool Write(std::string_view text);
    // Writes what the writer holds and flushes the stream. False when the stream refused it,
    // now or before.
    bool Flush();
    // The stream refused something.
    bool Failed() const { return failed_; }
    bool Buffered() const { return blockSize_ > 0; }

  private:
    bool WriteThrough(std::string_view text);

    std::FILE* out_;
    std::size_t blockSize_;
    std::string block_;
    bool failed_ = false;
};

// The size of the blocks standard output gathers when it is no terminal.
constexpr std::size_t kStandardOutputBlock = std::size_t{1} << 18;

// The process's standard output: in blocks of kStandardOutputBlock when it is not a terminal.
CStandardOutput& StandardOutput();
