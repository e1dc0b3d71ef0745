#include "RegisterTableModel.h"

#include "RegisterFieldInput.h"
#include "RegisterLabelText.h"
#include "RegisterTimeText.h"

#include <algorithm>

namespace tavrel::app {

using files::RegisterCollection;
using records::DurationState;
using records::FrameRate;
using records::MachineDuration;
using records::NoClipName;
using records::RegisterEntry;
using records::stringForRegisterTime;
using records::VRG500_register;
using records::VRG500_registerTime;

namespace {

// Each machine's IN time, OUT time and clip name (index into the entry's clips).
struct MachineFields {
    VRG500_registerTime VRG500_register::*in;
    VRG500_registerTime VRG500_register::*out;
};
constexpr MachineFields Machines[4] = {
    {&VRG500_register::inA, &VRG500_register::outA},
    {&VRG500_register::inB, &VRG500_register::outB},
    {&VRG500_register::inC, &VRG500_register::outC},
    {&VRG500_register::inD, &VRG500_register::outD},
};

CellRun timeRun(const VRG500_registerTime& time) {
    return {QString::fromLatin1(stringForRegisterTime(time)), time.isNull == 0};
}

QString joined(const QList<CellRun>& runs) {
    QString text;
    for (const CellRun& run : runs) {
        text += run.text;
    }
    return text;
}

} // namespace

int RegisterTableModel::machineOfColumn(int column) {
    return column >= AColumn && column < ColumnCount ? column - AColumn : -1;
}

QString RegisterTableModel::fieldName(int machine, int line) {
    static const char* const lines[LineCount] = {"IN", "OUT", "CLIP"};
    return QString("%1 %2").arg(QChar('A' + machine)).arg(lines[line]);
}

const QStringList& RegisterTableModel::columnIdentifiers() {
    static const QStringList identifiers{"Register", "Label", "A", "B", "C", "D"};
    return identifiers;
}

RegisterTableModel::RegisterTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int RegisterTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(_registers.size());
}

int RegisterTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RegisterTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return joined(cellRuns(index));
    case Qt::AccessibleTextRole:
        return spokenText(index.row(), index.column());
    case Qt::ToolTipRole: {
        const QString duration = durationText(index.row(), machineOfColumn(index.column()));
        return duration.isEmpty() ? QVariant() : duration;
    }
    case Qt::AccessibleDescriptionRole:
        return machineOfColumn(index.column()) >= 0
                   ? tr("Up and Down choose IN, OUT or CLIP; F2 or typing edits it")
                   : QVariant();
    default:
        return {};
    }
}

QString RegisterTableModel::spokenText(int row, int column) const {
    if (row < 0 || static_cast<size_t>(row) >= _registers.size()) {
        return {};
    }
    const QString name =
        tr("Register %1").arg(registerLabelText(_registers.numberAt(static_cast<size_t>(row))));
    const int machine = machineOfColumn(column);
    if (machine < 0) {
        return column == LabelColumn ? tr("%1: IN, OUT, CLIP").arg(name) : name;
    }
    // Read aloud, asterisks say nothing: an unset time and a missing clip are said in words.
    const RegisterEntry& entry = _registers.entryAt(static_cast<size_t>(row));
    const MachineFields& fields = Machines[machine];
    const auto time = [this, row, machine](const VRG500_registerTime& value, int line) {
        return value.isNull != 0 ? tr("unset") : fieldText(row, machine, line);
    };
    const QString clip = fieldText(row, machine, ClipLine);
    return _withSpokenDuration(
        tr("%1, machine %2: IN %3, OUT %4, CLIP %5")
            .arg(name, QChar('A' + machine), time(entry.reg.*fields.in, InLine),
                 time(entry.reg.*fields.out, OutLine), clip.isEmpty() ? tr("no clip") : clip),
        row, machine);
}

void RegisterTableModel::setFrameRate(FrameRate rate) {
    if (rate == _frameRate) {
        return;
    }
    _frameRate = rate;
    if (rowCount() > 0) {
        emit dataChanged(index(0, AColumn), index(rowCount() - 1, DColumn),
                         {Qt::ToolTipRole, Qt::AccessibleTextRole});
    }
}

MachineDuration RegisterTableModel::_duration(int row, int machine) const {
    if (row < 0 || static_cast<size_t>(row) >= _registers.size() || machine < 0 ||
        machine >= MachineCount) {
        return {};
    }
    const VRG500_register& reg = _registers.entryAt(static_cast<size_t>(row)).reg;
    return records::machineDuration(reg.*Machines[machine].in, reg.*Machines[machine].out,
                                    _frameRate);
}

QString RegisterTableModel::durationText(int row, int machine) const {
    const MachineDuration duration = _duration(row, machine);
    switch (duration.state) {
    case DurationState::Counted: {
        const QString text = QString::fromLatin1(duration.text());
        return duration.outBeforeIn() ? tr("OUT is before IN: %1").arg(text)
                                      : tr("Duration %1").arg(text);
    }
    case DurationState::NotATime:
        return tr("No duration: IN or OUT is not a time at %1 frames per second")
            .arg(QString::fromLatin1(records::frameRateName(_frameRate)));
    case DurationState::NoRate:
    case DurationState::Unset:
        break;
    }
    return {};
}

QString RegisterTableModel::_withSpokenDuration(const QString& spoken, int row, int machine) const {
    const MachineDuration duration = _duration(row, machine);
    const QString length = QString::fromLatin1(duration.length);
    switch (duration.state) {
    case DurationState::Counted:
        return duration.outBeforeIn() ? tr("%1, OUT before IN by %2").arg(spoken, length)
                                      : tr("%1, duration %2").arg(spoken, length);
    case DurationState::NotATime:
        return tr("%1, no duration at %2 frames per second")
            .arg(spoken, QString::fromLatin1(records::frameRateName(_frameRate)));
    case DurationState::NoRate:
    case DurationState::Unset:
        break;
    }
    return spoken;
}

QVariant RegisterTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) {
        return {};
    }
    // The register number's column is narrow: its title is short.
    static const QStringList titles{"#", "", "A", "B", "C", "D"};
    if (role == Qt::DisplayRole) {
        return titles.at(section);
    }
    if (role == IdentifierRole) {
        return columnIdentifiers().at(section);
    }
    return {};
}

Qt::ItemFlags RegisterTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return machineOfColumn(index.column()) >= 0 ? flags | Qt::ItemIsEditable : flags;
}

QString RegisterTableModel::fieldText(int row, int machine, int line) const {
    return QString::fromLatin1(fieldBytes(row, machine, line));
}

std::string RegisterTableModel::fieldBytes(int row, int machine, int line) const {
    if (row < 0 || static_cast<size_t>(row) >= _registers.size() || machine < 0 ||
        machine >= MachineCount) {
        return {};
    }
    const RegisterEntry& entry = _registers.entryAt(static_cast<size_t>(row));
    if (line == ClipLine) {
        return records::clipInputText(entry.clips[static_cast<size_t>(machine)]);
    }
    const MachineFields& fields = Machines[machine];
    return stringForRegisterTime(entry.reg.*(line == InLine ? fields.in : fields.out));
}

int RegisterTableModel::rowOfRegister(int32_t number) const {
    const std::optional<size_t> row = _registers.rowOf(number);
    return row ? static_cast<int>(*row) : -1;
}

QList<CellRun> RegisterTableModel::cellRuns(const QModelIndex& index) const {
    if (!index.isValid() || index.column() < 0 || index.column() >= ColumnCount) {
        return {};
    }
    return cellRuns(index.row(), columnIdentifiers().at(index.column()));
}

QList<CellRun> RegisterTableModel::cellRuns(int row, const QString& identifier) const {
    if (row < 0 || static_cast<size_t>(row) >= _registers.size()) {
        return {};
    }
    if (identifier == "Register") {
        return {{registerLabelText(_registers.numberAt(static_cast<size_t>(row))), false}};
    }
    if (identifier == "Label") {
        return {{LabelText, false}};
    }
    const auto& identifiers = columnIdentifiers();
    int column = static_cast<int>(identifiers.indexOf(identifier));
    if (column < AColumn) {
        return {};
    }
    return _machineRuns(_registers.entryAt(static_cast<size_t>(row)), column - AColumn);
}

QString RegisterTableModel::cellText(int row, const QString& identifier) const {
    return joined(cellRuns(row, identifier));
}

QList<CellRun> RegisterTableModel::_machineRuns(const RegisterEntry& entry, int machine) const {
    const MachineFields& fields = Machines[machine];
    const std::string& clip = entry.clips[static_cast<size_t>(machine)];
    CellRun clipRun =
        clip == NoClipName ? CellRun{_noClipText, false} : CellRun{QString::fromLatin1(clip), true};
    return {timeRun(entry.reg.*fields.in),
            {"\n", false},
            timeRun(entry.reg.*fields.out),
            {"\n", false},
            clipRun};
}

void RegisterTableModel::storeRegister(int32_t number, const RegisterEntry& entry) {
    const auto position = std::lower_bound(
        _registers.begin(), _registers.end(), number,
        [](const RegisterCollection::Item& item, int32_t n) { return item.first < n; });
    const int row = static_cast<int>(position - _registers.begin());
    const bool isNew = position == _registers.end() || position->first != number;
    if (isNew) {
        beginInsertRows({}, row, row);
        _registers.set(number, entry);
        endInsertRows();
        return;
    }
    _registers.set(number, entry);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void RegisterTableModel::removeAllRegisters() {
    beginResetModel();
    _registers.clear();
    endResetModel();
}

void RegisterTableModel::applyChanges(const files::RegisterChangeSide& side) {
    if (side.removed.size() + side.stored.size() > RowByRowLimit) {
        beginResetModel();
        _registers.apply(side.removed, side.stored);
        endResetModel();
        return;
    }
    for (const int32_t number : side.removed) {
        const int row = rowOfRegister(number);
        if (row >= 0) {
            beginRemoveRows({}, row, row);
            _registers.erase(number);
            endRemoveRows();
        }
    }
    for (const auto& [number, entry] : side.stored) {
        storeRegister(number, entry);
    }
}

void RegisterTableModel::replaceRegisters(RegisterCollection registers) {
    beginResetModel();
    _registers = std::move(registers);
    endResetModel();
}

} // namespace tavrel::app
