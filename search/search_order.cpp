#include "search/find_sequences.h"

#include <algorithm>

KeywordList MakeSearchOrder(const KeywordList& keywords) {
    KeywordList order = keywords;
    std::stable_sort(order.begin(), order.end(), [](const std::string& a, const std::string& b) {
        return a.size() > b.size();
    });
    for (std::string& keyword : order) {
        for (char& c : keyword)
            c = ToUpperAscii(c);
    }
    return order;
}
