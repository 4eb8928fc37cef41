// Splitting of the compact option texts of the peer tools ("a=1;b=2", "A|B", "1:keep_last:3"),
// where a backslash makes the next character literal so values may contain the separators.
#pragma once

#include <string>
#include <vector>

namespace peerkit {

// Splits `text` at every `separator` not preceded by a backslash. The pieces keep their
// escapes so that they can be split again at another separator. Returns false when the text
// ends in a lone backslash.
bool splitEscaped(const std::string& text, char separator, std::vector<std::string>& pieces);

// Removes the escaping backslashes ("\;" -> ";", "\\" -> "\").
std::string unescape(const std::string& text);

// Removes leading and trailing blanks (space, tab).
std::string trimmed(const std::string& text);

} // namespace peerkit
