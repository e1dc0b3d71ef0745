// The Open File and Save File commands and the vg2 register file.
#include "AppController.h"

void AppController::openVg2File() {}
void AppController::openPanelDidEnd(int, const QString&) {}
void AppController::saveVg2File() {}
void AppController::savePanelDidEnd(int, const QString&) {}
void AppController::_processVg2File(const QString&) {}
void AppController::_exportVg2File(const QString&) {}
