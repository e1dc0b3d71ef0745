// The copies of unsaved registers that windows which ended without saving left behind (see
// RecoveryCopy): what a start offers back.
#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

namespace tavrel::app {

struct RecoveredRegisters {
    QString path;   // the copy, an exact register file
    QString origin; // the document it belongs to; empty when untitled
    QDateTime written;
    QString key; // of the window that wrote it
};

// The copies in `folder` whose window is gone (its lock is free), newest first; never those of
// `ownKey`.
std::vector<RecoveredRegisters> findRecoveredRegisters(const QString& folder,
                                                       const QString& ownKey);

// Deletes the copy, and its window's lock once it has no other copy.
void discardRecoveredRegisters(const RecoveredRegisters& copy);

// "Unsaved registers from show.vg2, 14:02 today" (or "yesterday", or the date; "from an untitled
// table" when it has no file).
QString recoveredRegistersTitle(const RecoveredRegisters& copy, const QDateTime& now);

} // namespace tavrel::app
