#include "SnapshotDialog.h"

#include "RegisterLabelText.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrel::app {

using files::SnapshotInfo;

namespace {

QString describe(const SnapshotInfo& snapshot) {
    return QObject::tr("%1   %2   registers %3 to %4 (%5)")
        .arg(QString::fromStdString(snapshot.when), QString::fromStdString(snapshot.port),
             registerLabelText(snapshot.range.first), registerLabelText(snapshot.range.last))
        .arg(QObject::tr("%n register(s)", nullptr, static_cast<int>(snapshot.registers)));
}

} // namespace

SnapshotDialog::SnapshotDialog(QWidget* parent, std::vector<SnapshotInfo> snapshots)
    : QDialog(parent), _snapshots(std::move(snapshots)) {
    setObjectName("snapshotDialog");
    setWindowTitle(tr("Restore Snapshot"));
    setWindowModality(Qt::WindowModal);

    auto* intro =
        new QLabel(_snapshots.empty()
                       ? tr("No upload has kept a snapshot yet.")
                       : tr("Before each upload, the registers it overwrote were kept. Restoring a "
                            "snapshot uploads them again, compared with the VRG-500 first."));
    intro->setWordWrap(true);
    _list = new QListWidget;
    _list->setAccessibleName(tr("Snapshots"));
    for (const SnapshotInfo& snapshot : _snapshots) {
        _list->addItem(describe(snapshot));
    }
    auto* buttons = new QDialogButtonBox;
    _restore = buttons->addButton(tr("Restore"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    _restore->setEnabled(false);
    connect(_list, &QListWidget::currentRowChanged, this,
            [this](int row) { _restore->setEnabled(row >= 0); });
    connect(_list, &QListWidget::itemActivated, this, [this] { accept(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (!_snapshots.empty()) {
        _list->setCurrentRow(0);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(_list, 1);
    layout->addWidget(buttons);
    // Room for 72 characters by 16 lines of the dialog's font, or what its contents need.
    const QFontMetrics metrics(font());
    resize(
        QSize(metrics.averageCharWidth() * 72, metrics.lineSpacing() * 16).expandedTo(sizeHint()));
}

const SnapshotInfo* SnapshotDialog::chosen() const {
    const int row = _list->currentRow();
    return row >= 0 && static_cast<size_t>(row) < _snapshots.size() ? &_snapshots[size_t(row)]
                                                                    : nullptr;
}

} // namespace tavrel::app
