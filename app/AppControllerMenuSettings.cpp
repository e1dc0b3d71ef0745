// Menu settings transfers between the device and vgs files.
#include "AppController.h"

void AppController::downloadMenuSettings() {}
void AppController::menuSavePanelDidEnd(int, const QString&) {}
void AppController::completeMenuDownload(const QString&) {}
void AppController::uploadMenuSettings() {}
void AppController::menuOpenPanelDidEnd(int, const QString&) {}
void AppController::completeMenuUpload(const QString&) {}
bool AppController::_exportVgsFile(const QString&, const std::string&, TavrelError*) {
    return false;
}
std::optional<VRG500_menuData> AppController::_processVgsFile(const QString&, std::string*,
                                                              TavrelError*) {
    return std::nullopt;
}
