// Runs the controls of a search on every core.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "common/work_items.h"
#include "controls/control_cases.h"
#include "controls/statistics.h"

// What every control of a run starts from. The text and the word lengths must outlive the run.
struct ControlInput {
    const std::string& text;  // the normalised document
    const KeywordList& keywords;
    SearchSettings settings;
    // WordLengths of the document; needed for ControlKind::Words only.
    const std::vector<std::int32_t>* wordLengths = nullptr;
};

struct ControlRunOptions {
    ControlKind kind = ControlKind::Letters;
    std::uint64_t seed = 0;
    // 0: one thread per core.
    unsigned threads = 0;
    // Told after every control, in controls.
    CWorkReceiver* receiver = nullptr;
    // When set, no further control is started; the running ones are finished.
    const std::atomic<bool>* stop = nullptr;
};

// Runs the controls numbered `indexes` (each from ControlStream(seed, index), so any subset of a
// run's controls gives the same figures as the whole run) and answers their statistics in the
// order of `indexes`. After a stop, the answer holds the controls done: always the first ones of
// `indexes`, since controls are started in that order and the running ones are finished.
std::vector<SearchStatistics> RunControls(const ControlInput& input,
                                          const std::vector<std::int64_t>& indexes,
                                          const ControlRunOptions& options);

// 0, 1, ... count - 1.
std::vector<std::int64_t> AllControls(std::int64_t count);
