// The edit decision list reader: it never crashes, a refused text leaves the collection exactly as
// it was, reading the text a piece at a time gives the same result (and the same fault) as
// reading it whole, and registers it read that a list can carry whole are written as a list that
// reads back to the same registers.
#include "EditDecisionListExport.h"
#include "EditDecisionListImport.h"
#include "EditDecisionListReader.h"
#include "RegisterInterchangeFuzz.h"

#include <algorithm>
#include <cstdlib>
#include <string>

using namespace tavrel::files;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const RegisterCollection before = fuzzing::sentinel();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const int32_t firstRegister = size > 0 ? data[0] * 300 : 0;
    RegisterCollection registers = before;
    std::string fault;
    const bool accepted = parseEditDecisionList(text, &registers, &fault, firstRegister);
    if (!accepted && !(registers == before)) {
        std::abort();
    }
    const size_t step = size > 1 ? data[1] % 16 + 1 : 1;
    EdlReader pieces(firstRegister);
    bool taken = true;
    for (size_t at = 0; taken && at < size; at += step) {
        taken = pieces.take(text.substr(at, std::min(step, size - at)));
    }
    RegisterCollection piecewise;
    if ((taken && pieces.finish(&piecewise)) != accepted ||
        (accepted ? !(piecewise == registers) : pieces.fault() != fault)) {
        std::abort();
    }
    EdlExportSettings settings;
    settings.frameRate = EdlFrameRate::Fps30;
    if (!accepted || !editDecisionListRefusals(registers, settings).empty()) {
        return 0;
    }
    std::string written;
    RegisterCollection again;
    if (!formatEditDecisionList(registers, settings, &written) ||
        !parseEditDecisionList(written, &again) || !(again == registers)) {
        std::abort();
    }
    return 0;
}
