// The register file reader: it never crashes, a rejected text leaves the collection exactly as
// it was, and an accepted one writes a text that reads back to the same collection.
#include "RegisterFile.h"

#include <cstdlib>
#include <string>

namespace {

RegisterCollection sentinel() {
    RegisterCollection registers;
    RegisterEntry entry;
    entry.reg.inA.hours = 1;
    entry.reg.outD.isNull = 1;
    entry.reg.trailingByte2 = 12;
    entry.clips[0] = "SHOT0001";
    registers.set(7, entry);
    registers.set(65535, RegisterEntry{});
    return registers;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const RegisterCollection before = sentinel();
    std::string_view text(reinterpret_cast<const char*>(data), size);
    RegisterCollection registers = before;
    if (!parseRegisterFile(text, &registers)) {
        if (!(registers == before)) {
            std::abort();
        }
        return 0;
    }
    std::string written;
    if (!formatRegisterFile(registers, &written)) {
        std::abort();
    }
    RegisterCollection again;
    if (!parseRegisterFile(written, &again) || !(again == registers)) {
        std::abort();
    }
    return 0;
}
