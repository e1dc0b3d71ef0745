#include "RegisterEditor.h"

#include "LibraryTexts.h"
#include "RegisterLabelText.h"
#include "RegisterTableModel.h"

#include <QUndoCommand>
#include <QUndoStack>

#include <utility>

namespace tavrel::app {

using files::RegisterChanges;
using files::RegisterChangeSide;
using files::RegisterCollection;
using records::ClipBytes;
using records::RegisterEntry;
using records::VRG500_register;
using records::VRG500_registerTime;
using records::VRG500_registerTimes;

namespace {

// One step of the stack: the registers it changed, applied forward on redo and back on undo.
class RegisterChangeCommand : public QUndoCommand {
  public:
    RegisterChangeCommand(RegisterEditor* editor, RegisterChanges changes, const QString& text,
                          bool alreadyApplied, std::function<void(bool redone)> follow)
        : QUndoCommand(text), _editor(editor), _changes(std::move(changes)),
          _skipFirstRedo(alreadyApplied), _follow(std::move(follow)) {}

    void redo() override {
        if (std::exchange(_skipFirstRedo, false)) {
            return;
        }
        _editor->applyChanges(_changes.forward());
        if (_follow) {
            _follow(true);
        }
    }
    void undo() override {
        _editor->applyChanges(_changes.backward());
        if (_follow) {
            _follow(false);
        }
    }

  private:
    RegisterEditor* _editor;
    RegisterChanges _changes;
    bool _skipFirstRedo;
    std::function<void(bool redone)> _follow;
};

VRG500_registerTime* fieldTime(VRG500_register& reg, int machine, int line) {
    return &(reg.*VRG500_registerTimes[machine * 2 + (line == RegisterTableModel::OutLine)]);
}

} // namespace

RegisterEditor::RegisterEditor(RegisterTableModel* model, QObject* parent)
    : QObject(parent), _model(model), _undoStack(new QUndoStack(this)) {
    _undoStack->setUndoLimit(UndoLimit);
}

const RegisterCollection& RegisterEditor::registers() const {
    return _model->registers();
}

records::FrameRate RegisterEditor::frameRate() const {
    return _model->frameRate();
}

void RegisterEditor::setFrameRate(records::FrameRate rate) {
    _model->setFrameRate(rate);
}

bool RegisterEditor::editField(int32_t number, int machine, int line, const QString& text,
                               QString* reason) {
    const int row = _model->rowOfRegister(number);
    if (row >= 0 && machine >= 0 && machine < RegisterTableModel::MachineCount &&
        text == _model->fieldText(row, machine, line)) {
        return true;
    }
    return _putField(number, machine, line, text.toStdString(), ClipBytes::PrintableAscii, reason);
}

bool RegisterEditor::pasteField(int32_t number, int machine, int line, const std::string& bytes,
                                QString* reason) {
    return _putField(number, machine, line, bytes, ClipBytes::Pasted, reason);
}

bool RegisterEditor::_putField(int32_t number, int machine, int line, std::string_view value,
                               ClipBytes allowed, QString* reason) {
    const RegisterEntry* found = registers().find(number);
    if (found == nullptr || machine < 0 || machine >= RegisterTableModel::MachineCount) {
        return false;
    }
    RegisterEntry entry = *found;
    std::string why;
    if (line == RegisterTableModel::ClipLine) {
        if (!records::parseClipInput(value, &entry.clips[static_cast<size_t>(machine)], &why,
                                     allowed)) {
            *reason = translatedLibraryText(why);
            return false;
        }
    } else {
        VRG500_registerTime* time = fieldTime(entry.reg, machine, line);
        VRG500_registerTime typedTime = *time;
        if (!records::parseTimeInput(value, frameRate(), &typedTime, &why)) {
            *reason = translatedLibraryText(why);
            return false;
        }
        // A null time keeps the numbers the device gave it unless the user changes its notation.
        const bool sameNull = typedTime.isNull != 0 && time->isNull != 0 &&
                              (typedTime.dropFrame != 0) == (time->dropFrame != 0);
        if (!sameNull) {
            *time = typedTime;
        }
    }
    _pushField(number, std::move(entry), tr("Edit %1 of %2"), machine, line);
    return true;
}

void RegisterEditor::clearField(int32_t number, int machine, int line) {
    const RegisterEntry* found = registers().find(number);
    if (found == nullptr || machine < 0 || machine >= RegisterTableModel::MachineCount) {
        return;
    }
    RegisterEntry entry = *found;
    if (line == RegisterTableModel::ClipLine) {
        entry.clips[static_cast<size_t>(machine)] = records::NoClipName;
    } else if (VRG500_registerTime* time = fieldTime(entry.reg, machine, line); !time->isNull) {
        *time = VRG500_registerTime{};
        time->isNull = 1;
    }
    _pushField(number, std::move(entry), tr("Clear %1 of %2"), machine, line);
}

void RegisterEditor::_pushField(int32_t number, RegisterEntry entry, const QString& verb,
                                int machine, int line) {
    const QString name = registerLabelText(number);
    _push(RegisterChanges::storing(registers(), {{number, std::move(entry)}}),
          verb.arg(RegisterTableModel::fieldName(machine, line), name));
}

void RegisterEditor::store(std::vector<RegisterCollection::Item> items, const QString& text) {
    _push(RegisterChanges::storing(registers(), std::move(items)), text);
}

void RegisterEditor::remove(const std::vector<int32_t>& numbers, const QString& text) {
    _push(RegisterChanges::removing(registers(), numbers), text);
}

void RegisterEditor::replaceAll(RegisterCollection collection, const QString& text,
                                std::function<void(bool redone)> follow) {
    RegisterChanges changes = RegisterChanges::between(registers(), collection);
    // The model takes the new collection whole: cheaper than applying every difference.
    _model->replaceRegisters(std::move(collection));
    _push(std::move(changes), text, true, std::move(follow));
    emit changesApplied({});
}

void RegisterEditor::recordReplacement(const RegisterCollection& before, const QString& text) {
    _push(RegisterChanges::between(before, registers()), text, true);
}

void RegisterEditor::applyChanges(const RegisterChangeSide& side) {
    _model->applyChanges(side);
    std::vector<int32_t> numbers;
    numbers.reserve(side.stored.size());
    for (const auto& item : side.stored) {
        numbers.push_back(item.first);
    }
    emit changesApplied(numbers);
}

void RegisterEditor::_push(RegisterChanges changes, const QString& text, bool alreadyApplied,
                           std::function<void(bool redone)> follow) {
    // A step that changes no register is kept only for what follows it (an opened file that
    // holds the table's registers still makes it that file's).
    if (changes.empty() && !follow) {
        return;
    }
    _undoStack->push(new RegisterChangeCommand(this, std::move(changes), text, alreadyApplied,
                                               std::move(follow)));
}

} // namespace tavrel::app
