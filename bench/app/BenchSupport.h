// Shared by the application's benchmarks and screenshot programs: settings kept in a temporary
// folder, and the simulated device offered as the one serial port.
#pragma once

#include "Alerts.h"
#include "AppController.h"
#include "DeviceJobs.h"
#include "EditCommands.h"
#include "ProgressSheet.h"
#include "RangeSheet.h"
#include "RegisterCellDelegate.h"
#include "RegisterDocument.h"
#include "RegisterEditor.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"
#include "RegisterTransfers.h"
#include "TavrelSocket.h"
#include "TransferRunner.h"
#include "Vrg500Simulator.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

using namespace tavrel::app;
using namespace tavrel::records;
using namespace tavrel::sim;

namespace benchsupport {

// Settings go to `folder`, never to the user's. Call once the application object exists.
inline void useTemporarySettings(const QTemporaryDir& folder) {
    QCoreApplication::setOrganizationName("Tavrel");
    QCoreApplication::setApplicationName("Tavrel");
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
}

// Starts `device`, saying why on standard error when it cannot.
inline bool startDevice(Vrg500Simulator& device) {
    std::string reason;
    if (!device.start(&reason)) {
        std::fprintf(stderr, "simulator: %s\n", reason.c_str());
        return false;
    }
    return true;
}

// A port list of the one port `name` at `path`.
inline AppController::PortLister onePort(const std::string& name, const std::string& path) {
    return [name, path] { return std::optional<SerialPortList>(SerialPortList{{name, {path}}}); };
}

} // namespace benchsupport
