#include "InterchangeFormats.h"

#include "Arguments.h"
#include "CommandSupport.h"
#include "EditDecisionListExport.h"
#include "EditDecisionListImport.h"
#include "RegisterCsv.h"
#include "RegisterFieldInput.h"
#include "RegisterJson.h"

#include <algorithm>

namespace tavrel::cli {

using files::RegisterCollection;
using records::TavrelError;

namespace {

// The name of the input file without its folder, as the list's TITLE gives it; none for standard
// input.
std::string inputFileName(const std::string& operand) {
    if (operand == "-") {
        return {};
    }
    const size_t slash = operand.find_last_of('/');
    return slash == std::string::npos ? operand : operand.substr(slash + 1);
}

// The export settings --frame-rate and --record-start give; none with the problem when a value is
// not one they take. The rate is needed: a list counts its record times at it.
std::optional<files::EdlExportSettings> edlSettings(const CommandLine& line, std::string* problem) {
    if (!line.frameRate) {
        *problem = "an edit decision list needs a frame rate (--frame-rate 24, 25, 30 or 30df)";
        return std::nullopt;
    }
    const auto rate = frameRateOption(*line.frameRate, problem);
    if (!rate) {
        return std::nullopt;
    }
    files::EdlExportSettings settings;
    settings.title = files::editDecisionListTitle(inputFileName(line.operands.at(0)));
    settings.frameRate = *rate;
    if (line.recordStart) {
        std::string reason;
        TavrelError error;
        if (!records::parseTimeInput(*line.recordStart, files::edlTimeRate(*rate),
                                     &settings.recordStart, &reason) ||
            settings.recordStart.isNull != 0 || !files::checkEdlRecordStart(settings, &error)) {
            *problem = "bad record start '" + *line.recordStart + "': " +
                       (reason.empty() ? error.failureReason.value_or(error.description) : reason);
            return std::nullopt;
        }
    }
    return settings;
}

// --first-register's value, 0 when it is not given.
std::optional<int32_t> firstRegister(const CommandLine& line, std::string* problem) {
    if (!line.firstRegister) {
        return 0;
    }
    const auto number = parseRegisterNumber(*line.firstRegister);
    if (!number) {
        *problem = "bad register '" + *line.firstRegister + "': use a number from 0 to 65535";
        return std::nullopt;
    }
    return *number;
}

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
         [](const CommandLine& line, bool exporting, std::string* problem) {
             return exporting ? edlSettings(line, problem).has_value()
                              : firstRegister(line, problem).has_value();
         },
         [](const CommandLine& line, const std::string& path, const RegisterCollection& registers,
            TavrelError* error, bool* inPlace) {
             std::string problem;
             const auto settings = edlSettings(line, &problem); // checked before
             return settings && files::writeEditDecisionList(path, registers, *settings,
                                                             files::RefusedEvents::RefuseExport,
                                                             error, inPlace);
         },
         [](const CommandLine& line, const std::string& path, RegisterCollection* registers,
            TavrelError* error) {
             std::string problem;
             const auto first = firstRegister(line, &problem); // checked before
             return first && files::readEditDecisionList(path, registers, error, *first);
         }},
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
    if (found->checkOptions && !found->checkOptions(line, exporting, problem)) {
        return nullptr;
    }
    return &*found;
}

std::string inputPath(const std::string& operand) {
    return operand == "-" ? "/dev/stdin" : operand;
}

} // namespace tavrel::cli
