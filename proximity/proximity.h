// Word-pair proximity: how close two words stand as equidistant letter sequences in one text,
// measured by the corrected distance c(w, w') of their perturbed families.
//
// The text is one byte per letter (the letter codes of CAlphabet::MapDocument); words are code
// strings (CAlphabet::ReadKeywords). Positions count letters from 0.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ProximitySettings {
    // Expected number of sequences that decides the skip limit.
    double expectedEls = 10.0;
    // Words of fewer or more letters are left out.
    int minLetters = 5;
    int maxLetters = 8;
    // Added to every delta; must be at least kLowestDeltaConstant.
    int deltaConstant = 0;
    // The fewest valid triples for which c is defined.
    int minTriples = 10;
};

// Two sequences that share a letter at the skip's own row length give delta = 2 + constant, so
// a constant below -1 would divide by zero or by a negative number: CheckProximitySettings
// refuses it.
constexpr int kLowestDeltaConstant = -1;

// The shortest and the longest word the families are found for (the last three letters of a
// word are perturbed).
constexpr int kFewestLetters = 4;
constexpr int kMostLetters = 64;

// Empty when the settings can be used; otherwise what is wrong, as a sentence.
std::string CheckProximitySettings(const ProximitySettings& settings);

// The perturbations (x, y, z) of the last three letters, each -2..2.
constexpr int kTripleCount = 125;
constexpr int kIdentityTriple = 62;  // (0,0,0)
struct Triple {
    int x, y, z;
};
// index = (x+2)*25 + (y+2)*5 + (z+2): x, then y, then z, each -2..2.
Triple TripleAt(int index);
int TripleIndex(const Triple& triple);

// A sequence by its unperturbed start and skip.
struct Els {
    std::int32_t start;
    std::int32_t skip;
};

// A member of a family, with its domain of minimality: the open interval (low, high), when it
// has one.
struct FamilyMember {
    Els els;
    bool hasDomain;
    std::int32_t low, high;
};

// The letters of a text and each letter's share of it; built once per document.
class CProximityText {
  public:
    explicit CProximityText(std::string letters);

    std::string_view Letters() const { return letters_; }
    std::int32_t Length() const { return static_cast<std::int32_t>(letters_.size()); }
    // How often `code` occurs, and that count over the length (0 in an empty text).
    std::int32_t Count(char code) const;
    double Share(char code) const;
    // The positions of `code`, ascending.
    const std::vector<std::int32_t>& Positions(char code) const;

  private:
    std::string letters_;
    std::array<std::vector<std::int32_t>, 256> positions_;
};

// Why a word takes no part, or Fits.
enum class WordFit { Fits, TooShort, TooLong };
WordFit CheckWord(std::string_view word, const ProximitySettings& settings);
// Empty for a word that fits; otherwise e.g. "has 4 letters, fewer than 5" for the caller to
// print after the word.
std::string WordFitReason(std::string_view word, const ProximitySettings& settings);

// The skip limit D(w): the smallest D >= 2 whose expected number of sequences of the word with
// 2 <= |d| <= D reaches settings.expectedEls, else the largest skip that fits a sequence of the
// word into the text, floor((L - 1) / (k - 1)).
std::int32_t SkipLimit(const CProximityText& text, std::string_view word,
                       const ProximitySettings& settings);

// What one member of a family brings to the distance sums: its row lengths and what depends on
// them alone. Filled for members with a domain only.
struct MemberRows {
    std::int32_t count = 0;                  // row lengths (at most 10)
    std::array<std::int32_t, 10> rows{};     // h_i, in the order i = 1..10
    std::array<std::int32_t, 10> ownDist{};  // dist2(|d|, h_i)
};

// Everything about one word that does not depend on its partner.
struct WordFamilies {
    std::string word;
    std::int32_t skipLimit = 0;
    std::int32_t textLength = 0;
    // Every member of each family, ordered by |skip|, then by the lower end of the extension,
    // then by skip.
    std::array<std::vector<FamilyMember>, kTripleCount> families;
    // rows[t][i] belongs to families[t][i].
    std::array<std::vector<MemberRows>, kTripleCount> rows;
};

// The word must fit the settings (CheckWord) and the settings must pass CheckProximitySettings.
WordFamilies FindFamilies(const CProximityText& text, std::string_view word,
                          const ProximitySettings& settings);

struct PairResult {
    std::int32_t skipLimit1 = 0, skipLimit2 = 0;
    int validTriples = 0;  // m
    int rank = 0;          // v (0 when c is undefined)
    bool defined = false;
    double c = 0;  // v / m when defined
    // Omega_t for every t in M (both families non-empty), nullopt for the others.
    std::array<std::optional<double>, kTripleCount> omega;
};

// Omega_t adds its terms in the families' order, the members of `first` outside, so the same
// inputs give the same bits on every run and thread.
PairResult CorrectedDistance(const CProximityText& text, const WordFamilies& first,
                             const WordFamilies& second, const ProximitySettings& settings);

// The pieces of the definitions, for tests and for the report's grids.
// dist2(delta, h) on a cylinder of row length h >= 1, delta >= 0.
std::int64_t CylinderDistance2(std::int64_t delta, std::int64_t h);
// The row lengths of skip d: |d|/i rounded half up for i = 1..10, those below 1 left out.
std::vector<std::int32_t> RowLengths(std::int32_t skip);
