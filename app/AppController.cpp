#include "AppController.h"
#include "Alerts.h"
#include "DeviceJobs.h"

#include "AlertWidth.h"
#include "DeviceTools.h"
#include "FilePanel.h"
#include "OpenFailure.h"
#include "OtherPortDialog.h"
#include "RegisterCellDelegate.h"
#include "RegisterDocument.h"
#include "RegisterEditor.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"
#include "SafeUploads.h"
#include "SerialDeviceNotifier.h"
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
#include <QSocketNotifier>
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
constexpr int SerialPopUpWidth = 180;

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
    : QObject(parent), _portLister(std::move(portLister)),
      _urlOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
    initializeResources();
    if (_portLister) {
        _listerNotifier = std::make_unique<link::SerialDeviceNotifier>(_portLister);
    } else {
        _portLister = [] { return link::availableSerialDevices(); };
    }
    _createMainWindow();
    _alerts = new Alerts(mainWindow.data(), this);
    _createActions();
    _createMenus();
    _createSheets();
    _deviceTools = new DeviceTools(*this);
    _jobs = new DeviceJobs(
        [this](QString* whyNot) {
            std::shared_ptr<TavrelSocket> socket = _getSocket();
            *whyNot = _openFailureExplanation(_lastOpenErrno);
            _lastOpenErrno = 0;
            return socket;
        },
        *_alerts, *_progressSheet, this);
    connect(_jobs, &DeviceJobs::changed, this, &AppController::validateActions);
    _safeUploads =
        new SafeUploads({*_jobs, *_alerts, *_rangeSheet, *_progressSheet, *_tableModel, *_editor,
                         mainWindow.data(), [this] { return serialPopUpButton->currentText(); }},
                        this);
    awakeFromNib();
}

AppController::~AppController() {
    // A running job ends first: it reports to the window that goes below.
    delete _jobs;
    // The notifier goes before the subscription that owns its descriptor.
    delete _serialPortNotifier;
    if (!_listerNotifier) {
        link::registerForSerialDeviceNotifications(nullptr, std::function<void()>());
    }
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
    connect(_document, &RegisterDocument::pathChanged, this, [this] { _documentPathChanged(); });
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

    serialPopUpButton = new QComboBox;
    serialPopUpButton->setObjectName("serialPopUpButton");
    serialPopUpButton->setToolTip("The serial port for the VRG-500");
    serialPopUpButton->setAccessibleName("Serial Port");
    serialPopUpButton->resize(SerialPopUpWidth, serialPopUpButton->sizeHint().height());
    // The choice, however it is made: a click, the keyboard, an assistive technology or code.
    // The pop-up's own rebuilding and resetting go on with its signals blocked.
    connect(serialPopUpButton, &QComboBox::currentIndexChanged, this,
            [this] { selectSerialPort(); });
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
    _subscribeToSerialPortChanges();
    updateSerialPortsPopup();
}

void AppController::_subscribeToSerialPortChanges() {
    const std::function<void()> action = [this] { updateSerialPortsPopup(); };
    int descriptor = -1;
    if (_listerNotifier) {
        _listerNotifier->registerTarget(this, action);
        descriptor = _listerNotifier->descriptor();
    } else {
        link::registerForSerialDeviceNotifications(this, action);
        descriptor = link::serialDeviceNotificationDescriptor();
    }
    if (descriptor < 0) {
        return;
    }
    _serialPortNotifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(_serialPortNotifier, &QSocketNotifier::activated, this, [this] {
        if (_listerNotifier) {
            _listerNotifier->dispatch();
        } else {
            link::dispatchSerialDeviceNotifications();
        }
    });
}

// ---- Serial port list ------------------------------------------------------------------------

namespace {

// A "Serial Port" setting holding a "/" is a device path; otherwise it is a port's name.
bool isPortPath(const QString& setting) {
    return setting.contains('/');
}

// The pop-up's entries: the listed ports in name order (std::map orders its names by byte, as the
// case-sensitive comparison does), then the ports added by path that still exist and are not
// listed already, under their base names (or their paths, when the name is taken).
std::vector<std::pair<QString, QString>> popUpEntries(const std::optional<SerialPortList>& ports,
                                                      const QStringList& addedPaths) {
    std::vector<std::pair<QString, QString>> entries;
    QStringList titles;
    QStringList paths;
    for (const auto& [name, path] : ports.value_or(SerialPortList{})) {
        entries.emplace_back(QString::fromLatin1(name), QFile::decodeName(path.c_str()));
        titles << entries.back().first;
        paths << entries.back().second;
    }
    for (const QString& path : addedPaths) {
        if (paths.contains(path) || !QFileInfo::exists(path)) {
            continue;
        }
        const QString name = QFileInfo(path).fileName();
        entries.emplace_back(titles.contains(name) ? path : name, path);
        titles << entries.back().first;
        paths << path;
    }
    return entries;
}

} // namespace

void AppController::updateSerialPortsPopup() {
    const QString chosen = QSettings().value(SelectedSerialPortKey).toString();
    if (isPortPath(chosen) && !_portsByPath.contains(chosen)) {
        _portsByPath << chosen; // remembered from an earlier run: listed while it exists
    }
    const auto entries = popUpEntries(_portLister(), _portsByPath);
    serialPopUpButton->blockSignals(true);
    serialPopUpButton->clear();
    int selected = entries.empty() ? -1 : 0;
    for (const auto& [title, path] : entries) {
        if (isPortPath(chosen) ? path == chosen : title == chosen) {
            selected = serialPopUpButton->count();
        }
        serialPopUpButton->addItem(title, path);
    }
    // Always there, so a line the registry does not report can be chosen even with no ports.
    serialPopUpButton->insertSeparator(serialPopUpButton->count());
    serialPopUpButton->addItem(tr(OtherPortItemTitle));
    serialPopUpButton->setPlaceholderText(entries.empty() ? tr("No serial ports") : QString());
    serialPopUpButton->setCurrentIndex(selected);
    serialPopUpButton->setEnabled(true);
    _settledPortIndex = selected;
    serialPopUpButton->blockSignals(false);
    validateActions();
}

void AppController::selectSerialPort() {
    const int index = serialPopUpButton->currentIndex();
    if (index < 0) {
        return;
    }
    const QString path = serialPopUpButton->itemData(index).toString();
    if (path.isEmpty()) {
        // "Other Port…" is never the selected port: the previous one stays while it is asked.
        const QSignalBlocker unchanged(serialPopUpButton);
        serialPopUpButton->setCurrentIndex(_settledPortIndex);
        chooseOtherPort();
        return;
    }
    _settledPortIndex = index;
    QSettings().setValue(SelectedSerialPortKey,
                         _portsByPath.contains(path) ? path : serialPopUpButton->currentText());
}

void AppController::chooseSerialPort() {
    serialPopUpButton->setFocus(Qt::ShortcutFocusReason);
    serialPopUpButton->showPopup();
}

void AppController::chooseOtherPort() {
    auto* dialog = new OtherPortDialog(mainWindow);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this,
            [this, dialog](int returnCode) { otherPortDialogDidEnd(returnCode, dialog->path()); });
    dialog->open();
}

void AppController::otherPortDialogDidEnd(int returnCode, const QString& path) {
    if (returnCode == QDialog::Accepted) {
        addSerialPortByPath(path);
    }
}

bool AppController::addSerialPortByPath(const QString& path) {
    QString reason;
    if (!isUsableSerialPortPath(path, &reason)) {
        _beginAlertSheet(tr("%1 cannot be used as a serial port").arg(path), reason, true);
        return false;
    }
    if (!_portsByPath.contains(path)) {
        _portsByPath << path;
    }
    QSettings().setValue(SelectedSerialPortKey, path);
    updateSerialPortsPopup();
    return true;
}

// ---- Connection lookup -----------------------------------------------------------------------

// The selected port's device path as the system names the file (listed and typed paths alike),
// or empty when no port is selected.
std::string AppController::_selectedPortPath() const {
    const int index = serialPopUpButton->currentIndex();
    return index < 0 ? std::string() : localFilePath(serialPopUpButton->itemData(index).toString());
}

std::shared_ptr<TavrelSocket> AppController::_getSocket() {
    _lastOpenErrno = 0;
    const std::string path = _selectedPortPath();
    if (path.empty()) {
        return nullptr;
    }
    int openErrno = 0;
    std::shared_ptr<TavrelSocket> socket = TavrelSocket::socketForDeviceFilePath(path, &openErrno);
    if (!socket) {
        _lastOpenErrno = openErrno;
    }
    return socket;
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
    _alerts->showGenericError(_openFailureExplanation(_lastOpenErrno));
    _lastOpenErrno = 0;
}

QString AppController::_openFailureExplanation(int openErrno) const {
    if (openErrno == 0) {
        return {};
    }
    // The port that _getSocket tried, still selected within the same action.
    return QString::fromLocal8Bit(explainOpenFailure(_selectedPortPath(), openErrno));
}

// ---- Comparing and safe uploads --------------------------------------------------------------

void AppController::compareWithDevice() {
    _safeUploads->compareWithDevice();
}

void AppController::compareSelectedWithDevice() {
    _safeUploads->compareSelected(_selectedRegisterNumbers());
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
