#include "CommandSyntax.h"

#include "Commands.h"

#include <algorithm>

namespace tavrel::cli {

const std::vector<OptionSyntax>& optionSyntaxes() {
    static const std::vector<OptionSyntax> options = {
        {"-p", "--port", "PORT",
         "a port name as 'tavrelctl ports' lists it, a device path, or the name of the port's "
         "link in /dev/serial/by-id",
         &CommandLine::port, nullptr, true},
        {"-r", "--range", "RANGE", "all (0-299, the default), first100 (0-99), N-M or N (0-65535)",
         &CommandLine::range, nullptr, true},
        {"-o", "--output", "FILE", "the file to write; - for standard output", &CommandLine::output,
         nullptr, true},
        {"-n", "--register", "REGISTER", "a register number, 0-65535", &CommandLine::registerNumber,
         nullptr, true},
        {"-m", "--machines", "MACHINES", "letters from ABCD, default ABCD", &CommandLine::machines,
         nullptr, true},
        {nullptr, "--changed-only", nullptr,
         "write only the registers that differ from the VRG-500's", nullptr,
         &CommandLine::changedOnly, true},
        {nullptr, "--backup", "FILE", "save the VRG-500's registers of RANGE here before writing",
         &CommandLine::backup, nullptr, true},
        {"-f", "--format", "FORMAT", "csv, json or edl (/usr/share/doc/tavrel/formats.md)",
         &CommandLine::format, nullptr, true},
        {nullptr, "--frame-rate", "RATE", "24, 25, 30 or 30df (drop frame)",
         &CommandLine::frameRate, nullptr, true},
        {nullptr, "--record-start", "TC",
         "the first event's record IN (HH:MM:SS:FF), default 01:00:00:00; edl only",
         &CommandLine::recordStart, nullptr, true},
        {nullptr, "--first-register", "N", "the register of the first event, default 0; edl only",
         &CommandLine::firstRegister, nullptr, true},
        {nullptr, "--json", nullptr, "print the registers as JSON", nullptr, &CommandLine::json,
         false},
        {nullptr, "--watch", nullptr, "keep running and report ports as they arrive and depart",
         nullptr, &CommandLine::watch, false},
        {nullptr, nullptr, "TIMECODE", "HH:MM:SS:FF; hours, minutes, seconds 00-99, frames 00-39",
         nullptr, nullptr, true},
    };
    return options;
}

const std::vector<CommandSyntax>& commandSyntaxes() {
    static const std::vector<CommandSyntax> commands = {
        {"ports",
         {"tavrelctl ports [--watch]"},
         {"Lists the RS-232 ports, one line each: NAME<TAB>PATH. With --watch, keeps running and "
          "prints \"+ NAME<TAB>PATH\" when a port arrives and \"- NAME<TAB>PATH\" when one "
          "departs, until interrupted. A port whose adapter udev describes has <TAB>DESCRIPTION "
          "after PATH: the adapter's vendor, model and serial number."},
         {"--watch"},
         runPorts,
         false},
        {"version",
         {"tavrelctl version -p PORT"},
         {"Prints the VRG-500's version text. Bytes other than printable ASCII are shown as "
          "\\xNN, a backslash as \\\\."},
         {"--port"},
         runVersion,
         true},
        {"download",
         {"tavrelctl download -p PORT [-r RANGE] -o FILE.vg2"},
         {"Reads the registers of RANGE from the VRG-500 and writes them to a register file. "
          "The file is written only when every register was read; a register that a register "
          "file cannot hold ends the download as soon as it is read."},
         {"--port", "--range", "--output"},
         runDownload,
         true},
        {"upload",
         {"tavrelctl upload -p PORT [-r RANGE] [--changed-only] [--backup BACKUP.vg2] FILE.vg2"},
         {"Writes the registers of RANGE that the register file holds to the VRG-500. The whole "
          "range is checked first; nothing is sent when a register cannot be uploaded. When the "
          "file holds no register of RANGE, that is said on standard error, and an upload "
          "stopped while it writes says which registers were written and where the earlier "
          "values are. With --changed-only, reads those registers from the VRG-500 first, "
          "writes only the ones that differ and prints how many were written. With --backup, "
          "reads every register of RANGE first and saves them to BACKUP.vg2, which must be "
          "another file than FILE.vg2; nothing is written when it cannot be saved."},
         {"--port", "--range", "--changed-only", "--backup"},
         runUpload,
         true},
        {"menu-download",
         {"tavrelctl menu-download -p PORT -o FILE.vgs"},
         {"Reads the VRG-500's menu settings and writes them to a menu settings file."},
         {"--port", "--output"},
         runMenuDownload,
         true},
        {"menu-upload",
         {"tavrelctl menu-upload -p PORT FILE.vgs"},
         {"Writes a menu settings file's settings to the VRG-500, when the file was made with "
          "the same VRG-500 version."},
         {"--port"},
         runMenuUpload,
         true},
        {"offset",
         {"tavrelctl offset add|subtract -p PORT -n REGISTER [-m MACHINES] TIMECODE"},
         {"Has the VRG-500 add TIMECODE to, or subtract it from, the times of MACHINES in "
          "REGISTER."},
         {"--port", "--register", "--machines", "TIMECODE"},
         runOffset,
         true},
        {"show",
         {"tavrelctl show [--json | --frame-rate RATE] FILE.vg2"},
         {"Prints a register file's registers, one line each: number, eight times, the two "
          "trailing bytes and the four clip names, shown escaped as by 'tavrelctl version'. "
          "FILE.vg2 may be - for standard input.",
          "With --frame-rate, each line ends with the four machines' durations (OUT - IN) at "
          "RATE, as in \" A 00:00:10:00 B -00:00:02:00 C - D -\": \"-\" before a duration whose "
          "OUT is before its IN, \"-\" alone where a time is unset or not a time at RATE. At "
          "30df every time is counted in drop frame (29.97), at 30 only a time marked \";\"; a "
          "duration counted in drop frame has \";\" before its frames.",
          "With --json, prints them as JSON instead, with every byte the file holds, as "
          "'tavrelctl export -f json' writes them."},
         {"--json", "--frame-rate"},
         runShow,
         false},
        {"export",
         {"tavrelctl export -f FORMAT [-r RANGE] [--frame-rate RATE] [--record-start TC] "
          "FILE.vg2 -o OUT"},
         {"Writes a register file's registers (those of RANGE when it is given) in another "
          "format: csv for spreadsheets, json for scripts, edl (CMX 3600) for editing systems. "
          "FILE.vg2 may be - for standard input.",
          "An edit decision list needs --frame-rate: its record times run from --record-start "
          "(default 01:00:00:00) at RATE. It holds one event per machine whose IN and OUT are "
          "both set; when an event cannot be exported (an OUT not after its IN, a time RATE "
          "cannot hold), nothing is written and each is named."},
         {"--format", "--range", "--frame-rate", "--record-start", "--output"},
         runExport,
         false},
        {"import",
         {"tavrelctl import -f FORMAT [--first-register N] IN -o OUT.vg2"},
         {"Reads registers in another format (csv, json or edl) and writes them to a register "
          "file, in its exact form when a register needs it. IN may be - for standard input. "
          "Nothing is written when IN is malformed."},
         {"--format", "--first-register", "--output"},
         runImport,
         false},
        {"diff",
         {"tavrelctl diff [-r RANGE] A.vg2 B.vg2", "tavrelctl diff -p PORT [-r RANGE] FILE.vg2"},
         {"Compares two register files (the whole files unless RANGE is given), or a register "
          "file with the registers of RANGE that the VRG-500 holds (named by the port's device "
          "path). Prints one line per field that differs, \"NNN FIELD LEFT RIGHT\" (clip names "
          "in double quotes; an unset time that carries other numbers than the other side's "
          "shows them in brackets, as in **:**:**:**[01:02:03:04]), and \"NNN only in NAME\" for "
          "a register on one side only.",
          "Text is shown escaped as by 'tavrelctl version'.",
          "Exit status: 0 when identical, 1 when different, 2 on trouble.",
          "Interrupted while it reads the VRG-500: 130, as any device command."},
         {"--port", "--range"},
         runDiff,
         // Watches for interruption itself when it compares with a device.
         false},
    };
    return commands;
}

const CommandSyntax* findCommandSyntax(const std::string& name) {
    const auto& commands = commandSyntaxes();
    auto found = std::find_if(commands.begin(), commands.end(),
                              [&](const CommandSyntax& command) { return name == command.name; });
    return found == commands.end() ? nullptr : &*found;
}

const OptionSyntax* findOptionSyntax(const std::string& name) {
    for (const auto& option : optionSyntaxes()) {
        if (option.longName &&
            (name == option.longName || (option.shortName && name == option.shortName))) {
            return &option;
        }
    }
    return nullptr;
}

bool commandTakes(const CommandSyntax& command, const std::string& longName) {
    return std::find(command.options.begin(), command.options.end(), longName) !=
           command.options.end();
}

} // namespace tavrel::cli
