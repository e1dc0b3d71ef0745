// Unsaved registers survive whatever ends the process: while the table has unsaved changes a copy
// is kept a moment after each change (RegisterDocument, RecoveryCopy), and a start offers back,
// one at a time, the copies that windows which ended without saving left behind: Restore (an
// undoable step that makes them the unsaved changes of their file), Discard or Later.
#pragma once

#include <QObject>

#include <functional>

namespace tavrel::app {

class Alerts;
class RegisterDocument;
class RegisterEditor;
struct RecoveredRegisters;

class RecoveryOffers : public QObject {
    Q_OBJECT

  public:
    struct Parts {
        RegisterDocument& document;
        RegisterEditor& editor;
        Alerts& alerts;
        // Runs `then` once the table's own unsaved changes are safe; Cancel drops it.
        std::function<void(std::function<void()> then)> askToSaveChanges;
    };

    RecoveryOffers(const Parts& parts, QObject* parent);

    // Offers the first copy left behind, if any; the next is offered once it is answered.
    void offer();

  private:
    void _restore(const RecoveredRegisters& copy);

    Parts _parts;
};

} // namespace tavrel::app
