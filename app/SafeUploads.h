// Never uploading blind: comparing the table with the device, uploading only the registers that
// differ, and keeping what an upload overwrites as a snapshot that can be restored. The window's
// commands Compare with Device, Restore Snapshot… and the safe-upload preference, and the upload
// of the registers while that preference is on.
#pragma once

#include "RegisterCollection.h"
#include "RegisterRange.h"
#include "TavrelError.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace tavrel::files {
struct SnapshotInfo;
}

namespace tavrel::app {

class Alerts;
class DeviceJob;
class DeviceJobs;
class ProgressSheet;
class RangeSheet;
class RegisterEditor;
class RegisterTableModel;

// Whether an upload compares with the device first and keeps a snapshot (true unless set false).
inline constexpr const char* SafeUploadKey = "Compare Before Upload";

class SafeUploads : public QObject {
    Q_OBJECT

  public:
    // The selected port's name as listed.
    using PortNameProvider = std::function<QString()>;

    struct Parts {
        DeviceJobs& jobs;
        Alerts& alerts;
        RangeSheet& rangeSheet;
        ProgressSheet& progressSheet;
        // The table's registers, which comparisons and uploads take theirs from.
        const RegisterTableModel& table;
        // Where "Take Device Values" stores the device's registers.
        RegisterEditor& editor;
        // What the comparison and snapshot dialogs open over.
        QWidget* window;
        // The port a snapshot is named after and an upload goes to.
        PortNameProvider portName;
    };

    SafeUploads(Parts parts, QObject* parent);

    // The preference; on unless set off.
    static bool safeUploadEnabled();
    static void setSafeUploadEnabled(bool on);
    // The folder of the upload snapshots (the application's data folder).
    static QString snapshotFolder();

    // Uploads `source`'s registers of `range`: compared with the device first (registers that
    // already hold the same are not sent) and what will be overwritten kept as a snapshot named
    // after `port`.
    void startUpload(std::shared_ptr<const files::RegisterCollection> source,
                     records::RegisterRange range, const QString& port);
    // Reads the device's registers of `range` and shows how the table differs.
    void compareRange(records::RegisterRange range);
    // The same for the registers `numbers` (ascending) only, within the range they span; the
    // table's context menu compares the selected registers so. None compares nothing.
    void compareSelected(const std::vector<int32_t>& numbers);

  public slots:
    // Asks for the range to compare with the range sheet.
    void compareWithDevice();
    // Lists the snapshots and restores the one chosen, asking first when it is another port's.
    void restoreSnapshot();

  private:
    // What a safe upload or a comparison carries through its phases.
    struct upload_plan;

    void _beginComparison(records::RegisterRange range, std::vector<int32_t> numbers);
    // The phases of a safe upload or comparison, on the runner's worker; false ends the job.
    bool _readPlanned(DeviceJob& job, upload_plan& plan);
    bool _keepSnapshot(DeviceJob& job, const std::shared_ptr<upload_plan>& plan,
                       const std::string& folder);
    void _writePlanned(DeviceJob& job, const std::shared_ptr<upload_plan>& plan);
    // `cutShort`: the register the writing stopped at may hold part of what was sent.
    void _showStoppedUpload(const upload_plan& plan, const records::TavrelError* error,
                            bool cutShort);
    void _showComparison(std::shared_ptr<upload_plan> compared);
    // "Upload Changes" of a comparison: the table's differing registers, with the device's
    // values as read for the snapshot.
    void _uploadCompared(std::shared_ptr<upload_plan> compared);
    void _restoreChosen(const files::SnapshotInfo& snapshot);

    DeviceJobs& _jobs;
    Alerts& _alerts;
    RangeSheet& _rangeSheet;
    ProgressSheet& _progressSheet;
    const RegisterTableModel& _table;
    RegisterEditor& _editor;
    QPointer<QWidget> _window;
    PortNameProvider _portName;
};

} // namespace tavrel::app
