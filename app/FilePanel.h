// The open and save panels of the file commands: window-modal file dialogs on the main window
// that report through a did-end function with return code 1 (confirm) or 0 (cancel) and the
// first chosen path. Each panel deletes itself once it has reported.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
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

// The folder the last confirmed panel chose in; remembered across sessions.
inline constexpr const char* LastFolderKey = "Last Folder";

// The folder a panel starts in: that of the file it concerns (`concerned`, when there is one),
// else the last folder a panel was confirmed in, else the home folder; never the working folder
// by accident.
inline QString panelFolder(const QString& concerned) {
    if (!concerned.isEmpty()) {
        return QFileInfo(concerned).absolutePath();
    }
    const QString last = QSettings().value(LastFolderKey).toString();
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::homePath();
}

// Asks, as the panel asks for the name it was given, before a save replaces `path`: the panel
// never saw that name when the extension was added after the user chose. `answer` gets 1 for
// Replace, 0 for Cancel (the default).
inline void confirmReplacing(QWidget* window, const QString& path, FilePanelDidEnd answer) {
    auto* box = new QMessageBox(window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setIcon(QMessageBox::Warning);
    box->setTextFormat(Qt::PlainText);
    box->setText(QCoreApplication::translate("tavrel::app::FilePanel", "\"%1\" already exists.")
                     .arg(QFileInfo(path).fileName()));
    box->setInformativeText(
        QCoreApplication::translate("tavrel::app::FilePanel", "Do you want to replace it?"));
    QPushButton* replace = box->addButton(
        QCoreApplication::translate("tavrel::app::FilePanel", "Replace"), QMessageBox::AcceptRole);
    box->setDefaultButton(box->addButton(QMessageBox::Cancel));
    QObject::connect(box, &QMessageBox::finished, box,
                     [box, replace, path, answer = std::move(answer)](int) {
                         answer(box->clickedButton() == replace ? 1 : 0, path);
                     });
    box->open();
}

// A panel titled `title` for files with the extension `suffix` (no dot), starting in the folder
// panelFolder gives for `concerned`. A save panel proposes `proposedName` (none when empty) and
// reports a path that ends in the extension. A confirmed panel's folder is remembered.
inline QFileDialog* beginFilePanel(QWidget* window, QFileDialog::AcceptMode mode,
                                   const QString& title, const QString& suffix,
                                   const QString& filterName, const QString& proposedName,
                                   FilePanelDidEnd didEnd, const QString& concerned = QString()) {
    auto* panel = new QFileDialog(window);
    panel->setDirectory(panelFolder(concerned));
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
                     [window, panel, suffix, didEnd = std::move(didEnd)](int returnCode) {
                         const QString chosen = panel->selectedFiles().value(0);
                         QString path = chosen;
                         if (panel->acceptMode() == QFileDialog::AcceptSave && !path.isEmpty()) {
                             path = withFileExtension(path, suffix);
                         }
                         panel->deleteLater();
                         const bool confirmed = returnCode == QDialog::Accepted;
                         if (confirmed && !path.isEmpty()) {
                             QSettings().setValue(LastFolderKey, QFileInfo(path).absolutePath());
                         }
                         if (confirmed && path != chosen && QFileInfo::exists(path)) {
                             confirmReplacing(window, path, didEnd);
                             return;
                         }
                         didEnd(confirmed ? 1 : 0, path);
                     });
    panel->open();
    return panel;
}

} // namespace tavrel::app
