#include "PartitionMatch.h"

bool PartitionMatch::listsMeet(const std::vector<std::string>& writer,
                               const std::vector<std::string>& reader)
{
    if (writer.empty()) {
        return meetsDefault(reader);
    }
    if (reader.empty()) {
        return meetsDefault(writer);
    }
    for (const std::string& w : writer) {
        for (const std::string& r : reader) {
            if (namesMeet(w, r)) {
                return true;
            }
        }
    }
    return false;
}

bool PartitionMatch::meetsDefault(const std::vector<std::string>& names)
{
    if (names.empty()) {
        return true;
    }
    for (const std::string& name : names) {
        if (namesMeet(name, std::string_view())) {
            return true;
        }
    }
    return false;
}

bool PartitionMatch::namesMeet(std::string_view a, std::string_view b)
{
    const bool aPattern = isPattern(a);
    const bool bPattern = isPattern(b);
    if (aPattern && bPattern) {
        return false;
    }
    if (aPattern) {
        return patternMatches(a, b);
    }
    if (bPattern) {
        return patternMatches(b, a);
    }
    return a == b;
}

bool PartitionMatch::isPattern(std::string_view name)
{
    return name.find_first_of("*?") != std::string_view::npos;
}

bool PartitionMatch::patternMatches(std::string_view pattern, std::string_view name)
{
    // Greedy with one backtrack point: on a mismatch the last '*' takes one byte more. Linear
    // in practice and never recursive, whatever a peer announces.
    size_t p = 0;
    size_t n = 0;
    size_t star = std::string_view::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}
