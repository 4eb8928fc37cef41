// Text from the network made safe to print: announced names are bytes that need not be valid
// UTF-8 and may hold control characters, which a terminal would act on.
#pragma once

#include <cstddef>
#include <string>

namespace PrintableText {

// Length of the valid UTF-8 sequence at `p` (at most `left` bytes), or 0 when none starts
// there: overlong forms, surrogates and code points above U+10FFFF are invalid.
size_t utf8SequenceLength(const unsigned char* p, size_t left);

// The text for a terminal: valid UTF-8 as it is, each invalid byte as U+FFFD, and control
// characters (C0, DEL, C1) as "\xNN" escapes of their code point.
std::string forTerminal(const std::string& text);

} // namespace PrintableText
