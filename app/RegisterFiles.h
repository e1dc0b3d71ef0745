// New, Open, Close, Save and Save As of vg2 register files, and the question before unsaved changes
// could be lost. Open asks about unsaved changes first, then for the file, which is read once its
// panel has gone: the table becomes the file's as one undo step, or an alert says why it could not
// be read. New and Close ask the same question and leave an empty, untitled table, as one undo
// step too, marked saved as an opened file is: undoing it gives back the registers and their file.
// Save writes the table to the file it is of, or asks for one as Save As does; either hands the
// open field editor's text to the table first. Save's command text follows whether the table is of
// a file.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QWidget;

namespace tavrel::app {

class Alerts;
class RegisterDocument;
class RegisterEditor;
class RegisterTableModel;

class RegisterFiles : public QObject {
    Q_OBJECT

  public:
    // Hands the open field editor's text to the table; false when it was refused (the editor
    // stays open with the reason, and the command stops).
    using CommitOpenField = std::function<bool()>;

    // The panels and alerts are window-modal on `window`; `saveAction` is Save's command.
    RegisterFiles(RegisterDocument& document, RegisterEditor& editor, RegisterTableModel& table,
                  Alerts& alerts, QWidget* window, QAction& saveAction,
                  CommitOpenField commitOpenField, QObject* parent);

    // Before what would lose unsaved changes: runs `then` at once when nothing is unsaved;
    // otherwise asks "Save changes to the registers?" and runs it after a successful save or on
    // Don't Save; Cancel drops it. The open field editor's text is handed to the table first.
    void askToSaveChanges(std::function<void()> then);
    void open();
    // Asks about unsaved changes, then reads `path` (Open Recent, a file dropped on the window).
    void open(const QString& path);
    // New and Close: asks about unsaved changes, then empties the table, of no file.
    void newDocument();
    void closeDocument();
    // Saves the table in its own file, or asks for one (as Save As) when it has none.
    void save();
    void saveAs();
    // Save, then `then` once the registers are written; dropped when the save fails or is
    // cancelled.
    void saveThen(std::function<void()> then);
    // What Open does once its panel has chosen `path`: the file is read after the events waiting
    // now.
    void openFile(const QString& path);
    // What Save As does once its panel has chosen `path`: the table is written there at once.
    void saveTo(const QString& path);

  signals:
    // A file was read into the table: the commands' enabling changes.
    void opened(const QString& path);
    // The table was written to `path`.
    void saved(const QString& path);

  private slots:
    // The document's file changed: Save follows it.
    void documentPathChanged();

  private:
    void showOpenPanel();
    void readFile(const QString& path);
    // The table emptied and of no file, as the undo step `stepText`.
    void emptyTable(const QString& stepText);

    RegisterDocument& _document;
    RegisterEditor& _editor;
    RegisterTableModel& _table;
    Alerts& _alerts;
    QWidget* _window;
    QAction& _saveAction;
    CommitOpenField _commitOpenField;
    // What waits for the save that saveThen started.
    std::function<void()> _afterSave;
};

} // namespace tavrel::app
