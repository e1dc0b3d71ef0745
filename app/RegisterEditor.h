// The register editor: every change of the register collection that the user can take back goes
// through here as one step of an undo stack. A cell's field typed in, registers inserted, deleted,
// duplicated or pasted, and the whole collection replaced by an opened file or a download: each
// is kept as the registers it changed, before and after (files::RegisterChanges), and applied
// through the table model so that the table redraws only what changed.
//
// The stack's clean state is the collection as last opened or saved: the window's modified mark
// and the save prompt follow it.
#pragma once

#include "RegisterChanges.h"
#include "RegisterCollection.h"
#include "RegisterFieldInput.h"

#include <QObject>
#include <QString>

#include <functional>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QUndoStack;

namespace tavrel::app {

class RegisterTableModel;

class RegisterEditor : public QObject {
    Q_OBJECT

  public:
    // Undo steps kept; the oldest goes when a new one comes.
    static constexpr int UndoLimit = 100;

    RegisterEditor(RegisterTableModel* model, QObject* parent = nullptr);

    QUndoStack* undoStack() const { return _undoStack; }
    const files::RegisterCollection& registers() const;

    // What an edited time is checked against besides the wire's own limits: the table's rate,
    // which its durations are counted at too.
    records::FrameRate frameRate() const;
    void setFrameRate(records::FrameRate rate);

    // Puts `text` typed in its editor into one field (RegisterTableModel::Line) of register
    // `number`'s `machine`. Text the field cannot take is refused with the reason in *reason and
    // nothing changes; the field's own text, or a value equal to the one held, changes nothing
    // either.
    bool editField(int32_t number, int machine, int line, const QString& text, QString* reason);
    // The same for a pasted value, as bytes: a clip name keeps every byte a register file's clip
    // name may hold (records::ClipBytes::Pasted).
    bool pasteField(int32_t number, int machine, int line, const std::string& bytes,
                    QString* reason);
    // Empties one field: a time becomes unset, a clip name no clip. An empty field stays as it is.
    void clearField(int32_t number, int machine, int line);
    // Stores `items` under their numbers, replacing registers of those numbers.
    void store(std::vector<files::RegisterCollection::Item> items, const QString& text);
    // Removes the registers `numbers` (numbers not in the collection are ignored).
    void remove(const std::vector<int32_t>& numbers, const QString& text);
    // Puts `registers` in place of the whole collection.
    // `follow`, when given, goes with the step: called with true when the step is redone and
    // false when it is undone (not when it is first done), so that what belongs to the table,
    // such as the file it came from, follows it.
    void replaceAll(files::RegisterCollection registers, const QString& text,
                    std::function<void(bool redone)> follow = {});
    // Records as one step a replacement the table has already gone through (a download stores
    // register by register as they arrive): undoing it brings back `before`.
    void recordReplacement(const files::RegisterCollection& before, const QString& text);

    // Applies one way of a step to the table (the undo stack's commands call it).
    void applyChanges(const files::RegisterChangeSide& side);

  signals:
    // A step was done, undone or redone; `numbers` are the registers it stored (ascending).
    void changesApplied(const std::vector<int32_t>& numbers);

  private:
    // Puts `value` into the field as editField and pasteField do; `allowed` are a clip name's
    // bytes.
    bool _putField(int32_t number, int machine, int line, std::string_view value,
                   records::ClipBytes allowed, QString* reason);
    // Pushes register `number` as `entry` with the undo text "<verb> <field> of <register>".
    void _pushField(int32_t number, records::RegisterEntry entry, const QString& verb, int machine,
                    int line);
    void _push(files::RegisterChanges changes, const QString& text, bool alreadyApplied = false,
               std::function<void(bool redone)> follow = {});

    RegisterTableModel* _model;
    QUndoStack* _undoStack;
};

} // namespace tavrel::app
