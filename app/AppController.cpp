#include "AppController.h"
#include "Alerts.h"
#include "DeviceJobs.h"
#include "EditCommands.h"
#include "PortChooser.h"

#include "AlertWidth.h"
#include "DeviceTools.h"
#include "FilePanel.h"
#include "MenuSettingsTransfers.h"
#include "OpenFailure.h"
#include "RegisterCellDelegate.h"
#include "RegisterDocument.h"
#include "RegisterEditor.h"
#include "RegisterFiles.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"
#include "SafeUploads.h"
#include "SerialPortDiscovery.h"
#include "TavrelLog.h"
#include "VersionText.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSaveFile>
#include <QSettings>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <vector>

// The resources are linked from a static library: register them explicitly, outside any
// namespace as Q_INIT_RESOURCE requires.
static void initializeResources() {
    Q_INIT_RESOURCE(tavrel);
}

namespace tavrel::app {

using link::explainOpenFailure;
using link::GenericDeviceErrorInformation;
using link::GenericDeviceErrorMessage;
using link::tavrelLog;
using link::TavrelSocket;
using records::SerialPortList;
using records::TavrelError;
using records::trimmedVersionText;

namespace {

// The interface description's sizes.
constexpr int InitialWindowWidth = 760;
constexpr int InitialWindowHeight = 520;
constexpr int MinimumWindowHeight = 260;

const char* const ProgrammingCredit = "Linux version programmed with Qt 6.";
const char* const HelpResource = ":/help/Mac Tavrel Help.html";
const char* const HelpDocumentName = "Mac Tavrel Help.html";

QString resourceText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).trimmed();
}

} // namespace

AppController::AppController(PortLister portLister, QObject* parent)
    : QObject(parent), _urlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    initializeResources();
    _createMainWindow();
    _alerts = new Alerts(mainWindow.data(), this);
    _edits = new EditCommands(
        registerTable, *_tableModel, *_editor, *_alerts, mainWindow.data(),
        [this] { return _transferRunning(); }, this);
    _ports = new PortChooser(std::move(portLister), *_alerts, mainWindow.data(), this);
    connect(_ports, &PortChooser::changed, this, &AppController::validateActions);
    _createActions();
    _createMenus();
    _createSheets();
    _deviceTools = new DeviceTools(*this);
    _jobs = new DeviceJobs([this](QString* whyNot) { return _ports->connection(whyNot); }, *_alerts,
                           *_progressSheet, this);
    connect(_jobs, &DeviceJobs::changed, this, &AppController::validateActions);
    _menuSettings = new MenuSettingsTransfers(*_jobs, *_alerts, mainWindow.data(), this);
    _registerFiles = new RegisterFiles(
        *_document, *_editor, *_tableModel, *_alerts, mainWindow.data(), *saveAction,
        [this] { return _commitOpenField(); },
        [this](std::function<void()> then) { _askToSaveChanges(std::move(then)); }, this);
    connect(_registerFiles, &RegisterFiles::opened, this, &AppController::validateActions);
    // The title follows the document's file, as Save's text does.
    connect(_document, &RegisterDocument::pathChanged, this, &AppController::_updateWindowTitle);
    _safeUploads =
        new SafeUploads({*_jobs, *_alerts, *_rangeSheet, *_progressSheet, *_tableModel, *_editor,
                         mainWindow.data(), [this] { return _ports->portName(); }},
                        this);
    awakeFromNib();
}

AppController::~AppController() {
    // A running job ends first (at once: its exchange is interrupted), as it reports to the window
    // that goes below. The window goes while the objects it may still call on (closing it hands an
    // open field editor's text to the table) are alive; they go after it, as the controller's
    // children.
    _jobs->cancelAndWait(std::chrono::seconds(5));
    delete mainWindow.data();
}

QMainWindow* AppController::window() const {
    return mainWindow;
}

// ---- Interface construction ------------------------------------------------------------------

void AppController::_createMainWindow() {
    mainWindow = new QMainWindow;
    mainWindow->setObjectName("mainWindow");
    mainWindow->setWindowIcon(QIcon(":/icons/Tavrel.png"));
    mainWindow->resize(InitialWindowWidth, InitialWindowHeight);
    mainWindow->setMinimumHeight(MinimumWindowHeight);
    mainWindow->installEventFilter(this);

    registerTable = new RegisterTableView(mainWindow);
    registerTable->setObjectName("registerTable");
    registerTable->setAccessibleName(tr("Registers"));
    _tableModel = new RegisterTableModel(this);
    registerTable->setModel(_tableModel);
    _editor = new RegisterEditor(_tableModel, this);
    _document = new RegisterDocument(
        _editor->undoStack(),
        [this]() -> const files::RegisterCollection& { return _tableModel->registers(); },
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
            .filePath("Recovered"),
        this);
    registerTable->setItemDelegate(new RegisterCellDelegate(registerTable));
    registerTable->setEditTriggers(QAbstractItemView::DoubleClicked |
                                   QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
    registerTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    registerTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    registerTable->setShowGrid(false);
    registerTable->setAlternatingRowColors(true);
    registerTable->setWordWrap(false);
    registerTable->verticalHeader()->hide();
    registerTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    registerTable->horizontalHeader()->setSectionsMovable(false);
    mainWindow->setCentralWidget(new RegisterTableArea(registerTable, mainWindow));
}

QAction* AppController::_makeAction(const QString& text, const QKeySequence& shortcut,
                                    void (AppController::*slot)()) {
    auto* action = new QAction(text, this);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
    }
    connect(action, &QAction::triggered, this, slot);
    mainWindow->addAction(action);
    return action;
}

void AppController::_createActions() {
    openAction = _makeAction("Open...", QKeySequence::Open, &AppController::openVg2File);
    saveAction = _makeAction("Save...", QKeySequence::Save, &AppController::saveVg2File);
    saveAsAction = _makeAction("Save As...", QKeySequence::SaveAs, &AppController::saveVg2FileAs);
    quitAction = _makeAction("Quit", QKeySequence::Quit, &AppController::quit);
    choosePortAction = _makeAction("Choose Serial Port...", QKeySequence("Ctrl+Shift+P"),
                                   &AppController::chooseSerialPort);
    downloadRegistersAction = _makeAction("Download Registers...", QKeySequence("Ctrl+D"),
                                          &AppController::downloadRegisters);
    uploadRegistersAction =
        _makeAction("Upload Registers...", QKeySequence("Ctrl+U"), &AppController::uploadRegisters);
    downloadMenuSettingsAction =
        _makeAction("Download Menu Settings...", QKeySequence("Ctrl+Shift+D"),
                    &AppController::downloadMenuSettings);
    uploadMenuSettingsAction = _makeAction("Upload Menu Settings...", QKeySequence("Ctrl+Shift+U"),
                                           &AppController::uploadMenuSettings);
    showVersionAction = _makeAction("Show VRG-500 Version", QKeySequence("Ctrl+I"),
                                    &AppController::showVRG500Version);
    helpAction =
        _makeAction("Tavrel Help", QKeySequence::HelpContents, &AppController::showHelpText);
    aboutAction = _makeAction("About Tavrel", QKeySequence(), &AppController::showAboutPanel);
    compareAction = _makeAction("Compare with Device...", QKeySequence("Ctrl+Shift+K"),
                                &AppController::compareWithDevice);
    restoreSnapshotAction =
        _makeAction("Restore Snapshot...", QKeySequence(), &AppController::restoreSnapshot);
    safeUploadAction = new QAction("Compare Before Upload", this);
    safeUploadAction->setCheckable(true);
    safeUploadAction->setChecked(SafeUploads::safeUploadEnabled());
    connect(safeUploadAction, &QAction::toggled, this, &AppController::selectSafeUpload);
    deviceInformationAction = new QAction("Device Information...", this);
    connect(deviceInformationAction, &QAction::triggered, this,
            [this] { _deviceTools->showInformation(); });
    offsetRegistersAction = new QAction("Offset Registers...", this);
    connect(offsetRegistersAction, &QAction::triggered, this,
            [this] { _deviceTools->offsetRegisters(); });
    quitAction->setMenuRole(QAction::QuitRole);
    aboutAction->setMenuRole(QAction::AboutRole);
    _createEditActions();
}

void AppController::_createMenus() {
    QMenuBar* bar = mainWindow->menuBar();
    auto addMenu = [this, bar](const QString& title, const std::vector<QAction*>& actions) {
        QMenu* menu = bar->addMenu(title);
        for (QAction* action : actions) {
            if (action == nullptr) {
                menu->addSeparator();
            } else {
                menu->addAction(action);
            }
        }
        connect(menu, &QMenu::aboutToShow, this, &AppController::validateActions);
        return menu;
    };
    addMenu("&File", {openAction, saveAction, saveAsAction, nullptr, quitAction});
    _createEditMenu();
    addMenu("&Device", {choosePortAction, nullptr, downloadRegistersAction, uploadRegistersAction,
                        nullptr, compareAction, restoreSnapshotAction, safeUploadAction, nullptr,
                        downloadMenuSettingsAction, uploadMenuSettingsAction, nullptr,
                        showVersionAction, deviceInformationAction, offsetRegistersAction});
    addMenu("&Help", {helpAction, nullptr, aboutAction});
}

// ---- Start-up ------------------------------------------------------------------------------

void AppController::awakeFromNib() {
    _tableModel->removeAllRegisters();
    _updateWindowTitle();
    _attachToolbar();
    _fitWindowWidthToToolbar();
    mainWindow->update();
    _sizeTableToContents();
    _ports->update();
}

// ---- The serial port ------------------------------------------------------------------------

void AppController::updateSerialPortsPopup() {
    _ports->update();
}

void AppController::selectSerialPort() {
    _ports->selectionMade();
}

void AppController::chooseSerialPort() {
    _ports->openPopUp();
}

void AppController::chooseOtherPort() {
    _ports->askForPath();
}

bool AppController::addSerialPortByPath(const QString& path) {
    return _ports->addPath(path);
}

// ---- Alerts ----------------------------------------------------------------------------------

QMessageBox* AppController::_newAlertSheet(QMessageBox::Icon icon, const QString& messageText,
                                           const QString& informativeText) {
    return _alerts->make(icon, messageText, informativeText);
}

QMessageBox* AppController::_beginAlertSheet(const QString& messageText,
                                             const QString& informativeText, bool critical) {
    return _alerts->show(messageText, informativeText, critical);
}

QMessageBox* AppController::currentAlert() const {
    return _alerts->current();
}

void AppController::_showError(const TavrelError* error, const QString& moreInformation) {
    if (error != nullptr) {
        _alerts->showError(*error, moreInformation);
        return;
    }
    _alerts->showGenericError({});
}

// ---- Register files and menu settings ----------------------------------------------------------

void AppController::openVg2File() {
    _registerFiles->open();
}

void AppController::saveVg2File() {
    _registerFiles->save();
}

void AppController::saveVg2FileAs() {
    _registerFiles->saveAs();
}

void AppController::downloadMenuSettings() {
    _menuSettings->download();
}

void AppController::uploadMenuSettings() {
    _menuSettings->upload();
}

// ---- Comparing and safe uploads --------------------------------------------------------------

void AppController::compareWithDevice() {
    _safeUploads->compareWithDevice();
}

void AppController::compareSelectedWithDevice() {
    _safeUploads->compareSelected(_edits->selectedNumbers());
}

void AppController::restoreSnapshot() {
    _safeUploads->restoreSnapshot();
}

void AppController::selectSafeUpload(bool on) {
    SafeUploads::setSafeUploadEnabled(on);
}

// ---- Version, about box, help ----------------------------------------------------------------

void AppController::showVRG500Version() {
    _jobs->start([this](DeviceJob& job) {
        std::string version;
        TavrelError error;
        const bool answered = job.socket().deviceVersion(&version, &error);
        job.report([this, answered, version, error] {
            if (!answered) {
                _showError(&error);
                return;
            }
            const QString trimmed = QString::fromLatin1(trimmedVersionText(version));
            _beginAlertSheet("VRG-500", QString("Version: %1").arg(trimmed), false);
        });
    });
}

void AppController::showAboutPanel() {
    QString copyright = resourceText(":/Copyright.txt");
    QMessageBox* box = _alerts->make(
        QMessageBox::NoIcon, QString("Tavrel %1").arg(QCoreApplication::applicationVersion()),
        QString("%1\n%2").arg(copyright, ProgrammingCredit));
    box->setWindowTitle("About Tavrel");
    box->setIconPixmap(mainWindow->windowIcon().pixmap(64, 64));
    box->setStandardButtons(QMessageBox::Ok);
    fitAlertToInformativeText(box);
    box->open();
}

QString AppController::helpDocumentPath() const {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return QDir(folder).filePath(QString("help/") + HelpDocumentName);
}

void AppController::showHelpText() {
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

// ---- Closing ---------------------------------------------------------------------------------

void AppController::quit() {
    mainWindow->close();
}

void AppController::_closeAfterAsking() {
    _askToSaveChanges([this] {
        _closeConfirmed = true;
        mainWindow->close();
    });
}

void AppController::windowWillClose(QWidget* window) {
    if (window != mainWindow) {
        return;
    }
    // Closed on purpose, the registers saved or not wanted: nothing is left to recover.
    if (!_terminating) {
        _document->dropRecoveryCopy();
    }
    // A running job ends at once, in the middle of an exchange if need be: nothing more is sent,
    // and the port is let go.
    _jobs->cancelAndWait(std::chrono::seconds(2));
    emit applicationWillTerminate();
    QCoreApplication::quit();
}

bool AppController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == mainWindow) {
        // A value typed but refused keeps the window open, with the reason beside it.
        if (!_closeConfirmed && !_commitOpenField()) {
            event->ignore();
            return true;
        }
        if (!_closeConfirmed && _hasUnsavedChanges()) {
            // Asked first; the window closes once the answer allows it.
            event->ignore();
            QTimer::singleShot(0, this, [this] { _closeAfterAsking(); });
            return true;
        }
        windowWillClose(mainWindow);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavrel::app
