// tavrelctl menu-download -p PORT -o FILE.vgs
// tavrelctl menu-upload -p PORT FILE.vgs
#include "CommandSupport.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "MenuSettingsFile.h"

ExitStatus runMenuDownload(const CommandLine& line) {
    std::string problem;
    auto path = expectOutputOnly(line, "FILE.vgs", &problem) ? requiredPortPath(line, &problem)
                                                             : std::nullopt;
    if (!path) {
        return reportUsageError(problem);
    }
    if (!checkOutputWritable(line)) {
        return ExitFailure;
    }
    ExitStatus failure = ExitFailure;
    std::string version;
    auto socket = connectDevice(*path, &failure, &version);
    if (!socket) {
        return failure;
    }
    // The version goes into the file unchanged; one that cannot is refused before the menu
    // block is asked for.
    TavrelError error;
    VRG500_menuData block{};
    if (!checkMenuSettingsVersion(version, &error) || !socket->menuData(&block, &error) ||
        !writeMenuSettingsFile(*line.output, version, block, &error)) {
        return reportFailure(error);
    }
    return ExitSuccess;
}

ExitStatus runMenuUpload(const CommandLine& line) {
    std::string problem;
    auto path = expectOperands(line, 1, "a menu settings file (FILE.vgs)", &problem)
                    ? requiredPortPath(line, &problem)
                    : std::nullopt;
    if (!path) {
        return reportUsageError(problem);
    }
    // The file first: an invalid one ends the command before the device is contacted.
    std::string fileVersion;
    TavrelError error;
    auto block = readMenuSettingsFile(line.operands[0], &fileVersion, &error);
    if (!block) {
        return reportError(error);
    }
    ExitStatus failure = ExitFailure;
    std::string deviceVersion;
    auto socket = connectDevice(*path, &failure, &deviceVersion);
    if (!socket) {
        return failure;
    }
    // Compared as they stand; shown trimmed, so two texts that differ only in blanks look alike.
    if (fileVersion != deviceVersion) {
        return reportError(toolError("Version Mismatch", ".vgs file version \"" +
                                                             trimBlanks(fileVersion) +
                                                             "\" does not match device version \"" +
                                                             trimBlanks(deviceVersion) + "\""));
    }
    if (!socket->setMenuData(*block, &error)) {
        return reportFailure(error);
    }
    return ExitSuccess;
}
