#include "DeviceTools.h"

#include "AppController.h"

namespace tavrel::app {

DeviceTools::DeviceTools(AppController& controller)
    : QObject(&controller), _controller(controller) {}

void DeviceTools::showInformation() {}

void DeviceTools::offsetRegisters() {}

} // namespace tavrel::app
