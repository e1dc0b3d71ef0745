// Shared by the application's tests: a private settings store, port lists fed through the
// controller's port lister, and access to the alert the controller has opened.
#pragma once

#include "AppController.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

namespace AppTestSupport {

// Call first in initTestCase(): settings go to a temporary folder, never to the user's.
inline void useTemporarySettings(const QTemporaryDir& folder) {
    QCoreApplication::setOrganizationName("Tavrel");
    QCoreApplication::setApplicationName("Tavrel");
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}

inline void clearSettings() {
    QSettings().clear();
    QSettings().sync();
}

// A port list that the test changes at will; the controller reads it at every rebuild.
struct FedPorts {
    std::shared_ptr<std::optional<SerialPortList>> ports =
        std::make_shared<std::optional<SerialPortList>>(SerialPortList{});

    AppController::PortLister lister() const {
        auto shared = ports;
        return [shared] { return *shared; };
    }
    void set(std::optional<SerialPortList> list) const { *ports = std::move(list); }
};

// The alert that the controller opened last, while it is open.
inline QMessageBox* currentAlert(const AppController& controller) {
    return controller.currentAlert();
}

// Waits for an alert that arrives through a deferred call; null if none comes.
inline QMessageBox* waitForAlert(const AppController& controller, int timeoutMs = 10000) {
    (void)QTest::qWaitFor([&] { return controller.currentAlert() != nullptr; }, timeoutMs);
    return controller.currentAlert();
}

// Dismisses the open alert, as its default button would, and lets it go away.
inline void dismissAlert(const AppController& controller) {
    if (QMessageBox* alert = controller.currentAlert()) {
        alert->accept();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace AppTestSupport
