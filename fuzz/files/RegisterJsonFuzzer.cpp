// The JSON register reader (see RegisterInterchangeFuzz.h).
#include "RegisterInterchangeFuzz.h"
#include "RegisterJson.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::checkReader(
        data, size,
        [](tavrel::files::TextInput& input, tavrel::files::RegisterCollection* registers) {
            return tavrel::files::parseRegisterJson(input, registers);
        },
        [](const tavrel::files::RegisterCollection& registers, std::string* text) {
            // Whatever JSON gives, JSON writes back.
            if (!tavrel::files::formatRegisterJson(registers, text)) {
                std::abort();
            }
            return true;
        });
}
