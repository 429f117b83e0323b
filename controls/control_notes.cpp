#include "controls/control_notes.h"

#include <algorithm>
#include <cstdint>

#include "controls/statistics.h"

namespace {

// Lenient: a byte that starts no UTF-8 sequence is a letter of its own.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

std::string PlainWordNote(const ControlRun& run) {
    const std::string count = std::to_string(run.plainWordResults);
    return count + " of the " + std::to_string(run.real.results) +
           " real results hold a keyword at skip +1 or -1, as plain text; --min-skip 2 leaves " +
           (run.plainWordResults == 1 ? "it" : "them") + " out.";
}

std::string SpanCapNote(const std::string& keyword, std::int64_t cap,
                        const SearchSettings& settings) {
    return "--span " + std::to_string(settings.MaxResultLength) + " caps the skip of " + keyword +
           " at " + std::to_string(cap) + ", below --max-skip " +
           std::to_string(settings.MaxDistanceBetweenLetters) + ".";
}

std::string PalindromeNote(const std::string& keyword) {
    return keyword +
           " reads the same both ways: each of its finds is counted once in each direction.";
}

}  // namespace

std::u32string KeywordLetters(const std::string& spelled) {
    std::u32string letters;
    for (std::size_t at = 0; at < spelled.size();) {
        const auto lead = static_cast<unsigned char>(spelled[at]);
        std::size_t length = SequenceLength(lead);
        if (at + length > spelled.size()) length = 1;
        char32_t letter = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i)
            letter = (letter << 6) | (static_cast<unsigned char>(spelled[at + i]) & 0x3F);
        if (letter >= 'a' && letter <= 'z') letter -= 'a' - 'A';
        letters.push_back(letter);
        at += length;
    }
    return letters;
}

std::vector<std::string> ControlReportNotes(const ControlRun& run) {
    std::vector<std::string> notes = run.leftOutNotes;
    const SearchSettings& settings = run.settings;
    if (run.plainWordResults > 0) notes.push_back(PlainWordNote(run));
    for (const std::string& keyword : run.keywords) {
        const auto letters = static_cast<std::int64_t>(KeywordLetters(keyword).size());
        if (letters < 2) continue;
        const std::int64_t cap = GreatestSkip(letters, settings);
        if (cap < settings.MaxDistanceBetweenLetters)
            notes.push_back(SpanCapNote(keyword, cap, settings));
    }
    if (settings.AllowReverseKeywords) {
        for (const std::string& keyword : run.keywords) {
            const std::u32string letters = KeywordLetters(keyword);
            if (letters.size() >= 2 && std::equal(letters.begin(), letters.end(), letters.rbegin()))
                notes.push_back(PalindromeNote(keyword));
        }
    }
    notes.push_back(
        "Every keyword, setting and document tried is another test: when several were tried, "
        "correct the p-values for multiple tests (for example, multiply the smallest by their "
        "number).");
    notes.push_back(
        "Runs with the same seed share their control texts, so their p-values are not "
        "independent: give each run its own --seed.");
    return notes;
}
