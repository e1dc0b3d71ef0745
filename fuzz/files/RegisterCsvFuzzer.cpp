// The CSV register reader (see RegisterInterchangeFuzz.h).
#include "RegisterCsv.h"
#include "RegisterInterchangeFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::checkReader(
        data, size,
        [](tavrel::files::TextInput& input, tavrel::files::RegisterCollection* registers) {
            return tavrel::files::parseRegisterCsv(input, registers);
        },
        [](const tavrel::files::RegisterCollection& registers, std::string* text) {
            return tavrel::files::formatRegisterCsv(registers, text);
        });
}
