#include "Usage.h"

namespace tavrel::cli {

namespace {

struct CommandHelp {
    const char* command;
    const char* synopsis;
    const char* description;
};

const CommandHelp Help[] = {
    {"ports", "tavrelctl ports [--watch]",
     "Lists the RS-232 ports, one line each: NAME<TAB>PATH. With --watch, keeps running and\n"
     "prints \"+ NAME<TAB>PATH\" when a port arrives and \"- NAME<TAB>PATH\" when one departs,\n"
     "until interrupted.\n"},
    {"version", "tavrelctl version -p PORT",
     "Prints the VRG-500's version text. Bytes other than printable ASCII are shown as \\xNN,\n"
     "a backslash as \\\\.\n"},
    {"download", "tavrelctl download -p PORT [-r RANGE] -o FILE.vg2",
     "Reads the registers of RANGE from the VRG-500 and writes them to a register file.\n"
     "The file is written only when every register was read; a register that a register file\n"
     "cannot hold ends the download as soon as it is read.\n"},
    {"upload",
     "tavrelctl upload -p PORT [-r RANGE] [--changed-only] [--backup BACKUP.vg2] FILE.vg2",
     "Writes the registers of RANGE that the register file holds to the VRG-500. The whole\n"
     "range is checked first; nothing is sent when a register cannot be uploaded. When the\n"
     "file holds no register of RANGE, that is said on standard error, and an upload stopped\n"
     "while it writes says which registers were written and where the earlier values are.\n"
     "With --changed-only, reads those registers from the VRG-500 first, writes only the ones\n"
     "that differ and prints how many were written. With --backup, reads every register of\n"
     "RANGE first and saves them to BACKUP.vg2, which must be another file than FILE.vg2;\n"
     "nothing is written when it cannot be saved.\n"},
    {"menu-download", "tavrelctl menu-download -p PORT -o FILE.vgs",
     "Reads the VRG-500's menu settings and writes them to a menu settings file.\n"},
    {"menu-upload", "tavrelctl menu-upload -p PORT FILE.vgs",
     "Writes a menu settings file's settings to the VRG-500, when the file was made with the\n"
     "same VRG-500 version.\n"},
    {"offset", "tavrelctl offset add|subtract -p PORT -n REGISTER [-m MACHINES] TIMECODE",
     "Has the VRG-500 add TIMECODE to, or subtract it from, the times of MACHINES in REGISTER.\n"},
    {"show", "tavrelctl show FILE.vg2",
     "Prints a register file's registers, one line each: number, eight times, the two trailing\n"
     "bytes and the four clip names, shown escaped as by 'tavrelctl version'.\n"},
    {"diff", "tavrelctl diff [-r RANGE] A.vg2 B.vg2 ; tavrelctl diff -p PORT [-r RANGE] FILE.vg2",
     "Compares two register files (the whole files unless RANGE is given), or a register file\n"
     "with the registers of RANGE that the VRG-500 holds (named by the port's device path).\n"
     "Prints one line per field that differs, \"NNN FIELD LEFT RIGHT\" (clip names in double\n"
     "quotes; an unset time that carries other numbers than the other side's shows them in\n"
     "brackets, as in **:**:**:**[01:02:03:04]), and \"NNN only in NAME\" for a register on\n"
     "one side only.\n"
     "Text is shown escaped as by 'tavrelctl version'.\n"
     "Exit status: 0 when identical, 1 when different, 2 on trouble.\n"
     "Interrupted while it reads the VRG-500: 130, as any device command.\n"},
};

const char* const Arguments =
    "  -p, --port PORT          a port name as 'tavrelctl ports' lists it, or a device path\n"
    "  -r, --range RANGE        all (0-299, the default), first100 (0-99), N-M or N (0-65535)\n"
    "  -o, --output FILE        the file to write; - for standard output\n"
    "  -n, --register REGISTER  a register number, 0-65535\n"
    "  -m, --machines MACHINES  letters from ABCD, default ABCD\n"
    "      --changed-only       write only the registers that differ from the VRG-500's\n"
    "      --backup FILE        save the VRG-500's registers of RANGE here before writing\n"
    "  TIMECODE                 HH:MM:SS:FF; hours, minutes, seconds 00-99, frames 00-39\n";

} // namespace

std::string toolUsage() {
    std::string text = "Usage:\n";
    for (const auto& help : Help) {
        text += std::string("  ") + help.synopsis + "\n";
    }
    text += "  tavrelctl --help | -h ; tavrelctl COMMAND --help ; tavrelctl --version\n\n";
    text += "Options may come before or after the command.\n\n";
    text += Arguments;
    text += "\nExit status: 0 success, 1 device, file or data error, 2 usage error,\n"
            "130 interrupted (SIGINT or SIGTERM) during a device command. diff as diff(1):\n"
            "0 when identical, 1 when different, 2 on trouble.\n";
    return text;
}

std::string commandUsage(const std::string& command) {
    for (const auto& help : Help) {
        if (command == help.command) {
            return std::string("Usage: ") + help.synopsis + "\n\n" + help.description + "\n" +
                   Arguments;
        }
    }
    return toolUsage();
}

} // namespace tavrel::cli
