#include "HelpMenu.h"

#include "AlertWidth.h"
#include "Alerts.h"
#include "HelpViewer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QWidget>

namespace tavrel::app {

namespace {

const char* const ProgrammingCredit =
    QT_TRANSLATE_NOOP("tavrel::app::HelpMenu", "Linux version programmed with Qt 6.");
// The manual's file below a data folder, as installed (packaging/CMakeLists.txt).
const char* const ManualInDataFolder = "tavrel/help/tavrel-help.html";

QString resourceText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).trimmed();
}

} // namespace

HelpMenu::HelpMenu(Alerts& alerts, QWidget* window, QObject* parent)
    : QObject(parent), _alerts(alerts), _window(window),
      _urlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      _manualPlaces(defaultManualPlaces()) {}

void HelpMenu::showAboutPanel() {
    QString copyright = resourceText(":/Copyright.txt");
    QMessageBox* box = _alerts.make(
        QMessageBox::NoIcon, tr("Tavrel %1").arg(QCoreApplication::applicationVersion()),
        QString("%1\n%2\n%3")
            .arg(copyright, tr(ProgrammingCredit),
                 tr("Tavrel uses Qt (GNU LGPL v3); licence and sources: qt.io")));
    box->setWindowTitle(tr("About Tavrel"));
    box->setIconPixmap(_window->windowIcon().pixmap(64, 64));
    box->setStandardButtons(QMessageBox::Ok);
    fitAlertToInformativeText(box);
    box->open();
}

QStringList HelpMenu::defaultManualPlaces() {
    // The build puts the manual where an installation has it, relative to the program.
    QStringList places{QDir::cleanPath(
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(TAVREL_MANUAL_FROM_PROGRAM))};
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString place = QDir::cleanPath(QDir(folder).filePath(ManualInDataFolder));
        if (!places.contains(place)) {
            places << place;
        }
    }
    return places;
}

void HelpMenu::showHelpText() {
    if (_viewer == nullptr) {
        _viewer = new HelpViewer([this](const QUrl& url) { return _urlOpener(url); }, _window);
    }
    if (!_viewer->isVisible()) {
        QString found;
        for (const QString& place : _manualPlaces) {
            const QFileInfo file(place);
            if (file.isFile() && file.isReadable()) {
                found = place;
                break;
            }
        }
        _viewer->showManual(found, _manualPlaces);
    }
    _viewer->show();
    _viewer->raise();
    _viewer->activateWindow();
}

} // namespace tavrel::app
