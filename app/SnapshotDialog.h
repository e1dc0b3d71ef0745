// "Restore Snapshot…": the snapshots kept before uploads, newest first, each with its time, port,
// range and register count; the chosen one is uploaded back through the safe upload.
#pragma once

#include "UploadSnapshot.h"

#include <QDialog>

#include <vector>

class QListWidget;
class QPushButton;

namespace tavrel::app {

class SnapshotDialog : public QDialog {
    Q_OBJECT

  public:
    SnapshotDialog(QWidget* parent, std::vector<files::SnapshotInfo> snapshots);

    QListWidget* list() const { return _list; }
    QPushButton* restoreButton() const { return _restore; }
    // The snapshot chosen, or null.
    const files::SnapshotInfo* chosen() const;

  private:
    std::vector<files::SnapshotInfo> _snapshots;
    QListWidget* _list;
    QPushButton* _restore;
};

} // namespace tavrel::app
