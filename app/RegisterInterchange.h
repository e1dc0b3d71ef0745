// File ▸ Export and File ▸ Import: the table's registers as an edit decision list for editing
// systems or as CSV for spreadsheets, and such files read into the table.
//
// Export hands the open field editor's text to the table first and writes every register of the
// table. An edit decision list counts at a real frame rate: the Frame Rate preference's (at 30,
// drop frame when the table's times are marked so), or one asked for when the preference is
// "wire limits only". Events that cannot be exported are listed before anything is written, and
// the rest are exported only when the user agrees.
//
// Import reads the whole file first, so nothing comes of a malformed one; it asks before it
// replaces registers the table holds, and stores the file's registers as one undo step. The
// table stays of its own file. The events of a list from an editing system become registers from
// a number the user chooses (a list Tavrel wrote names its own).
#pragma once

#include "EditDecisionListExport.h"
#include "RegisterCollection.h"
#include "RegisterFieldInput.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

namespace tavrel::app {

class Alerts;
class RegisterDocument;
class RegisterEditor;

class RegisterInterchange : public QObject {
    Q_OBJECT

  public:
    enum class Format { EditDecisionList, Csv };
    // Hands the open field editor's text to the table; false when it was refused.
    using CommitOpenField = std::function<bool()>;

    // The panels and alerts are window-modal on `window`.
    RegisterInterchange(RegisterEditor& editor, RegisterDocument& document, Alerts& alerts,
                        QWidget* window, CommitOpenField commitOpenField, QObject* parent);

    // The menu commands: they ask for what they need, then write or read.
    void exportRegisters(Format format);
    void importRegisters(Format format);

    // The edit decision list's frame rate for the Frame Rate preference `rate`; none for "wire
    // limits only", where the user is asked.
    static std::optional<files::EdlFrameRate>
    editDecisionListRate(records::FrameRate rate, const files::RegisterCollection& registers);

    // What the commands do once they know everything: write the table to `path`, leaving out
    // the events that cannot be exported at `rate`, or read `path` into the table.
    void exportTo(Format format, const QString& path, files::EdlFrameRate rate);
    void importFrom(Format format, const QString& path, int32_t firstRegister = 0);

  signals:
    void exported(const QString& path);

  private:
    void _exportEditDecisionList(files::EdlFrameRate rate);
    void _askForPath(Format format, files::EdlFrameRate rate);
    void _store(files::RegisterCollection registers, const QString& fileName);
    files::EdlExportSettings _edlSettings(files::EdlFrameRate rate) const;

    RegisterEditor& _editor;
    RegisterDocument& _document;
    Alerts& _alerts;
    QWidget* _window;
    CommitOpenField _commitOpenField;
};

} // namespace tavrel::app
