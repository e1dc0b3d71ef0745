// tavrelctl upload -p PORT [-r RANGE] [--changed-only] [--backup BACKUP.vg2] FILE.vg2
#include "AtomicFile.h"
#include "CommandSupport.h"
#include "Commands.h"
#include "DeviceRegisters.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "ProgressBar.h"
#include "RegisterFile.h"
#include "RegisterTimeText.h"
#include "RegisterTransfer.h"
#include "SafeUploadPlan.h"
#include "UploadAccount.h"
#include "UploadRefusalText.h"

#include <cstdio>
#include <new>
#include <sys/stat.h>
#include <vector>

namespace tavrel::cli {

using files::checkFileWritable;
using files::deviceChanged;
using files::rangeUploadable;
using files::readRegisterFile;
using files::RegisterCollection;
using files::registerRangeText;
using files::registersToRead;
using files::registersToWrite;
using files::registerToSend;
using files::UploadProgress;
using files::UploadRefusalVoice;
using files::writeExactRegisterFile;
using files::writtenAccount;
using link::TavrelSocket;
using link::writeRegister;
using link::writeRegisterOver;
using records::RegisterEntry;
using records::RegisterRange;
using records::stringForRegisterTime;
using records::TavrelError;

namespace {

// Whether the backup `backup` would be saved over the file `uploaded`, through any of its names
// (a hard link, a symbolic link, another spelling of its path).
bool isUploadedFile(const std::string& backup, const std::string& uploaded) {
    struct stat backupFile {};
    struct stat uploadedFile {};
    return ::stat(backup.c_str(), &backupFile) == 0 &&
           ::stat(uploaded.c_str(), &uploadedFile) == 0 &&
           backupFile.st_dev == uploadedFile.st_dev && backupFile.st_ino == uploadedFile.st_ino;
}

// The numbers as the device takes them: those of tavrelctl's ranges are 0 to 65535.
std::vector<uint16_t> deviceNumbers(const std::vector<int32_t>& numbers) {
    std::vector<uint16_t> device;
    device.reserve(numbers.size());
    for (const int32_t number : numbers) {
        device.push_back(static_cast<uint16_t>(number));
    }
    return device;
}

// What the device holds before anything is written: the whole range for a backup, else only the
// registers `toRead` that the upload would write.
ExitStatus readBeforeWriting(const CommandLine& line, TavrelSocket& socket, RegisterRange range,
                             const std::vector<int32_t>& toRead, RegisterCollection* held) {
    ExitStatus status = readDeviceRegisters(
        socket, line.backup ? rangeNumbers(range) : deviceNumbers(toRead), held);
    if (status != ExitSuccess || !line.backup) {
        return status;
    }
    return writeFileNamed(*line.backup, *line.backup,
                          [&held](const std::string& path, TavrelError* error, bool* inPlace) {
                              return writeExactRegisterFile(path, *held, error, inPlace);
                          });
}

// Writes `wanted` to register `number`: over what the device holds there (registerToSend) when
// that was read (`held`, with --changed-only), else as it is.
bool writeOne(TavrelSocket& socket, uint16_t number, const RegisterEntry& wanted,
              const RegisterCollection* held, TavrelError* error) {
    return held ? writeRegisterOver(socket, number, registerToSend(wanted, held->find(number)),
                                    error)
                : writeRegister(socket, number, wanted, error);
}

// Writes the registers of `registers` that progress->toWrite names, in order, counting in
// *progress how far the writing got.
ExitStatus uploadAll(TavrelSocket& socket, const RegisterCollection& registers,
                     const RegisterCollection* held, UploadProgress* progress) {
    ProgressBar bar("Uploading", static_cast<uint32_t>(progress->toWrite.size()));
    TavrelError error;
    try {
        for (const int32_t number : progress->toWrite) {
            if (interruptionRequested()) {
                bar.clear();
                return reportInterrupted();
            }
            const auto deviceNumber = static_cast<uint16_t>(number);
            bar.update(deviceNumber, static_cast<uint32_t>(progress->written));
            progress->unfinished = number;
            if (!writeOne(socket, deviceNumber, *registers.find(number), held, &error)) {
                bar.clear();
                return reportFailure(error);
            }
            progress->unfinished.reset();
            ++progress->written;
        }
    } catch (const std::bad_alloc&) {
        // Caught here rather than in main(), so that the account of what was written follows.
        bar.clear();
        return reportOutOfMemory();
    }
    return ExitSuccess;
}

// What a user needs after the writing stopped: how many of the registers were written and which,
// the one that may be partly written, and where the VRG-500's earlier values are, if any changed.
void reportStoppedUpload(const UploadProgress& progress, const std::optional<std::string>& backup) {
    reportNote(writtenAccount(progress));
    if (deviceChanged(progress)) {
        reportNote(backup ? "the VRG-500's earlier values are in " + *backup
                          : "the VRG-500's earlier values were not kept (no --backup was given)");
    }
}

} // namespace

ExitStatus runUpload(const CommandLine& line) {
    std::string problem;
    auto range = expectOperands(line, 1, "a register file (FILE.vg2)", &problem)
                     ? rangeOption(line, &problem)
                     : std::nullopt;
    if (!range) {
        return reportUsageError(problem);
    }
    if (line.backup && isUploadedFile(*line.backup, line.operands[0])) {
        return reportUsageError("bad backup '" + *line.backup +
                                "': it is the register file being uploaded, which the backup "
                                "would replace");
    }
    ExitStatus failure = ExitFailure;
    auto path = requiredPortPath(line, &failure);
    if (!path) {
        return failure;
    }
    RegisterCollection registers;
    TavrelError error;
    if (!readRegisterFile(line.operands[0], &registers, &error)) {
        return reportFailure(error);
    }
    // The whole range is checked before anything is sent, as the application does.
    if (!rangeUploadable(registers, *range, UploadRefusalVoice::Tool, &error)) {
        return reportFailure(error);
    }
    std::vector<int32_t> toWrite = registersToRead(registers, *range);
    // A backup that could not be saved would stop the upload after the whole range was read.
    if (line.backup && !checkFileWritable(*line.backup, &error)) {
        return reportError(error);
    }
    auto socket = connectDevice(*path, &failure);
    if (!socket) {
        return failure;
    }
    const size_t inFile = toWrite.size();
    RegisterCollection held;
    if (line.backup || line.changedOnly) {
        ExitStatus status = readBeforeWriting(line, *socket, *range, toWrite, &held);
        if (status != ExitSuccess) {
            return status;
        }
        if (line.changedOnly) {
            toWrite = registersToWrite(registers, held, *range);
        }
    }
    UploadProgress progress{std::move(toWrite), 0, std::nullopt};
    ExitStatus status =
        uploadAll(*socket, registers, line.changedOnly ? &held : nullptr, &progress);
    if (status != ExitSuccess) {
        reportStoppedUpload(progress, line.backup);
        return status;
    }
    if (line.changedOnly) {
        const size_t written = progress.toWrite.size();
        std::printf("%zu of %zu registers written%s\n", written, inFile,
                    written < inFile ? "; the others already matched" : "");
    }
    // Most likely a range or a file mistaken: not a silent success.
    if (inFile == 0) {
        reportNote("no register of " + line.operands[0] + " lies in " + registerRangeText(*range) +
                   "; nothing was uploaded");
    }
    return ExitSuccess;
}

} // namespace tavrel::cli
