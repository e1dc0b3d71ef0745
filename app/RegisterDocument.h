// The register table as a document: the file it is of (its path, name and folder), whether it
// has unsaved changes (the undo history's clean state), the copy of them kept for recovery, and
// the question asked before they could be lost. The window uses it for its title, Save and every
// command that would replace the table.
#pragma once

#include "RegisterCollection.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QMessageBox;
class QTimer;
class QUndoStack;

namespace tavrel::app {

class RecoveryCopy;

class RegisterDocument : public QObject {
    Q_OBJECT

  public:
    using Registers = std::function<const files::RegisterCollection&()>;

    // The table's undo history and its registers; the recovery copies go to `recoveryFolder`.
    RegisterDocument(QUndoStack* history, Registers registers, const QString& recoveryFolder,
                     QObject* parent = nullptr);
    ~RegisterDocument() override;

    // The file's whole path, empty while the table is of no file.
    const QString& path() const { return _path; }
    // Its name ("show.vg2"), empty while untitled.
    QString fileName() const;
    // As the window's title shows it: the name, or "Untitled".
    QString title() const;
    bool isModified() const;
    // The table is the file at `path` now (empty: of none).
    void setPath(const QString& path);

    // Before unsaved changes could be lost: `then` goes on at once when there are none; else the
    // question "Save changes to the registers?" is asked in an alert `newAlert` makes. Save runs
    // `save` with `then` to go on once the registers are saved; Don't Save goes on; Cancel stays.
    void askToSaveChanges(
        const std::function<QMessageBox*(const QString& text, const QString& informativeText)>&
            newAlert,
        const std::function<void(std::function<void()> then)>& save, std::function<void()> then);

    // A signal is ending the application: the unsaved registers are kept now, every edit
    // included, and the copy's path returned once it is on disk (empty when none).
    QString keepRecoveryCopyNow();
    // The unsaved changes were given up on purpose (Don't Save, closing): no copy stays.
    void dropRecoveryCopy();
    const RecoveryCopy& recoveryCopy() const { return *_recovery; }

  signals:
    // The file the table is of changed.
    void pathChanged();

  private:
    void _keepRecoveryCopySoon();
    void _keepRecoveryCopy();

    QUndoStack* _history;
    Registers _registers;
    QString _path;
    std::unique_ptr<RecoveryCopy> _recovery;
    QTimer* _recoveryTimer;
};

} // namespace tavrel::app
