#include "app/recent_documents.h"

#include <algorithm>

namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::string TrimWhiteSpace(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsWhiteSpace(text[begin]))
        ++begin;
    while (end > begin && IsWhiteSpace(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

void CRecentDocuments::Load(CSettingsStore& store) {
    entries_.clear();
    for (int i = 1; i <= kRecentDocumentCount; ++i) {
        std::string path = store.ReadString(RecentDocumentValueName(i).c_str(), "");
        if (!path.empty()) entries_.push_back(std::move(path));
    }
}

bool CRecentDocuments::Add(std::string_view path) {
    std::string trimmed = TrimWhiteSpace(path);
    if (trimmed.empty()) return false;
    // Only the first equal entry goes, as a list built here never holds two.
    const auto same = std::find_if(entries_.begin(), entries_.end(),
                                   [&](const std::string& e) { return equals_(e, trimmed); });
    if (same != entries_.end()) entries_.erase(same);
    while (entries_.size() > static_cast<std::size_t>(kRecentDocumentCount - 1))
        entries_.pop_back();
    entries_.insert(entries_.begin(), std::move(trimmed));
    return true;
}

void CRecentDocuments::Store(CSettingsStore& store) const {
    for (int i = 1; i <= kRecentDocumentCount; ++i) {
        const std::size_t index = static_cast<std::size_t>(i - 1);
        store.WriteString(RecentDocumentValueName(i).c_str(),
                          index < entries_.size() ? entries_[index] : std::string());
    }
}
