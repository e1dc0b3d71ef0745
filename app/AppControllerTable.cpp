// The register collection's changes: each one goes through the table model so that the table
// redraws exactly what changed, and the commands that depend on the collection are re-checked.
#include "AppController.h"

#include "RegisterTableModel.h"

namespace tavrel::app {

using files::RegisterCollection;
using records::RegisterEntry;

void AppController::_storeRegister(int32_t number, const RegisterEntry& entry) {
    const bool wasEmpty = _tableModel->registers().empty();
    _tableModel->storeRegister(number, entry);
    if (wasEmpty) {
        validateActions();
    }
}

void AppController::_removeAllRegisters() {
    _tableModel->removeAllRegisters();
    validateActions();
}

void AppController::_replaceRegisters(RegisterCollection registers) {
    _tableModel->replaceRegisters(std::move(registers));
    validateActions();
}

} // namespace tavrel::app
