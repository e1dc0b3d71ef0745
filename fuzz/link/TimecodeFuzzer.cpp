// The timecode parser against the two patterns that define its language, and the round trip of
// every accepted text.
#include "RegisterTimeText.h"

#include <cstdlib>
#include <cstring>
#include <regex.h>
#include <string>

using namespace tavrel::records;

namespace {

bool patternsAccept(const std::string& text) {
    static regex_t null, time;
    static bool compiled = [] {
        regcomp(&null, "^\\*\\*:\\*\\*:\\*\\*\\([:;]\\)\\*\\*$", 0);
        regcomp(&time,
                "^\\([0-9][0-9]\\):\\([0-9][0-9]\\):\\([0-9][0-9]\\)\\([:;]\\)\\([0-9][0-9]\\)$",
                0);
        return true;
    }();
    (void)compiled;
    return regexec(&null, text.c_str(), 0, nullptr, 0) == 0 ||
           regexec(&time, text.c_str(), 0, nullptr, 0) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    VRG500_registerTime parsed;
    bool accepted = parseRegisterTimeText(&parsed, text);
    // Texts with a NUL byte are compared up to it by the patterns; the parser takes the whole text.
    if (std::memchr(data, 0, size) == nullptr && accepted != patternsAccept(text)) {
        std::abort();
    }
    if (accepted && stringForRegisterTime(parsed) != text) {
        std::abort();
    }
    return 0;
}
