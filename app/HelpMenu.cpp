#include "HelpMenu.h"

#include "AlertWidth.h"
#include "Alerts.h"
#include "TavrelLog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

namespace tavrel::app {

using link::tavrelLog;

namespace {

const char* const ProgrammingCredit = "Linux version programmed with Qt 6.";
const char* const HelpResource = ":/help/tavrel-help.html";
const char* const HelpDocumentName = "tavrel-help.html";

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
      _urlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

void HelpMenu::showAboutPanel() {
    QString copyright = resourceText(":/Copyright.txt");
    QMessageBox* box = _alerts.make(
        QMessageBox::NoIcon, QString("Tavrel %1").arg(QCoreApplication::applicationVersion()),
        QString("%1\n%2\n%3")
            .arg(copyright, ProgrammingCredit,
                 tr("Tavrel uses Qt (GNU LGPL v3); licence and sources: qt.io")));
    box->setWindowTitle("About Tavrel");
    box->setIconPixmap(_window->windowIcon().pixmap(64, 64));
    box->setStandardButtons(QMessageBox::Ok);
    fitAlertToInformativeText(box);
    box->open();
}

QString HelpMenu::helpDocumentPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return QDir(folder).filePath(QString("help/") + HelpDocumentName);
}

void HelpMenu::showHelpText() {
    // The desktop's viewer cannot read the application's resources: write the document out.
    QString path = helpDocumentPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile resource(HelpResource);
    QSaveFile file(path);
    if (!resource.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly) ||
        file.write(resource.readAll()) < 0 || !file.commit()) {
        tavrelLog("Error writing the help document %s", path.toLocal8Bit().constData());
        return;
    }
    _urlOpener(QUrl::fromLocalFile(path));
}

} // namespace tavrel::app
