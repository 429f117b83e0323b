// libFuzzer target: any bytes given to the partial readers and the merges, of control runs and of
// proximity runs alike. A crash, a hang or a partial that reads back differently from what was
// written again is a failure.
//
// Input: the files to merge, separated by the byte 0x1e (record separator). The first file's
// "format" picks the merge, as `strandix merge` does; a seed corpus of real partials of both
// kinds lets the fuzzer reach the checks behind the JSON syntax.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "common/partial_file.h"
#include "controls/control_partial.h"
#include "proximity/proximity_partial.h"

namespace {

// What a reader accepts, its writer gives back unchanged; a refusal always says why.
void CheckRoundTrip(std::string_view text) {
    std::string problem;
    ControlPartial control;
    if (ReadControlPartial(text, control, problem)) {
        const std::string written = WriteControlPartial(control);
        ControlPartial again;
        if (!ReadControlPartial(written, again, problem) || WriteControlPartial(again) != written)
            std::abort();
    } else if (problem.empty()) {
        std::abort();
    }
    problem.clear();
    ProximityPartial proximity;
    if (ReadProximityPartial(text, proximity, problem)) {
        const std::string written = WriteProximityPartial(proximity);
        ProximityPartial again;
        if (!ReadProximityPartial(written, again, problem) ||
            WriteProximityPartial(again) != written)
            std::abort();
    } else if (problem.empty()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    CPartialMerger controls;
    CProximityMerger proximity;
    std::optional<PartialKind> kind;
    std::size_t start = 0;
    int fileNumber = 0;
    bool merging = true;
    while (start <= input.size()) {
        std::size_t end = input.find('\x1e', start);
        if (end == std::string_view::npos) end = input.size();
        const std::string_view text = input.substr(start, end - start);
        CheckRoundTrip(text);

        PartialKind fileKind = PartialKind::Controls;
        std::string message;
        if (!FindPartialKind(text, fileKind, message)) {
            if (message.empty()) std::abort();
            merging = false;
        }
        if (merging && !kind) kind = fileKind;
        if (merging && fileKind != *kind) merging = false;
        if (merging) {
            const std::string name = "part-" + std::to_string(fileNumber);
            merging = fileKind == PartialKind::Controls ? controls.Add(name, text, message)
                                                        : proximity.Add(name, text, message);
            if (!merging && message.empty()) std::abort();
        }
        ++fileNumber;
        start = end + 1;
    }
    if (merging && kind == PartialKind::Controls) {
        ControlRun merged;
        std::string message;
        if (controls.Finish(merged, message)) {
            if (static_cast<std::int64_t>(merged.controls.size()) != merged.total) std::abort();
        } else if (message.empty()) {
            std::abort();
        }
    } else if (merging && kind == PartialKind::Proximity) {
        ProximityRequest request;
        ProximityRows rows;
        std::string message;
        if (proximity.Finish(request, rows, message)) {
            if (rows.cells.size() != request.persons.size() * request.persons.size()) std::abort();
        } else if (message.empty()) {
            std::abort();
        }
    }
    return 0;
}
