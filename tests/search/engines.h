// Every engine that must behave like the literal search, for parameterised tests.
#pragma once

#include <string>

#include "search/find_sequences.h"

using SearchFunction = bool (*)(const char*, std::int32_t, const KeywordList&,
                                const SearchSettings&, CResultSink&, std::string&, CTickClock&);

struct Engine {
    const char* name;
    SearchFunction search;
};

inline const Engine kEngines[] = {
    {"Literal", &FindSequencesLiteral},
    {"Indexed", &FindSequences},
};

inline std::string EngineName(const testing::TestParamInfo<Engine>& info) {
    return info.param.name;
}

inline void PrintTo(const Engine& engine, std::ostream* os) {
    *os << engine.name;
}
