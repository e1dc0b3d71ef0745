// tavrelctl menu-download -p PORT -o FILE.vgs
// tavrelctl menu-upload -p PORT FILE.vgs
#include "AtomicFile.h"
#include "CommandSupport.h"
#include "Commands.h"
#include "DevicePort.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "MenuSettingsFile.h"

ExitStatus runMenuDownload(const CommandLine& line) {
    std::string problem;
    if (!expectOperands(line, 0, "no arguments", &problem)) {
        return reportUsageError(problem);
    }
    if (!line.output) {
        return reportUsageError("the menu-download command needs an output file (-o FILE.vgs)");
    }
    auto path = requiredPortPath(line, &problem);
    if (!path) {
        return reportUsageError(problem);
    }
    TavrelError unwritable;
    if (!checkFileWritable(*line.output, &unwritable)) {
        return reportError(unwritable);
    }
    watchForInterruption();
    auto socket = openDevice(*path);
    std::string version;
    if (!socket || !checkDevice(*socket, &version)) {
        return interruptionRequested() ? reportInterrupted() : ExitFailure;
    }
    // The version goes into the file unchanged; one that cannot is refused before the menu
    // block is asked for.
    TavrelError error;
    VRG500_menuData block{};
    if (!checkMenuSettingsVersion(version, &error) || !socket->menuData(&block, &error) ||
        !writeMenuSettingsFile(*line.output, version, block, &error)) {
        return interruptionRequested() ? reportInterrupted() : reportError(error);
    }
    return ExitSuccess;
}

ExitStatus runMenuUpload(const CommandLine& line) {
    std::string problem;
    if (!expectOperands(line, 1, "a menu settings file (FILE.vgs)", &problem)) {
        return reportUsageError(problem);
    }
    auto path = requiredPortPath(line, &problem);
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
    watchForInterruption();
    auto socket = openDevice(*path);
    std::string deviceVersion;
    if (!socket || !checkDevice(*socket, &deviceVersion)) {
        return interruptionRequested() ? reportInterrupted() : ExitFailure;
    }
    // Compared as they stand; shown trimmed, so two texts that differ only in blanks look alike.
    if (fileVersion != deviceVersion) {
        return reportError(toolError("Version Mismatch", ".vgs file version \"" +
                                                             trimBlanks(fileVersion) +
                                                             "\" does not match device version \"" +
                                                             trimBlanks(deviceVersion) + "\""));
    }
    if (!socket->setMenuData(*block, &error)) {
        return interruptionRequested() ? reportInterrupted() : reportError(error);
    }
    return ExitSuccess;
}
