// libFuzzer target: any bytes given to the partial reader and the merge. A crash, a hang or a
// partial that reads back differently from what was written again is a failure.
//
// Input: the files to merge, separated by the byte 0x1e (record separator); a seed corpus of
// real partials lets the fuzzer reach the checks behind the JSON syntax.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "controls/control_partial.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    CPartialMerger merger;
    std::size_t start = 0;
    int fileNumber = 0;
    bool merging = true;
    while (start <= input.size()) {
        std::size_t end = input.find('\x1e', start);
        if (end == std::string_view::npos) end = input.size();
        const std::string_view text = input.substr(start, end - start);

        ControlPartial partial;
        std::string problem;
        if (ReadControlPartial(text, partial, problem)) {
            // What the reader accepts, the writer gives back unchanged.
            const std::string written = WriteControlPartial(partial);
            ControlPartial again;
            if (!ReadControlPartial(written, again, problem) ||
                WriteControlPartial(again) != written)
                std::abort();
        } else if (problem.empty()) {
            std::abort();
        }
        std::string message;
        if (merging) {
            merging = merger.Add("part-" + std::to_string(fileNumber), text, message);
            if (!merging && message.empty()) std::abort();
        }
        ++fileNumber;
        start = end + 1;
    }
    if (merging) {
        ControlRun merged;
        std::string message;
        if (merger.Finish(merged, message)) {
            if (static_cast<std::int64_t>(merged.controls.size()) != merged.total) std::abort();
        } else if (message.empty()) {
            std::abort();
        }
    }
    return 0;
}
