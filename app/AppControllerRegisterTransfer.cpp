// Register transfers: the range sheet, the progress sheet and the stepwise download and upload.
#include "AppController.h"

void AppController::downloadRegisters() {}
void AppController::uploadRegisters() {}
void AppController::_layoutRangeSheet() {}
void AppController::selectRangeRadio() {}
void AppController::confirmRangeSheet() {}
void AppController::cancelRangeSheet() {}
void AppController::rangeSheetDidEnd(int, RangeStartOperation) {}
void AppController::_downloadRegisters(RegisterRange) {}
void AppController::_uploadRegisters(RegisterRange) {}
void AppController::_downloadRegisterStep(register_step) {}
void AppController::_uploadRegisterStep(register_step) {}
void AppController::cancelProgressSheet() {}
void AppController::progressSheetDidEnd(int) {}
