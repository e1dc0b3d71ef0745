// The menu settings file reader: it never crashes, hands out the first four bytes as the version
// whenever there are four, and an accepted file writes a text that reads back the same.
#include "MenuSettingsFile.h"

#include <cstdlib>
#include <string>

using namespace tavrel::files;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string version = "unset";
    auto block = parseMenuSettingsFile(text, &version);
    if (size < 4) {
        if (block || version != "unset") {
            std::abort();
        }
        return 0;
    }
    if (version != text.substr(0, 4)) {
        std::abort();
    }
    if (!block) {
        return 0;
    }
    std::string written;
    std::string versionAgain;
    if (!formatMenuSettingsFile(version, *block, &written)) {
        std::abort();
    }
    auto again = parseMenuSettingsFile(written, &versionAgain);
    if (!again || *again != *block || versionAgain != version) {
        std::abort();
    }
    return 0;
}
