#include "cli/standard_output.h"

#include "cli/console.h"

CStandardOutput::CStandardOutput(std::FILE* out, std::size_t blockSize)
    : out_(out), blockSize_(blockSize) {
    block_.reserve(blockSize_);
}

CStandardOutput::~CStandardOutput() {
    Flush();
}

bool CStandardOutput::WriteThrough(std::string_view text) {
    if (failed_) return false;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), out_) != text.size())
        failed_ = true;
    if (std::fflush(out_) != 0 || std::ferror(out_)) failed_ = true;
    return !failed_;
}

bool CStandardOutput::Write(std::string_view text) {
    if (failed_) return false;
    if (!Buffered()) return WriteThrough(text);
    if (block_.size() + text.size() <= blockSize_) {
        block_.append(text);
        return true;
    }
    if (!Flush()) return false;
    if (text.size() >= blockSize_) return WriteThrough(text);
    block_.append(text);
    return true;
}

bool CStandardOutput::Flush() {
    const bool written = WriteThrough(block_);
    block_.clear();
    return written;
}

CStandardOutput& StandardOutput() {
    static CStandardOutput output(stdout, IsOutputTerminal() ? 0 : kStandardOutputBlock);
    return output;
}
