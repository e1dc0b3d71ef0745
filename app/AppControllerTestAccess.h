// The way tests and benchmarks reach into the controller: its outlets, its actions and its state,
// which the application itself keeps private. Read-only views of the state; the widgets are
// handed out so that a test can click and type as a person would.
#pragma once

#include "AppController.h"
#include "ProgressSheet.h"
#include "RangeSheet.h"
#include "RegisterCellDelegate.h"
#include "RegisterEditor.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"

namespace tavrel::app {

class AppControllerTestAccess {
  public:
    explicit AppControllerTestAccess(const AppController& controller) : _c(controller) {}

    QMainWindow* mainWindow() const { return _c.window(); }
    RegisterTableView* registerTable() const { return _c.registerTable; }
    RegisterCellDelegate* cellDelegate() const {
        return static_cast<RegisterCellDelegate*>(_c.registerTable->itemDelegate());
    }
    QComboBox* serialPopUpButton() const { return _c.portChooser()->popUp(); }
    RangeSheet* rangeSheet() const { return _c.rangeSheet(); }
    QSpinBox* minRangeField() const { return _c.rangeSheet()->firstField(); }
    QSpinBox* maxRangeField() const { return _c.rangeSheet()->lastField(); }
    QLabel* rangeLabel() const { return _c.rangeSheet()->label(); }
    QButtonGroup* rangeRadios() const { return _c.rangeSheet()->radios(); }
    QPushButton* rangeConfirmButton() const { return _c.rangeSheet()->confirmButton(); }
    ProgressSheet* progressSheet() const { return _c.progressSheet(); }
    QProgressBar* progressBar() const { return _c.progressSheet()->bar(); }
    QLabel* progressLabel() const { return _c.progressSheet()->label(); }

    QAction* openAction() const { return _c.openAction; }
    QAction* saveAction() const { return _c.saveAction; }
    QAction* saveAsAction() const { return _c.saveAsAction; }
    QAction* choosePortAction() const { return _c.choosePortAction; }
    QAction* downloadRegistersAction() const { return _c.downloadRegistersAction; }
    QAction* uploadRegistersAction() const { return _c.uploadRegistersAction; }
    QAction* downloadMenuSettingsAction() const { return _c.downloadMenuSettingsAction; }
    QAction* uploadMenuSettingsAction() const { return _c.uploadMenuSettingsAction; }
    QAction* showVersionAction() const { return _c.showVersionAction; }
    QAction* undoAction() const { return _c.undoAction; }
    QAction* redoAction() const { return _c.redoAction; }
    QAction* cutAction() const { return _c.cutAction; }
    QAction* copyAction() const { return _c.copyAction; }
    QAction* copyFieldAction() const { return _c.copyFieldAction; }
    QAction* pasteAction() const { return _c.pasteAction; }
    QAction* deleteAction() const { return _c.deleteAction; }
    QAction* insertRegisterAction() const { return _c.insertRegisterAction; }
    QAction* duplicateAction() const { return _c.duplicateAction; }
    QAction* goToRegisterAction() const { return _c.goToRegisterAction; }
    QActionGroup* frameRateActions() const { return _c.frameRateActions; }
    QAction* compareAction() const { return _c.compareAction; }
    QAction* restoreSnapshotAction() const { return _c.restoreSnapshotAction; }
    QAction* safeUploadAction() const { return _c.safeUploadAction; }
    QAction* deviceInformationAction() const { return _c.deviceInformationAction; }
    QAction* offsetRegistersAction() const { return _c.offsetRegistersAction; }
    bool hasUnsavedChanges() const { return _c._hasUnsavedChanges(); }

    const files::RegisterCollection& registers() const { return _c.tableModel()->registers(); }

  private:
    const AppController& _c;
};

inline AppControllerTestAccess testAccess(const AppController& controller) {
    return AppControllerTestAccess(controller);
}

} // namespace tavrel::app
