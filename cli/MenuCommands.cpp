// tavrelctl menu-download -p PORT -o FILE.vgs
// tavrelctl menu-upload -p PORT FILE.vgs
#include "CommandSupport.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "MenuSettingsFile.h"

namespace tavrel::cli {

using files::checkMenuSettingsFileVersion;
using files::checkMenuSettingsVersion;
using files::readMenuSettingsFile;
using files::writeMenuSettingsFile;
using records::TavrelError;
using records::VRG500_menuData;

ExitStatus runMenuDownload(const CommandLine& line) {
    std::string problem;
    if (!expectOutputOnly(line, "FILE.vgs", &problem)) {
        return reportUsageError(problem);
    }
    ExitStatus failure = ExitFailure;
    auto path = requiredPortPath(line, &failure);
    if (!path) {
        return failure;
    }
    if (!checkOutputWritable(line)) {
        return ExitFailure;
    }
    std::string version;
    auto socket = connectDevice(*path, &failure, &version);
    if (!socket) {
        return failure;
    }
    // The version goes into the file unchanged; one that cannot is refused before the menu
    // block is asked for.
    TavrelError error;
    VRG500_menuData block{};
    if (!checkMenuSettingsVersion(version, &error) || !socket->menuData(&block, &error)) {
        return reportFailure(error);
    }
    return writeOutput(
        line, [&](const std::string& output, TavrelError* writeError, bool* inPlace) {
            return writeMenuSettingsFile(output, version, block, writeError, inPlace);
        });
}

ExitStatus runMenuUpload(const CommandLine& line) {
    std::string problem;
    if (!expectOperands(line, 1, "a menu settings file (FILE.vgs)", &problem)) {
        return reportUsageError(problem);
    }
    ExitStatus failure = ExitFailure;
    auto path = requiredPortPath(line, &failure);
    if (!path) {
        return failure;
    }
    // The file first: an invalid one ends the command before the device is contacted.
    std::string fileVersion;
    TavrelError error;
    auto block = readMenuSettingsFile(line.operands[0], &fileVersion, &error);
    if (!block) {
        return reportFailure(error);
    }
    std::string deviceVersion;
    auto socket = connectDevice(*path, &failure, &deviceVersion);
    if (!socket) {
        return failure;
    }
    // The versions are the device's and the file's bytes, shown escaped as every message is.
    if (!checkMenuSettingsFileVersion(fileVersion, deviceVersion, &error)) {
        return reportFailure(error);
    }
    // Nothing is sent once a signal has come, even one that came between two exchanges.
    if (interruptionRequested() || !socket->setMenuData(*block, &error)) {
        return reportFailure(error);
    }
    return ExitSuccess;
}

} // namespace tavrel::cli
