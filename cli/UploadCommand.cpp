// tavrelctl upload -p PORT [-r RANGE] [--changed-only] [--backup BACKUP.vg2] FILE.vg2
#include "AtomicFile.h"
#include "CommandSupport.h"
#include "Commands.h"
#include "DeviceRegisters.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "ProgressBar.h"
#include "RegisterEquivalence.h"
#include "RegisterFile.h"
#include "RegisterTimeText.h"
#include "RegisterTransfer.h"
#include "UploadAccount.h"
#include "UploadCheck.h"

#include <cstdio>
#include <new>
#include <sys/stat.h>
#include <vector>

namespace tavrel::cli {

using files::checkFileWritable;
using files::deviceChanged;
using files::firstUploadProblemInRange;
using files::keepingDeviceBytes;
using files::readRegisterFile;
using files::RefusedRegister;
using files::RegisterCollection;
using files::registerRangeText;
using files::sameRegister;
using files::UploadProblem;
using files::UploadProgress;
using files::writeExactRegisterFile;
using files::writtenAccount;
using link::TavrelSocket;
using link::writeRegister;
using link::writeRegisterOver;
using records::RegisterEntry;
using records::registerLabel;
using records::stringForRegisterTime;
using records::TavrelError;
using records::VRG500_registerTime;
using records::VRG500_registerTimeNames;
using records::VRG500_registerTimes;

namespace {

using Upload = std::vector<std::pair<uint16_t, RegisterEntry>>;

// The registers of the range that the file holds, in ascending order.
Upload registersInRange(const RegisterCollection& registers, RegisterRange range) {
    Upload upload;
    for (const auto& [number, entry] : registers) {
        if (number >= range.first && number <= range.last) {
            upload.emplace_back(static_cast<uint16_t>(number), entry);
        }
    }
    return upload;
}

// The first register of the range that the device cannot take (a clip name that is not 8
// characters, a time beyond the wire form's limits), in the tool's words. The whole range is
// checked before anything is sent, as the application does.
bool checkRangeUploadable(const RegisterCollection& registers, RegisterRange range,
                          TavrelError* error) {
    const std::optional<RefusedRegister> refused =
        firstUploadProblemInRange(registers, range.first, range.last);
    if (!refused) {
        return true;
    }
    const UploadProblem& problem = refused->problem;
    const RegisterEntry& entry = *registers.find(refused->number);
    std::string what = "Register " + registerLabel(refused->number) + " cannot be uploaded";
    if (problem.kind == UploadProblem::ClipName) {
        const std::string& clip = entry.clips[static_cast<size_t>(problem.index)];
        *error = toolError(what, std::string("Its clip name for machine ") +
                                     static_cast<char>('A' + problem.index) + " is " +
                                     std::to_string(clip.size()) +
                                     " characters long; the VRG-500 takes exactly 8.");
    } else {
        const VRG500_registerTime& time = entry.reg.*VRG500_registerTimes[problem.index];
        *error = toolError(what, std::string("Its ") + VRG500_registerTimeNames[problem.index] +
                                     " time " + stringForRegisterTime(time) +
                                     " is beyond the VRG-500's limits (hours, minutes and "
                                     "seconds 00 to 99, frames 00 to 39).");
    }
    return false;
}

// The registers of the upload that the device does not already hold as they are, each made to
// keep the device's bytes where the file has the same (keepingDeviceBytes).
Upload changedOnly(const Upload& upload, const RegisterCollection& held) {
    Upload changed;
    for (const auto& [number, entry] : upload) {
        const RegisterEntry* current = held.find(number);
        if (!current) {
            changed.emplace_back(number, entry);
        } else if (!sameRegister(*current, entry)) {
            changed.emplace_back(number, keepingDeviceBytes(entry, *current));
        }
    }
    return changed;
}

// Whether the backup `backup` would be saved over the file `uploaded`, through any of its names
// (a hard link, a symbolic link, another spelling of its path).
bool isUploadedFile(const std::string& backup, const std::string& uploaded) {
    struct stat backupFile {};
    struct stat uploadedFile {};
    return ::stat(backup.c_str(), &backupFile) == 0 &&
           ::stat(uploaded.c_str(), &uploadedFile) == 0 &&
           backupFile.st_dev == uploadedFile.st_dev && backupFile.st_ino == uploadedFile.st_ino;
}

std::vector<uint16_t> numbersOf(const Upload& upload) {
    std::vector<uint16_t> numbers;
    for (const auto& item : upload) {
        numbers.push_back(item.first);
    }
    return numbers;
}

// What the device holds before anything is written: the whole range for a backup, else only the
// registers that the upload would write.
ExitStatus readBeforeWriting(const CommandLine& line, TavrelSocket& socket, RegisterRange range,
                             const Upload& upload, RegisterCollection* held) {
    ExitStatus status =
        readDeviceRegisters(socket, line.backup ? rangeNumbers(range) : numbersOf(upload), held);
    if (status != ExitSuccess || !line.backup) {
        return status;
    }
    return writeFileNamed(*line.backup, *line.backup,
                          [&held](const std::string& path, TavrelError* error, bool* inPlace) {
                              return writeExactRegisterFile(path, *held, error, inPlace);
                          });
}

// How far the writing got: the first `written` registers of the upload, and the one whose
// exchange failed (-1: none), which may hold part of what was sent.
// Writes the registers of `upload`; `over` when each was made against what the device holds.
ExitStatus uploadAll(TavrelSocket& socket, const Upload& upload, bool over,
                     UploadProgress* progress) {
    ProgressBar bar("Uploading", static_cast<uint32_t>(upload.size()));
    TavrelError error;
    try {
        for (const auto& [number, entry] : upload) {
            if (interruptionRequested()) {
                bar.clear();
                return reportInterrupted();
            }
            bar.update(number, static_cast<uint32_t>(progress->written));
            progress->unfinished = number;
            if (!(over ? writeRegisterOver : writeRegister)(socket, number, entry, &error)) {
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
    if (!checkRangeUploadable(registers, *range, &error)) {
        return reportFailure(error);
    }
    Upload upload = registersInRange(registers, *range);
    // A backup that could not be saved would stop the upload after the whole range was read.
    if (line.backup && !checkFileWritable(*line.backup, &error)) {
        return reportError(error);
    }
    auto socket = connectDevice(*path, &failure);
    if (!socket) {
        return failure;
    }
    const size_t inFile = upload.size();
    if (line.backup || line.changedOnly) {
        RegisterCollection held;
        ExitStatus status = readBeforeWriting(line, *socket, *range, upload, &held);
        if (status != ExitSuccess) {
            return status;
        }
        if (line.changedOnly) {
            upload = changedOnly(upload, held);
        }
    }
    UploadProgress progress;
    for (const auto& item : upload) {
        progress.toWrite.push_back(item.first);
    }
    ExitStatus status = uploadAll(*socket, upload, line.changedOnly, &progress);
    if (status != ExitSuccess) {
        reportStoppedUpload(progress, line.backup);
        return status;
    }
    if (line.changedOnly) {
        std::printf("%zu of %zu registers written%s\n", upload.size(), inFile,
                    upload.size() < inFile ? "; the others already matched" : "");
    }
    // Most likely a range or a file mistaken: not a silent success.
    if (inFile == 0) {
        reportNote("no register of " + line.operands[0] + " lies in " +
                   registerRangeText(static_cast<int32_t>(range->first),
                                     static_cast<int32_t>(range->last)) +
                   "; nothing was uploaded");
    }
    return ExitSuccess;
}

} // namespace tavrel::cli
