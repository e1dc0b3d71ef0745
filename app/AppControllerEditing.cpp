// The Edit menu and the table's context menu: undo and redo, the clipboard, and registers as a
// whole (insert, delete, duplicate, go to). Every change goes through the register editor, so
// each is one undo step; the commands wait while a transfer runs.
#include "Alerts.h"
#include "AppController.h"
#include "DeviceJobs.h"
#include "ProgressSheet.h"

#include "RangeSheet.h"
#include "RegisterCellDelegate.h"
#include "RegisterClipboardText.h"
#include "RegisterEditor.h"
#include "RegisterLabelText.h"
#include "RegisterNumberDialog.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
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
using records::FrameRate;
using records::frameRateFromName;
using records::frameRateName;
using records::RegisterEntry;

namespace {

// Spreadsheets offer and take this type besides plain text.
constexpr const char* TabSeparatedMimeType = "text/tab-separated-values";
// The most register numbers an alert lists by name.
constexpr size_t NamedRegisterLimit = 5;

// "Register 012" for one, "3 Registers" for more: how the undo texts count registers.
QString registersText(const std::vector<int32_t>& numbers) {
    return numbers.size() == 1 ? QObject::tr("Register %1").arg(registerLabelText(numbers.front()))
                               : QObject::tr("%1 Registers").arg(numbers.size());
}

// "012, 013 and 020", or the first few and how many more.
QString numberList(const std::vector<int32_t>& numbers) {
    QStringList names;
    for (size_t i = 0; i < numbers.size() && i < NamedRegisterLimit; ++i) {
        names << registerLabelText(numbers[i]);
    }
    if (numbers.size() > NamedRegisterLimit) {
        return QObject::tr("%1 and %2 more")
            .arg(names.join(", "))
            .arg(numbers.size() - NamedRegisterLimit);
    }
    if (names.size() == 1) {
        return names.front();
    }
    const QString last = names.takeLast();
    return QObject::tr("%1 and %2").arg(names.join(", "), last);
}

std::vector<int32_t> numbersOf(const std::vector<RegisterCollection::Item>& items) {
    std::vector<int32_t> numbers;
    numbers.reserve(items.size());
    for (const auto& item : items) {
        numbers.push_back(item.first);
    }
    return numbers;
}

// The numbers among `numbers` that `registers` holds already.
std::vector<int32_t> existingNumbers(const RegisterCollection& registers,
                                     const std::vector<int32_t>& numbers) {
    std::vector<int32_t> existing;
    for (const int32_t number : numbers) {
        if (registers.find(number) != nullptr) {
            existing.push_back(number);
        }
    }
    return existing;
}

// The numbers among `numbers` (ascending) that are not among `existing` (ascending).
std::vector<int32_t> addedNumbers(const std::vector<int32_t>& numbers,
                                  const std::vector<int32_t>& existing) {
    std::vector<int32_t> added;
    std::set_difference(numbers.begin(), numbers.end(), existing.begin(), existing.end(),
                        std::back_inserter(added));
    return added;
}

// Asks before registers are replaced: "Replace register 009?", "Replace 2 registers?", and with
// registers added as well "Replace register 009 and add register 040?" or "Replace 2 registers
// and add 1,998?".
QString replaceQuestion(const std::vector<int32_t>& existing, const std::vector<int32_t>& added) {
    const bool one = existing.size() == 1;
    if (added.empty()) {
        return one ? QObject::tr("Replace register %1?").arg(registerLabelText(existing.front()))
                   : QObject::tr("Replace %1 registers?").arg(existing.size());
    }
    const QString replace =
        one ? QObject::tr("Replace register %1").arg(registerLabelText(existing.front()))
            : QObject::tr("Replace %L1 registers").arg(existing.size());
    return added.size() == 1 ? QObject::tr("%1 and add register %2?")
                                   .arg(replace, registerLabelText(added.front()))
                             : QObject::tr("%1 and add %L2?").arg(replace).arg(added.size());
}

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

// ---- Construction ------------------------------------------------------------------------------

void AppController::_createEditActions() {
    undoAction = _makeAction(tr("Undo"), QKeySequence::Undo, &AppController::undo);
    redoAction = _makeAction(tr("Redo"), QKeySequence::Redo, &AppController::redo);
    cutAction = _makeAction(tr("Cut"), QKeySequence::Cut, &AppController::cutRegisters);
    copyAction = _makeAction(tr("Copy"), QKeySequence::Copy, &AppController::copyRegisters);
    copyFieldAction =
        _makeAction(tr("Copy Field"), QKeySequence("Ctrl+Shift+C"), &AppController::copyField);
    pasteAction = _makeAction(tr("Paste"), QKeySequence::Paste, &AppController::paste);
    deleteAction = _makeAction(tr("Delete"), QKeySequence::Delete, &AppController::deleteSelection);
    insertRegisterAction = _makeAction(tr("Insert Register..."), QKeySequence(Qt::Key_Insert),
                                       &AppController::insertRegister);
    duplicateAction = _makeAction(tr("Duplicate To..."), QKeySequence("Ctrl+Shift+R"),
                                  &AppController::duplicateRegisters);
    goToRegisterAction =
        _makeAction(tr("Go to Register..."), QKeySequence("Ctrl+G"), &AppController::goToRegister);
    selectAllAction =
        _makeAction(tr("Select All"), QKeySequence::SelectAll, &AppController::selectAllRegisters);

    frameRateActions = new QActionGroup(this);
    const FrameRate chosen =
        frameRateFromName(QSettings().value(FrameRateKey).toString().toStdString());
    for (const FrameRate rate :
         {FrameRate::WireLimits, FrameRate::Fps24, FrameRate::Fps25, FrameRate::Fps30}) {
        const QString name = QString::fromLatin1(frameRateName(rate));
        auto* action = new QAction(rate == FrameRate::WireLimits ? name : tr("%1 fps").arg(name),
                                   frameRateActions);
        action->setCheckable(true);
        action->setChecked(rate == chosen);
        action->setData(name);
        // The checked rate, however it became checked (the menu, an assistive technology, code).
        connect(action, &QAction::toggled, this, [this, action](bool checked) {
            if (checked) {
                selectFrameRate(action);
            }
        });
    }
    _editor->setFrameRate(chosen);

    QUndoStack* stack = _editor->undoStack();
    connect(stack, &QUndoStack::indexChanged, this, [this] { validateActions(); });
    connect(stack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        mainWindow->setWindowModified(!clean);
        validateActions(); // Save follows unsaved changes
    });
    connect(_editor, &RegisterEditor::changesApplied, this,
            [this](const std::vector<int32_t>& numbers) {
                _selectRegisters(numbers);
                validateActions();
            });
    connect(registerTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { validateActions(); });
    connect(registerTable->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { validateActions(); });

    auto* delegate = static_cast<RegisterCellDelegate*>(registerTable->itemDelegate());
    delegate->setFieldCommitter(
        [this](const QModelIndex& index, int line, const QString& text, QString* reason) {
            return _commitField(index, line, text, reason);
        });
    registerTable->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(registerTable, &QWidget::customContextMenuRequested, this,
            &AppController::_showTableContextMenu);
}

QMenu* AppController::_createEditMenu() {
    QMenu* menu = mainWindow->menuBar()->addMenu(tr("&Edit"));
    menu->addActions({undoAction, redoAction});
    menu->addSeparator();
    menu->addActions({cutAction, copyAction, copyFieldAction, pasteAction, deleteAction});
    menu->addSeparator();
    menu->addActions({insertRegisterAction, duplicateAction, goToRegisterAction, selectAllAction});
    menu->addSeparator();
    QMenu* rates = menu->addMenu(tr("Frame Rate"));
    rates->addActions(frameRateActions->actions());
    connect(menu, &QMenu::aboutToShow, this, &AppController::validateActions);
    return menu;
}

void AppController::_showTableContextMenu(const QPoint& position) {
    // The menu acts on what was clicked. A register that is not selected is selected first, as
    // file managers do; below the rows there is no register, and nothing stays selected or
    // current for the menu to act on out of sight.
    QItemSelectionModel* selection = registerTable->selectionModel();
    const QModelIndex clicked = registerTable->indexAt(position);
    if (!clicked.isValid()) {
        selection->clear();
    } else if (!selection->isRowSelected(clicked.row(), {})) {
        selection->setCurrentIndex(clicked, QItemSelectionModel::NoUpdate);
        _selectRegisters({_tableModel->registers().numberAt(static_cast<size_t>(clicked.row()))});
    }
    validateActions();
    QMenu menu(registerTable);
    menu.addActions({cutAction, copyAction, copyFieldAction, pasteAction, deleteAction});
    menu.addSeparator();
    menu.addActions({insertRegisterAction, duplicateAction});
    menu.addSeparator();
    QAction* compare =
        menu.addAction(tr("Compare with Device"), this, &AppController::compareSelectedWithDevice);
    compare->setEnabled(commandEnabled(Command::CompareSelected, _commandState()));
    menu.exec(registerTable->viewport()->mapToGlobal(position));
}

// ---- Enabling ----------------------------------------------------------------------------------

bool AppController::_transferRunning() const {
    return _jobs->running();
}

// ---- Selection ---------------------------------------------------------------------------------

std::vector<int32_t> AppController::_selectedRegisterNumbers() const {
    // Walks the selection's ranges: asking for the selected rows compares every row with every
    // range, which a thousand scattered registers make slow.
    std::vector<int32_t> numbers;
    const RegisterCollection& registers = _tableModel->registers();
    for (const QItemSelectionRange& range : registerTable->selectionModel()->selection()) {
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

bool AppController::_wholeRegistersSelected() const {
    const QModelIndex current = registerTable->currentIndex();
    return registerTable->selectionModel()->hasSelection() &&
           (registerTable->registersChosen() || !current.isValid() ||
            RegisterTableModel::machineOfColumn(current.column()) < 0);
}

void AppController::_selectRegisters(const std::vector<int32_t>& numbers) {
    QItemSelection selection;
    int first = -1;
    for (const int32_t number : numbers) {
        const int row = _tableModel->rowOfRegister(number);
        if (row < 0) {
            continue;
        }
        first = first < 0 ? row : first;
        // Consecutive rows make one range: a selection of thousands stays cheap.
        if (!selection.isEmpty() && selection.back().bottom() == row - 1) {
            const QItemSelectionRange last = selection.takeLast();
            selection.append(QItemSelectionRange(last.topLeft(), _tableModel->index(row, 0)));
        } else {
            selection.append(QItemSelectionRange(_tableModel->index(row, 0)));
        }
    }
    if (first < 0) {
        return;
    }
    QItemSelectionModel* model = registerTable->selectionModel();
    const QModelIndex current = model->currentIndex();
    if (current.row() != first) {
        const int column = current.isValid() ? current.column() : RegisterTableModel::AColumn;
        model->setCurrentIndex(_tableModel->index(first, column), QItemSelectionModel::NoUpdate);
    }
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    registerTable->scrollTo(model->currentIndex());
}

void AppController::selectAllRegisters() {
    registerTable->selectAll();
}

// ---- Fields ------------------------------------------------------------------------------------

bool AppController::_commitField(const QModelIndex& index, int line, const QString& text,
                                 QString* reason) {
    const RegisterCollection& registers = _tableModel->registers();
    const int machine = RegisterTableModel::machineOfColumn(index.column());
    if (_transferRunning() || machine < 0 || index.row() < 0 ||
        static_cast<size_t>(index.row()) >= registers.size()) {
        return true; // nothing to put it in: the editor just closes
    }
    return _editor->editField(registers.numberAt(static_cast<size_t>(index.row())), machine, line,
                              text, reason);
}

void AppController::copyField() {
    const QModelIndex current = registerTable->currentIndex();
    const int machine = RegisterTableModel::machineOfColumn(current.column());
    if (machine < 0) {
        return;
    }
    QGuiApplication::clipboard()->setText(QString::fromUtf8(files::clipboardFieldText(
        _tableModel->fieldBytes(current.row(), machine, registerTable->currentLine()))));
}

// ---- Undo and redo -----------------------------------------------------------------------------

void AppController::undo() {
    if (!_transferRunning()) {
        _editor->undoStack()->undo();
    }
}

void AppController::redo() {
    if (!_transferRunning()) {
        _editor->undoStack()->redo();
    }
}

// ---- Clipboard ---------------------------------------------------------------------------------

void AppController::copyRegisters() {
    std::vector<RegisterCollection::Item> items;
    for (const int32_t number : _selectedRegisterNumbers()) {
        items.emplace_back(number, *_tableModel->registers().find(number));
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

void AppController::cutRegisters() {
    const std::vector<int32_t> numbers = _selectedRegisterNumbers();
    if (numbers.empty()) {
        return;
    }
    copyRegisters();
    _editor->remove(numbers, tr("Cut %1").arg(registersText(numbers)));
}

void AppController::paste() {
    if (_transferRunning()) {
        return;
    }
    const QByteArray clipboard = clipboardText();
    const std::string_view text(clipboard.constData(), static_cast<size_t>(clipboard.size()));
    const QModelIndex current = registerTable->currentIndex();
    const int machine = RegisterTableModel::machineOfColumn(current.column());
    if (machine >= 0 && files::isClipboardField(text)) {
        const int line = registerTable->currentLine();
        const int32_t number =
            _tableModel->registers().numberAt(static_cast<size_t>(current.row()));
        std::string bytes;
        ClipboardProblem problem;
        QString reason;
        if (!files::parseClipboardField(text, &bytes, &problem)) {
            reason =
                tr("\"%1\" does not fit in one byte.").arg(QString::fromUtf8(problem.character));
        } else if (_editor->pasteField(number, machine, line, bytes, &reason)) {
            return;
        }
        _beginAlertSheet(
            tr("The clipboard's text cannot go into %1 of %2")
                .arg(RegisterTableModel::fieldName(machine, line), registerLabelText(number)),
            reason, true);
        return;
    }
    std::vector<RegisterCollection::Item> items;
    ClipboardProblem problem;
    if (!parseRegisterClipboard(text, &items, &problem)) {
        _beginAlertSheet(tr("The clipboard's text cannot be pasted as registers"),
                         pasteRefusal(problem, clipboard.size()), true);
        return;
    }
    const std::vector<int32_t> numbers = numbersOf(items);
    const QString stepText = tr("Paste %1").arg(registersText(numbers));
    auto store = [this, items = std::move(items), stepText]() mutable {
        _editor->store(std::move(items), stepText);
    };
    const std::vector<int32_t> existing = existingNumbers(_tableModel->registers(), numbers);
    if (existing.empty()) {
        store();
        return;
    }
    const std::vector<int32_t> added = addedNumbers(numbers, existing);
    _beginQuestionSheet(
        replaceQuestion(existing, added),
        added.empty()
            ? tr("The table holds %1 already. Pasting replaces them.").arg(numberList(existing))
            : tr("The table holds %1 already. Pasting replaces them and adds %2.")
                  .arg(numberList(existing), numberList(added)),
        tr("Replace"), std::move(store));
}

// ---- Registers as a whole ----------------------------------------------------------------------

void AppController::deleteSelection() {
    if (_transferRunning()) {
        return;
    }
    if (_wholeRegistersSelected()) {
        deleteRegisters();
        return;
    }
    const QModelIndex current = registerTable->currentIndex();
    const int machine = RegisterTableModel::machineOfColumn(current.column());
    if (machine >= 0) {
        _editor->clearField(_tableModel->registers().numberAt(static_cast<size_t>(current.row())),
                            machine, registerTable->currentLine());
    }
}

void AppController::deleteRegisters() {
    const std::vector<int32_t> numbers = _selectedRegisterNumbers();
    if (numbers.empty() || _transferRunning()) {
        return;
    }
    _editor->remove(numbers, tr("Delete %1").arg(registersText(numbers)));
}

void AppController::insertRegister() {
    // The first free number after the selection (or from 0) is offered.
    const std::vector<int32_t> selected = _selectedRegisterNumbers();
    int32_t proposed = selected.empty() ? 0 : selected.back() + 1;
    while (proposed < HighestRegisterNumber && _tableModel->rowOfRegister(proposed) >= 0) {
        ++proposed;
    }
    proposed = std::min(proposed, HighestRegisterNumber);
    askRegisterNumber(mainWindow, tr("Insert Register"), tr("Number of the new register:"),
                      tr("Insert"), proposed, [this](int32_t number) {
                          if (_tableModel->registers().find(number) != nullptr) {
                              _beginAlertSheet(
                                  tr("Register %1 already exists").arg(registerLabelText(number)),
                                  tr("Choose a number that is not in the table."), true);
                              return;
                          }
                          _editor->store({{number, records::blankRegisterEntry()}},
                                         tr("Insert Register %1").arg(registerLabelText(number)));
                      });
}

void AppController::duplicateRegisters() {
    const std::vector<int32_t> numbers = _selectedRegisterNumbers();
    if (numbers.empty()) {
        return;
    }
    askRegisterNumber(
        mainWindow, tr("Duplicate To"),
        tr("Copy %1 to registers starting at:").arg(registersText(numbers).toLower()),
        tr("Duplicate"), std::min(numbers.back() + 1, HighestRegisterNumber),
        [this, numbers](int32_t first) {
            // The copies keep their spacing: the lowest goes to `first`.
            if (int64_t{first} + (numbers.back() - numbers.front()) > HighestRegisterNumber) {
                _beginAlertSheet(
                    tr("The copies would go past register %1").arg(HighestRegisterNumber),
                    tr("Choose a lower first number."), true);
                return;
            }
            std::vector<RegisterCollection::Item> copies;
            for (const int32_t number : numbers) {
                copies.emplace_back(first + (number - numbers.front()),
                                    *_tableModel->registers().find(number));
            }
            const std::vector<int32_t> targets = numbersOf(copies);
            const QString stepText = tr("Duplicate %1").arg(registersText(numbers));
            auto store = [this, copies = std::move(copies), stepText]() mutable {
                _editor->store(std::move(copies), stepText);
            };
            const std::vector<int32_t> existing =
                existingNumbers(_tableModel->registers(), targets);
            if (existing.empty()) {
                store();
                return;
            }
            _beginQuestionSheet(replaceQuestion(existing, {}),
                                tr("The table holds %1 already. The copies replace them.")
                                    .arg(numberList(existing)),
                                tr("Replace"), std::move(store));
        });
}

void AppController::goToRegister() {
    const std::vector<int32_t> selected = _selectedRegisterNumbers();
    askRegisterNumber(
        mainWindow, tr("Go to Register"), tr("Register number:"), tr("Go"),
        selected.empty() ? 0 : selected.front(), [this](int32_t number) {
            if (_tableModel->rowOfRegister(number) < 0) {
                _beginAlertSheet(
                    tr("Register %1 is not in the table").arg(registerLabelText(number)),
                    tr("Download it or insert it first."), true);
                return;
            }
            _selectRegisters({number});
        });
}

void AppController::selectFrameRate(QAction* action) {
    const QString name = action->data().toString();
    QSettings().setValue(FrameRateKey, name);
    _editor->setFrameRate(frameRateFromName(name.toStdString()));
}

// ---- Questions ---------------------------------------------------------------------------------

void AppController::_beginQuestionSheet(const QString& messageText, const QString& informativeText,
                                        const QString& acceptTitle,
                                        std::function<void()> accepted) {
    _alerts->ask(messageText, informativeText, acceptTitle, std::move(accepted));
}

} // namespace tavrel::app
