// The open and save panels of the file commands: window-modal file dialogs on the main window
// that report through a did-end function with return code 1 (confirm) or 0 (cancel) and the
// first chosen path. Each panel deletes itself once it has reported.
#pragma once

#include <QFile>
#include <QFileDialog>
#include <QString>

#include <functional>
#include <string>
#include <utility>

namespace tavrel::app {

// A chosen path in the form the file libraries open: the system's encoding of file names.
inline std::string localFilePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// `path` ending in ".`suffix`" (no dot in `suffix`), in any case. The panel's own default suffix
// is added only to a name with no extension at all, so "Concert v1.2" would be saved as it is
// and then hidden by the Open panel's filter; "Show.vgs" chosen as a register file must still
// become a register file.
inline QString withFileExtension(const QString& path, const QString& suffix) {
    const QString extension = "." + suffix;
    if (path.endsWith(extension, Qt::CaseInsensitive)) {
        return path;
    }
    return path + extension;
}

using FilePanelDidEnd = std::function<void(int returnCode, const QString& path)>;

// A panel titled `title` for files with the extension `suffix` (no dot). A save panel proposes
// `proposedName` (none when empty) and reports a path that ends in the extension.
inline QFileDialog* beginFilePanel(QWidget* window, QFileDialog::AcceptMode mode,
                                   const QString& title, const QString& suffix,
                                   const QString& filterName, const QString& proposedName,
                                   FilePanelDidEnd didEnd) {
    auto* panel = new QFileDialog(window);
    panel->setWindowModality(Qt::WindowModal);
    panel->setWindowTitle(title);
    panel->setAcceptMode(mode);
    panel->setNameFilter(QString("%1 (*.%2)").arg(filterName, suffix));
    if (mode == QFileDialog::AcceptSave) {
        panel->setFileMode(QFileDialog::AnyFile);
        panel->setDefaultSuffix(suffix);
        if (!proposedName.isEmpty()) {
            panel->selectFile(proposedName);
        }
    } else {
        panel->setFileMode(QFileDialog::ExistingFile);
    }
    QObject::connect(panel, &QDialog::finished, panel,
                     [panel, suffix, didEnd = std::move(didEnd)](int returnCode) {
                         QString path = panel->selectedFiles().value(0);
                         if (panel->acceptMode() == QFileDialog::AcceptSave && !path.isEmpty()) {
                             path = withFileExtension(path, suffix);
                         }
                         panel->deleteLater();
                         didEnd(returnCode == QDialog::Accepted ? 1 : 0, path);
                     });
    panel->open();
    return panel;
}

} // namespace tavrel::app
