// Whether a writer's and a reader's partitions meet, as Cyclone DDS decides it. The default
// partition is the empty name; an empty list stands for it. A name holding '*' or '?' is a
// pattern; Cyclone knows no other pattern characters, so '[' and '\' are plain characters
// (a POSIX fnmatch() pattern would treat them as a set and an escape). Two patterns never
// meet, not even equal ones. Names compare byte by byte.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class PartitionMatch
{
public:
    // At least one name of one list meets one name of the other.
    static bool listsMeet(const std::vector<std::string>& writer,
                          const std::vector<std::string>& reader);

    // Two names meet when they are equal and neither is a pattern, or when one is a pattern
    // that matches the other, which is not.
    static bool namesMeet(std::string_view a, std::string_view b);

    static bool isPattern(std::string_view name);

    // '*' matches any run of bytes, '?' any one byte, everything else itself.
    static bool patternMatches(std::string_view pattern, std::string_view name);

private:
    static bool meetsDefault(const std::vector<std::string>& names);
};
