// The register table's model: one row per register of the collection, in ascending register
// number, and six columns identified by "Register", "Label", "A", "B", "C" and "D".
// A cell of a machine column is three runs of text (IN time, OUT time, clip name) separated by
// line breaks; set times and real clip names are bold, the rest plain. With a frame rate chosen,
// a machine's duration (OUT - IN) is its cell's tooltip and part of its spoken text. Each machine
// cell holds three fields (its IN time, OUT time and clip name), which the register editor changes
// one at a time; the model itself only offers their texts and takes whole changes.
//
// The model owns the register collection and is the only way to change it: each change below
// tells the views of exactly the rows it touched, so nothing can change the collection behind
// their back.
#pragma once

#include "MachineDuration.h"
#include "RegisterChanges.h"
#include "RegisterCollection.h"
#include "RegisterFieldInput.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <string>

namespace tavrel::app {

// One run of a cell's text; "\n" in a run starts a new line.
struct CellRun {
    QString text;
    bool bold = false;
    bool operator==(const CellRun&) const = default;
};

class RegisterTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { RegisterColumn, LabelColumn, AColumn, BColumn, CColumn, DColumn, ColumnCount };
    // The three lines of a machine cell, top to bottom.
    enum Line { InLine, OutLine, ClipLine, LineCount };
    static constexpr int MachineCount = 4;

    // The machine (0 for A) of a column, -1 for the register number and label columns.
    static int machineOfColumn(int column);
    // "A IN", "B OUT", "C CLIP": a field's name as the Edit menu and the undo texts show it.
    static QString fieldName(int machine, int line);

    // headerData() gives a column's identifier under this role, its title under DisplayRole.
    static constexpr int IdentifierRole = Qt::UserRole + 1;

    static const QStringList& columnIdentifiers();
    static inline const QString LabelText = QStringLiteral("IN\nOUT\nCLIP");

    explicit RegisterTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The runs of the cell in `row` of the column named `identifier`: none for an unknown
    // identifier or a row outside the collection.
    QList<CellRun> cellRuns(int row, const QString& identifier) const;
    QList<CellRun> cellRuns(const QModelIndex& index) const;
    // The cell's whole text, runs joined.
    QString cellText(int row, const QString& identifier) const;
    // What a screen reader says for a cell (its Qt::AccessibleTextRole): "Register 012, machine
    // A: IN 01:00:00:00, OUT unset, CLIP no clip"; the register alone for the number column. With
    // a frame rate, a machine's duration follows: ", duration 00:00:10:00", ", OUT before IN by
    // 00:00:02:00", or ", no duration at 25 frames per second" when a time is not a time at the
    // rate (an unset time is said already).
    QString spokenText(int row, int column) const;

    // The rate durations are counted at; WireLimits, the default, shows none. Changing it
    // changes every machine cell's tooltip and spoken text (dataChanged over those columns).
    records::FrameRate frameRate() const { return _frameRate; }
    void setFrameRate(records::FrameRate rate);
    // A machine's duration as its cell's tooltip (Qt::ToolTipRole) shows it: "Duration
    // 00:00:10:00", "OUT is before IN: -00:00:02:00", why there is none when a time is not a time
    // at the rate; empty without a rate or with a time unset.
    QString durationText(int row, int machine) const;

    // The text a field's editor starts with: the time's text form, or the clip name without
    // its trailing blanks (empty for no clip), each byte shown as the character of its code.
    QString fieldText(int row, int machine, int line) const;
    // The same field's value as bytes, as Copy Field takes it.
    std::string fieldBytes(int row, int machine, int line) const;
    // The row of register `number`, -1 when the collection has none.
    int rowOfRegister(int32_t number) const;

    // The collection, read-only: change it through the operations below.
    const files::RegisterCollection& registers() const { return _registers; }

    // Stores one register, replacing any entry of that number: one inserted row for a new
    // number, one changed row for a known one.
    void storeRegister(int32_t number, const records::RegisterEntry& entry);
    // Puts `registers` in place of the collection (a reset).
    void replaceRegisters(files::RegisterCollection registers);
    // Empties the collection (a reset).
    void removeAllRegisters();
    // Applies one way of a change: a few registers row by row, so the views keep their
    // selection and redraw only those rows; many at once in one pass and a reset.
    void applyChanges(const files::RegisterChangeSide& side);

    // Changes of a few registers at most are applied row by row.
    static constexpr size_t RowByRowLimit = 64;

  private:
    QList<CellRun> _machineRuns(const records::RegisterEntry& entry, int machine) const;
    records::MachineDuration _duration(int row, int machine) const;
    // `spoken` followed by what a screen reader says of the machine's duration.
    QString _withSpokenDuration(const QString& spoken, int row, int machine) const;

    files::RegisterCollection _registers;
    // What a cell shows for a machine without a clip name: looked up once, not at every paint.
    const QString _noClipText = tr("** No Clip **");
    records::FrameRate _frameRate = records::FrameRate::WireLimits;
};

} // namespace tavrel::app
