// The Edit menu's commands and the table's context menu's: undo and redo, the clipboard, and
// registers as a whole (insert, delete, duplicate, go to). Every change goes through the register
// editor, so each is one undo step; the commands wait while a device job runs.
#include "EditCommands.h"

#include "Alerts.h"
#include "RegisterClipboardText.h"
#include "RegisterEditor.h"
#include "RegisterLabelText.h"
#include "RegisterNumberDialog.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"
#include "ReplacingRegisters.h"
#include "VRG500.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QUndoStack>

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

namespace tavrel::app {

using files::ClipboardProblem;
using files::parseRegisterClipboard;
using files::RegisterClipboardLimit;
using files::RegisterCollection;
using records::RegisterEntry;

namespace {

// Spreadsheets offer and take this type besides plain text.
constexpr const char* TabSeparatedMimeType = "text/tab-separated-values";
// The clipboard's text in UTF-8: plain text, or a spreadsheet's tab-separated values (UTF-8 as
// well: bytes that are not become U+FFFD, which is no byte of a register, and are refused).
QByteArray clipboardText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr) {
        return {};
    }
    if (data->hasText()) {
        return data->text().toUtf8();
    }
    return QString::fromUtf8(data->data(TabSeparatedMimeType)).toUtf8();
}

// Why pasted text cannot be registers.
QString pasteRefusal(const ClipboardProblem& problem, qsizetype textSize) {
    if (problem.line == 0) {
        return textSize > static_cast<qsizetype>(RegisterClipboardLimit)
                   ? QObject::tr("The clipboard holds more text than registers take.")
                   : QObject::tr("The clipboard holds no register lines.");
    }
    const QString line = QString::fromUtf8(problem.text);
    switch (problem.reason) {
    case ClipboardProblem::Reason::NotOneByte:
        return QObject::tr("Line %1 holds \"%2\", which does not fit in one byte: \"%3\"")
            .arg(problem.line)
            .arg(QString::fromUtf8(problem.character), line);
    case ClipboardProblem::Reason::NumberOutOfRange:
        return QObject::tr("Line %1 is register %2, outside 0 to %3: \"%4\"")
            .arg(problem.line)
            .arg(problem.number)
            .arg(HighestRegisterNumber)
            .arg(line);
    case ClipboardProblem::Reason::NotARegister:
        break;
    }
    return QObject::tr("Line %1 is not a register: \"%2\"").arg(problem.line).arg(line);
}

} // namespace

EditCommands::EditCommands(RegisterTableView* table, RegisterTableModel& model,
                           RegisterEditor& editor, Alerts& alerts, QWidget* window,
                           std::function<bool()> busy, QObject* parent)
    : QObject(parent), _table(table), _model(model), _editor(editor), _alerts(alerts),
      _window(window), _busy(std::move(busy)) {}

// ---- Selection ---------------------------------------------------------------------------------

std::vector<int32_t> EditCommands::selectedNumbers() const {
    // Walks the selection's ranges: asking for the selected rows compares every row with every
    // range, which a thousand scattered registers make slow.
    std::vector<int32_t> numbers;
    const RegisterCollection& registers = _model.registers();
    for (const QItemSelectionRange& range : _table->selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (row >= 0 && static_cast<size_t>(row) < registers.size()) {
                numbers.push_back(registers.numberAt(static_cast<size_t>(row)));
            }
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

bool EditCommands::wholeRegistersSelected() const {
    const QModelIndex current = _table->currentIndex();
    return _table->selectionModel()->hasSelection() &&
           (_table->registersChosen() || !current.isValid() ||
            RegisterTableModel::machineOfColumn(current.column()) < 0);
}

void EditCommands::selectClicked(const QModelIndex& clicked) {
    QItemSelectionModel* selection = _table->selectionModel();
    if (!clicked.isValid()) {
        selection->clear();
    } else if (!selection->isRowSelected(clicked.row(), {})) {
        selection->setCurrentIndex(clicked, QItemSelectionModel::NoUpdate);
        selectRegisters({_model.registers().numberAt(static_cast<size_t>(clicked.row()))});
    }
}

void EditCommands::selectRegisters(const std::vector<int32_t>& numbers) {
    QItemSelection selection;
    int first = -1;
    for (const int32_t number : numbers) {
        const int row = _model.rowOfRegister(number);
        if (row < 0) {
            continue;
        }
        first = first < 0 ? row : first;
        // Consecutive rows make one range: a selection of thousands stays cheap.
        if (!selection.isEmpty() && selection.back().bottom() == row - 1) {
            const QItemSelectionRange last = selection.takeLast();
            selection.append(QItemSelectionRange(last.topLeft(), _model.index(row, 0)));
        } else {
            selection.append(QItemSelectionRange(_model.index(row, 0)));
        }
    }
    if (first < 0) {
        return;
    }
    QItemSelectionModel* model = _table->selectionModel();
    const QModelIndex current = model->currentIndex();
    if (current.row() != first) {
        const int column = current.isValid() ? current.column() : RegisterTableModel::AColumn;
        model->setCurrentIndex(_model.index(first, column), QItemSelectionModel::NoUpdate);
    }
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    _table->scrollTo(model->currentIndex());
}

void EditCommands::selectAllRegisters() {
    _table->selectAll();
}

// ---- Fields ------------------------------------------------------------------------------------

bool EditCommands::commitField(const QModelIndex& index, int line, const QString& text,
                               QString* reason) {
    const RegisterCollection& registers = _model.registers();
    const int machine = RegisterTableModel::machineOfColumn(index.column());
    if (_busy() || machine < 0 || index.row() < 0 ||
        static_cast<size_t>(index.row()) >= registers.size()) {
        return true; // nothing to put it in: the editor just closes
    }
    return _editor.editField(registers.numberAt(static_cast<size_t>(index.row())), machine, line,
                             text, reason);
}

void EditCommands::copyField() {
    const QModelIndex current = _table->currentIndex();
    const int machine = RegisterTableModel::machineOfColumn(current.column());
    if (machine < 0) {
        return;
    }
    QGuiApplication::clipboard()->setText(QString::fromUtf8(files::clipboardFieldText(
        _model.fieldBytes(current.row(), machine, _table->currentLine()))));
}

// ---- Undo and redo -----------------------------------------------------------------------------

void EditCommands::undo() {
    if (!_busy()) {
        _editor.undoStack()->undo();
    }
}

void EditCommands::redo() {
    if (!_busy()) {
        _editor.undoStack()->redo();
    }
}

// ---- Clipboard ---------------------------------------------------------------------------------

void EditCommands::copyRegisters() {
    std::vector<RegisterCollection::Item> items;
    for (const int32_t number : selectedNumbers()) {
        items.emplace_back(number, *_model.registers().find(number));
    }
    if (items.empty()) {
        return;
    }
    auto* data = new QMimeData;
    data->setText(QString::fromUtf8(files::registerClipboardLines(items)));
    data->setData(TabSeparatedMimeType,
                  QByteArray::fromStdString(files::registerClipboardTabs(items)));
    QGuiApplication::clipboard()->setMimeData(data);
}

void EditCommands::cutRegisters() {
    const std::vector<int32_t> numbers = selectedNumbers();
    if (numbers.empty()) {
        return;
    }
    copyRegisters();
    _editor.remove(numbers, tr("Cut %1").arg(registersText(numbers)));
}

void EditCommands::paste() {
    if (_busy()) {
        return;
    }
    const QByteArray clipboard = clipboardText();
    const std::string_view text(clipboard.constData(), static_cast<size_t>(clipboard.size()));
    const QModelIndex current = _table->currentIndex();
    const int machine = RegisterTableModel::machineOfColumn(current.column());
    if (machine >= 0 && files::isClipboardField(text)) {
        const int line = _table->currentLine();
        const int32_t number = _model.registers().numberAt(static_cast<size_t>(current.row()));
        std::string bytes;
        ClipboardProblem problem;
        QString reason;
        if (!files::parseClipboardField(text, &bytes, &problem)) {
            reason =
                tr("\"%1\" does not fit in one byte.").arg(QString::fromUtf8(problem.character));
        } else if (_editor.pasteField(number, machine, line, bytes, &reason)) {
            return;
        }
        _alerts.show(
            tr("The clipboard's text cannot go into %1 of %2")
                .arg(RegisterTableModel::fieldName(machine, line), registerLabelText(number)),
            reason, true);
        return;
    }
    std::vector<RegisterCollection::Item> items;
    ClipboardProblem problem;
    if (!parseRegisterClipboard(text, &items, &problem)) {
        _alerts.show(tr("The clipboard's text cannot be pasted as registers"),
                     pasteRefusal(problem, clipboard.size()), true);
        return;
    }
    const std::vector<int32_t> numbers = numbersOf(items);
    const QString stepText = tr("Paste %1").arg(registersText(numbers));
    storeAskingBeforeReplacing(
        _alerts, _model.registers(), numbers,
        {tr("The table holds %1 already. Pasting replaces them."),
         tr("The table holds %1 already. Pasting replaces them and adds %2.")},
        [this, items = std::move(items), stepText]() mutable {
            _editor.store(std::move(items), stepText);
        });
}

// ---- Registers as a whole ----------------------------------------------------------------------

void EditCommands::deleteSelection() {
    if (_busy()) {
        return;
    }
    if (wholeRegistersSelected()) {
        deleteRegisters();
        return;
    }
    const QModelIndex current = _table->currentIndex();
    const int machine = RegisterTableModel::machineOfColumn(current.column());
    if (machine >= 0) {
        _editor.clearField(_model.registers().numberAt(static_cast<size_t>(current.row())), machine,
                           _table->currentLine());
    }
}

void EditCommands::deleteRegisters() {
    const std::vector<int32_t> numbers = selectedNumbers();
    if (numbers.empty() || _busy()) {
        return;
    }
    _editor.remove(numbers, tr("Delete %1").arg(registersText(numbers)));
}

void EditCommands::insertRegister() {
    // The first free number after the selection (or from 0) is offered.
    const std::vector<int32_t> selected = selectedNumbers();
    int32_t proposed = selected.empty() ? 0 : selected.back() + 1;
    while (proposed < records::HighestRegisterNumber && _model.rowOfRegister(proposed) >= 0) {
        ++proposed;
    }
    proposed = std::min(proposed, records::HighestRegisterNumber);
    askRegisterNumber(_window, tr("Insert Register"), tr("Number of the new register:"),
                      tr("Insert"), proposed, [this](int32_t number) {
                          if (_model.registers().find(number) != nullptr) {
                              _alerts.show(
                                  tr("Register %1 already exists").arg(registerLabelText(number)),
                                  tr("Choose a number that is not in the table."), true);
                              return;
                          }
                          _editor.store({{number, records::blankRegisterEntry()}},
                                        tr("Insert Register %1").arg(registerLabelText(number)));
                      });
}

void EditCommands::duplicateRegisters() {
    const std::vector<int32_t> numbers = selectedNumbers();
    if (numbers.empty()) {
        return;
    }
    askRegisterNumber(
        _window, tr("Duplicate To"),
        numbers.size() == 1
            ? tr("Copy register %1 to registers starting at:").arg(registerLabelText(numbers[0]))
            : tr("Copy %n registers to registers starting at:", nullptr,
                 static_cast<int>(numbers.size())),
        tr("Duplicate"), std::min(numbers.back() + 1, records::HighestRegisterNumber),
        [this, numbers](int32_t first) {
            // The copies keep their spacing: the lowest goes to `first`.
            if (int64_t{first} + (numbers.back() - numbers.front()) >
                records::HighestRegisterNumber) {
                _alerts.show(
                    tr("The copies would go past register %1").arg(records::HighestRegisterNumber),
                    tr("Choose a lower first number."), true);
                return;
            }
            std::vector<RegisterCollection::Item> copies;
            for (const int32_t number : numbers) {
                copies.emplace_back(first + (number - numbers.front()),
                                    *_model.registers().find(number));
            }
            const std::vector<int32_t> targets = numbersOf(copies);
            const QString stepText = tr("Duplicate %1").arg(registersText(numbers));
            auto store = [this, copies = std::move(copies), stepText]() mutable {
                _editor.store(std::move(copies), stepText);
            };
            const std::vector<int32_t> existing = existingNumbers(_model.registers(), targets);
            if (existing.empty()) {
                store();
                return;
            }
            _alerts.ask(replaceQuestion(existing, {}),
                        tr("The table holds %1 already. The copies replace them.")
                            .arg(numberList(existing)),
                        tr("Replace"), std::move(store));
        });
}

void EditCommands::goToRegister() {
    const std::vector<int32_t> selected = selectedNumbers();
    askRegisterNumber(
        _window, tr("Go to Register"), tr("Register number:"), tr("Go"),
        selected.empty() ? 0 : selected.front(), [this](int32_t number) {
            if (_model.rowOfRegister(number) < 0) {
                _alerts.show(tr("Register %1 is not in the table").arg(registerLabelText(number)),
                             tr("Download it or insert it first."), true);
                return;
            }
            selectRegisters({number});
        });
}

} // namespace tavrel::app
