// Raw text of unknown encoding into UTF-8: whatever the bytes, the result is valid UTF-8, and
// text that already is valid UTF-8 (up to its first zero byte) comes back unchanged.
#include "FuzzCheck.h"
#include "ParticipantSysInfo.h"
#include "Utf8Check.h"

#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string text = toUtf8Text(bytes, size);
    fuzzCheck(isStrictUtf8(text.data(), text.size()), "toUtf8Text returned invalid UTF-8");

    std::string terminated(bytes, strnlen(bytes, size));
    // U+FFFD in the input is taken for a decoding failure and sends the text down the other
    // encodings, so such text is not expected back as it stands.
    const bool plainUtf8 = isStrictUtf8(terminated.data(), terminated.size()) &&
                           terminated.find("\xef\xbf\xbd") == std::string::npos;
    // The UTF-8 decoder drops a leading byte-order mark: it marks the encoding, it is not text.
    if (terminated.compare(0, 3, "\xef\xbb\xbf") == 0) {
        terminated.erase(0, 3);
    }
    if (plainUtf8 && !terminated.empty()) {
        fuzzCheck(text == terminated, "valid UTF-8 was not returned unchanged");
    }
    return 0;
}
