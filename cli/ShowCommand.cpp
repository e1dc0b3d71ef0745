// tavrelctl show [--json | --frame-rate RATE] FILE.vg2
#include "CommandSupport.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "InterchangeFormats.h"
#include "MachineDuration.h"
#include "PrintableText.h"
#include "RegisterFile.h"
#include "RegisterJson.h"
#include "RegisterTimeText.h"

#include <cstdio>
#include <iterator>
#include <optional>

namespace tavrel::cli {

using files::readRegisterFile;
using files::RegisterCollection;
using records::DropFrameCount;
using records::FrameRate;
using records::machineDuration;
using records::RegisterEntry;
using records::registerLabel;
using records::stringForRegisterTime;
using records::TavrelError;
using records::VRG500_registerTimes;

namespace {

// The rate durations are counted at: --frame-rate's value.
struct DurationRate {
    FrameRate rate;
    DropFrameCount count;
};

// At 30df every time is counted in drop frame, at 30 a time as it is marked.
DurationRate durationRate(files::EdlFrameRate rate) {
    return {files::edlTimeRate(rate),
            files::edlDropFrame(rate) ? DropFrameCount::Always : DropFrameCount::AsMarked};
}

// " A 00:00:10:00 B -00:00:02:00 C - D -": each machine's duration, "-" where it has none.
std::string durationsText(const RegisterEntry& entry, const DurationRate& rate) {
    std::string text;
    for (size_t machine = 0; machine < std::size(VRG500_registerTimes) / 2; ++machine) {
        const auto duration = machineDuration(entry.reg.*VRG500_registerTimes[2 * machine],
                                              entry.reg.*VRG500_registerTimes[2 * machine + 1],
                                              rate.rate, rate.count);
        text += " ";
        text += static_cast<char>('A' + machine);
        text += " " + (duration.counted() ? duration.text() : "-");
    }
    return text;
}

std::string showLine(int32_t number, const RegisterEntry& entry,
                     const std::optional<DurationRate>& rate) {
    std::string line = registerLabel(number);
    for (auto time : VRG500_registerTimes) {
        line += " " + stringForRegisterTime(entry.reg.*time);
    }
    line += " " + registerLabel(entry.reg.trailingByte1);
    line += " " + registerLabel(entry.reg.trailingByte2);
    // Clip names come from a device through a file: shown escaped, never sent to the terminal
    // as they are.
    for (const auto& clip : entry.clips) {
        line += " " + printableText(clip);
    }
    if (rate) {
        line += durationsText(entry, *rate);
    }
    return line + "\n";
}

} // namespace

ExitStatus runShow(const CommandLine& line) {
    std::string problem;
    if (!expectOperands(line, 1, "a register file (FILE.vg2)", &problem)) {
        return reportUsageError(problem);
    }
    if (line.json && line.frameRate) {
        return reportUsageError("--json and --frame-rate do not go together");
    }
    std::optional<DurationRate> rate;
    if (line.frameRate) {
        const auto chosen = frameRateOption(*line.frameRate, &problem);
        if (!chosen) {
            return reportUsageError(problem);
        }
        rate = durationRate(*chosen);
    }
    RegisterCollection registers;
    TavrelError error;
    if (!readRegisterFile(inputPath(line.operands[0]), &registers, &error)) {
        return reportError(error);
    }
    if (line.json) {
        return writeFileNamed(
            "-", "/dev/stdout", [&](const std::string& path, TavrelError* failure, bool* inPlace) {
                return files::writeRegisterJson(path, registers, failure, inPlace);
            });
    }
    for (const auto& [number, entry] : registers) {
        printBytes(showLine(number, entry, rate));
    }
    return ExitSuccess;
}

} // namespace tavrel::cli
