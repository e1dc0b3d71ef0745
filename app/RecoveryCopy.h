// The unsaved registers of this window, kept on disk a moment after each change, so that whatever
// ends the process (a signal, a crash, a lost display, a power cut) loses at most the last
// couple of seconds of edits; the next start offers them back (see RecoveredRegisters).
//
// One copy per window, in the exact form of the register file (every byte, registers a plain file
// cannot hold included), named after the document and this window's key (its process and when it
// started) so that no two writers ever share a name: "show (unsaved 12345-1765202523).vg2", with
// "show (unsaved 12345-1765202523).origin" holding the document's path (empty when untitled).
// ".unsaved 12345-1765202523.lock", locked with flock for as long as the window lives, tells a
// later start that the copies of that key are still someone's.
//
// The window's thread only copies the registers; formatting and writing happen on a thread of
// the copy's own, so a large table never stalls the window.
#pragma once

#include "RegisterCollection.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace tavrel::app {

class RecoveryCopy {
  public:
    // Copies go to `folder`, made when first needed.
    explicit RecoveryCopy(QString folder);
    // Finishes what was asked (a last copy is never half written) and lets go of the lock; the
    // copy stays unless it was removed.
    ~RecoveryCopy();

    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    // Keeps `registers` as the unsaved registers of the document at `documentPath` (empty:
    // untitled), replacing the copy kept before.
    void keep(files::RegisterCollection registers, const QString& documentPath);
    // No unsaved registers any more (saved or discarded): the copy goes.
    void remove();
    // Waits until everything asked so far is on disk.
    void flush();

    // The copy's path as last kept, empty when there is none.
    QString path() const;
    // The folder the copies go to.
    const QString& folder() const { return _folder; }

    // This window's key, as the copies' names hold it.
    const QString& key() const { return _key; }
    // The lock file of the copies of `key` in `folder`.
    static QString lockPath(const QString& folder, const QString& key);

  private:
    struct Job {
        bool remove = false;
        files::RegisterCollection registers;
        QString base;   // without extension, in the folder
        QString origin; // the document's path
    };

    void _run();
    void _write(const Job& job);
    void _removeFiles(const QString& base);
    bool _lock();

    QString _folder;
    QString _key;
    mutable std::mutex _mutex;
    std::condition_variable _changed;
    std::deque<Job> _jobs;
    bool _busy = false;
    bool _stopping = false;
    QString _kept;    // the base of the copy on disk, empty when none
    int _lockFd = -1; // held while this window lives
    std::thread _worker;
};

} // namespace tavrel::app
