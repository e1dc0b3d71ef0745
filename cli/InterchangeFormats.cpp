#include "InterchangeFormats.h"

#include "RegisterCsv.h"
#include "RegisterJson.h"

#include <algorithm>

namespace tavrel::cli {

using files::RegisterCollection;
using records::TavrelError;

namespace {

const std::vector<InterchangeFormat>& formats() {
    static const std::vector<InterchangeFormat> table = {
        {"csv",
         {},
         {},
         nullptr,
         [](const CommandLine&, const std::string& path, const RegisterCollection& registers,
            TavrelError* error,
            bool* inPlace) { return files::writeRegisterCsv(path, registers, error, inPlace); },
         [](const CommandLine&, const std::string& path, RegisterCollection* registers,
            TavrelError* error) { return files::readRegisterCsv(path, registers, error); }},
        {"json",
         {},
         {},
         nullptr,
         [](const CommandLine&, const std::string& path, const RegisterCollection& registers,
            TavrelError* error,
            bool* inPlace) { return files::writeRegisterJson(path, registers, error, inPlace); },
         [](const CommandLine&, const std::string& path, RegisterCollection* registers,
            TavrelError* error) { return files::readRegisterJson(path, registers, error); }},
        {"edl",
         {"--frame-rate", "--record-start"},
         {"--first-register"},
         nullptr,
         nullptr,
         nullptr},
    };
    return table;
}

std::string formatNames() {
    std::string names;
    const auto& table = formats();
    for (size_t i = 0; i < table.size(); ++i) {
        names += i == 0 ? "" : i + 1 == table.size() ? " or " : ", ";
        names += table[i].name;
    }
    return names;
}

// The value of the option of long name `name`, when given.
const std::optional<std::string>& optionValue(const CommandLine& line, const std::string& name) {
    static const std::optional<std::string> none;
    if (name == "--frame-rate") {
        return line.frameRate;
    }
    if (name == "--record-start") {
        return line.recordStart;
    }
    return name == "--first-register" ? line.firstRegister : none;
}

} // namespace

const std::vector<InterchangeFormat>& interchangeFormats() {
    return formats();
}

const InterchangeFormat* chosenFormat(const CommandLine& line, bool exporting,
                                      std::string* problem) {
    if (!line.format) {
        *problem = "the " + line.command + " command needs a format (-f " + formatNames() + ")";
        return nullptr;
    }
    const auto& table = formats();
    const auto found = std::find_if(table.begin(), table.end(), [&](const InterchangeFormat& f) {
        return *line.format == f.name;
    });
    if (found == table.end()) {
        *problem = "unknown format '" + *line.format + "': use " + formatNames();
        return nullptr;
    }
    // Options that some format alone takes: each given one must be the chosen format's.
    for (const InterchangeFormat& other : table) {
        for (const char* name : exporting ? other.exportOptions : other.importOptions) {
            const auto& own = exporting ? found->exportOptions : found->importOptions;
            if (optionValue(line, name) &&
                std::find(own.begin(), own.end(), std::string(name)) == own.end()) {
                *problem = std::string("option '") + name + "' is for -f " + other.name + " only";
                return nullptr;
            }
        }
    }
    if (!(exporting ? found->write != nullptr : found->read != nullptr)) {
        *problem = "the " + std::string(found->name) + " format is not available yet";
        return nullptr;
    }
    if (found->checkOptions && !found->checkOptions(line, problem)) {
        return nullptr;
    }
    return &*found;
}

std::string inputPath(const std::string& operand) {
    return operand == "-" ? "/dev/stdin" : operand;
}

} // namespace tavrel::cli
