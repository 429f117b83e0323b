#include "cli/standard_output.h"

#include "cli/console.h"

CStandardOutput::CStandardOutput(std::FILE* out, char* block, std::size_t blockSize)
    : out_(out), buffered_(block != nullptr && blockSize > 1) {
    if (buffered_ && std::setvbuf(out_, block, _IOFBF, blockSize) != 0) buffered_ = false;
}

CStandardOutput::~CStandardOutput() {
    Flush();
}

bool CStandardOutput::Write(std::string_view text) {
    if (Failed()) return false;
    if (!text.empty()) std::fwrite(text.data(), 1, text.size(), out_);
    return buffered_ ? !Failed() : Flush();
}

bool CStandardOutput::Flush() {
    return std::fflush(out_) == 0 && !Failed();
}

bool CStandardOutput::Failed() const {
    return std::ferror(out_) != 0;
}

CStandardOutput& StandardOutput() {
    // Static storage: the stream may still use its buffer while the program exits.
    static char block[kStandardOutputBlock];
    static CStandardOutput output(stdout, IsOutputTerminal() ? nullptr : block, sizeof block);
    return output;
}
