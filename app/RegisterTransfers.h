// Download Registers and Upload Registers: the range sheet, then a device job that goes through
// the registers one after the other on the transfer runner's worker, showing each on the progress
// sheet before its exchanges. What a download reads is stored on the window's thread, and the
// download becomes one undo step; Cancel ends either at once, in the middle of an exchange if need
// be. With Compare Before Upload on, an upload is a safe upload (SafeUploads).
#pragma once

#include "RegisterCollection.h"
#include "RegisterRange.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace tavrel::app {

class Alerts;
class DeviceJobs;
class ProgressSheet;
class RangeSheet;
class RegisterEditor;
class RegisterTableModel;
class SafeUploads;

class RegisterTransfers : public QObject {
    Q_OBJECT

  public:
    struct Parts {
        DeviceJobs& jobs;
        Alerts& alerts;
        RangeSheet& rangeSheet;
        ProgressSheet& progressSheet;
        // The table's registers: a download replaces them, an upload sends them.
        RegisterTableModel& table;
        // Where a download becomes one undo step.
        RegisterEditor& editor;
        SafeUploads& safeUploads;
        // The chosen port's name, which a safe upload's snapshot is named after.
        std::function<QString()> portName;
        // Runs `then` once unsaved changes are safe (saved, or not wanted); Cancel drops it.
        std::function<void(std::function<void()> then)> askToSaveChanges;
    };

    RegisterTransfers(const Parts& parts, QObject* parent);

    // Asks about unsaved changes, then for the range to download.
    void download();
    // Asks for the range to upload.
    void upload();
    // The transfers once the range is chosen.
    void downloadRange(records::RegisterRange range);
    void uploadRange(records::RegisterRange range);

  private:
    void _endDownload(int32_t current);

    Parts _parts;
    // The collection as it was when the running download began, for its undo step.
    std::optional<files::RegisterCollection> _registersBeforeDownload;
};

} // namespace tavrel::app
