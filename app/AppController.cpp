#include "AppController.h"

#include "Alerts.h"
#include "DeviceJobs.h"
#include "DeviceTools.h"
#include "EditCommands.h"
#include "FilePanel.h"
#include "HelpMenu.h"
#include "MainToolbar.h"
#include "MainWindow.h"
#include "MenuSettingsTransfers.h"
#include "ProgressSheet.h"
#include "RangeSheet.h"
#include "RecentFiles.h"
#include "RecoveryOffers.h"
#include "RegisterCellDelegate.h"
#include "RegisterDocument.h"
#include "RegisterEditor.h"
#include "RegisterFiles.h"
#include "RegisterInterchange.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"
#include "RegisterTransfers.h"
#include "SafeUploads.h"
#include "TavrelLog.h"
#include "WindowStatusBar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QUndoStack>

// The resources are linked from a static library: register them explicitly, outside any
// namespace as Q_INIT_RESOURCE requires.
static void initializeResources() {
    Q_INIT_RESOURCE(tavrel);
}

namespace tavrel::app {

using link::tavrelNote;
using records::FrameRate;
using records::frameRateFromName;

AppController::AppController(PortLister portLister, QObject* parent) : QObject(parent) {
    initializeResources();
    _createObjects(std::move(portLister));
    _connectCommands();
    _connectEditing();
    _validateOnTableChanges();
    _connectStatusBar();
    awakeFromNib();
}

AppController::~AppController() {
    // A running job ends first (at once: its exchange is interrupted), as it reports to the window
    // that goes below. The window goes while the objects it may still call on (closing it hands an
    // open field editor's text to the table) are alive; they go after it, as the controller's
    // children.
    _jobs->cancelAndWait(std::chrono::seconds(5));
    delete _window.data();
}

MainWindow* AppController::window() const {
    return _window;
}

TransferRunner* AppController::transferRunner() const {
    return _jobs->runner();
}

// ---- The objects -------------------------------------------------------------------------------

void AppController::_createObjects(PortLister portLister) {
    const FrameRate frameRate =
        frameRateFromName(QSettings().value(FrameRateKey).toString().toStdString());
    _tableModel = new RegisterTableModel(this);
    _window = new MainWindow(_tableModel, frameRate);
    _window->installEventFilter(this);
    _editor = new RegisterEditor(_tableModel, this);
    _editor->setFrameRate(frameRate);
    _document = new RegisterDocument(
        _editor->undoStack(),
        [this]() -> const files::RegisterCollection& { return _tableModel->registers(); },
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
            .filePath("Recovered"),
        this);
    QWidget* window = _window.data();
    _alerts = new Alerts(window, this);
    _ports = new PortChooser(std::move(portLister), *_alerts, window, this);
    _rangeSheet = new RangeSheet(window);
    _progressSheet = new ProgressSheet(window);
    _jobs = new DeviceJobs([this](QString* whyNot) { return _ports->connection(whyNot); }, *_alerts,
                           *_progressSheet, this);
    _edits = new EditCommands(
        _window->table(), *_tableModel, *_editor, *_alerts, window,
        [this] { return _jobs->running(); }, this);
    _registerFiles = new RegisterFiles(
        *_document, *_editor, *_tableModel, *_alerts, window, *_window->action(Command::Save),
        [this] { return _window->commitOpenField(); }, this);
    _interchange = new RegisterInterchange(
        *_editor, *_document, *_alerts, window, [this] { return _window->commitOpenField(); },
        this);
    _recentFiles = new RecentFiles(_window->recentMenu(), this);
    auto askToSaveChanges = [this](std::function<void()> then) {
        _registerFiles->askToSaveChanges(std::move(then));
    };
    auto portName = [this] { return _ports->portName(); };
    _safeUploads = new SafeUploads(
        {*_jobs, *_alerts, *_rangeSheet, *_progressSheet, *_tableModel, *_editor, window, portName},
        this);
    _transfers =
        new RegisterTransfers({*_jobs, *_alerts, *_rangeSheet, *_progressSheet, *_tableModel,
                               *_editor, *_safeUploads, portName, askToSaveChanges},
                              this);
    _menuSettings = new MenuSettingsTransfers(*_jobs, *_alerts, window, this);
    _deviceTools = new DeviceTools({*_jobs, *_alerts, *_progressSheet, *_editor, window}, this);
    _help = new HelpMenu(*_alerts, window, this);
    _recoveryOffers = new RecoveryOffers({*_document, *_editor, *_alerts, askToSaveChanges}, this);
}

void AppController::_connectCommands() {
    const std::pair<Command, void (AppController::*)()> commands[] = {
        {Command::Open, &AppController::openVg2File},
        {Command::Save, &AppController::saveVg2File},
        {Command::SaveAs, &AppController::saveVg2FileAs},
        {Command::Quit, &AppController::quit},
        {Command::DownloadRegisters, &AppController::downloadRegisters},
        {Command::UploadRegisters, &AppController::uploadRegisters},
        {Command::DownloadMenuSettings, &AppController::downloadMenuSettings},
        {Command::UploadMenuSettings, &AppController::uploadMenuSettings},
        {Command::ShowVersion, &AppController::showVRG500Version},
        {Command::Help, &AppController::showHelpText},
        {Command::About, &AppController::showAboutPanel},
    };
    for (const auto& [command, slot] : commands) {
        connect(_window->action(command), &QAction::triggered, this, slot);
    }
    const std::pair<Command, void (EditCommands::*)()> edits[] = {
        {Command::Undo, &EditCommands::undo},
        {Command::Redo, &EditCommands::redo},
        {Command::Cut, &EditCommands::cutRegisters},
        {Command::Copy, &EditCommands::copyRegisters},
        {Command::CopyField, &EditCommands::copyField},
        {Command::Paste, &EditCommands::paste},
        {Command::Delete, &EditCommands::deleteSelection},
        {Command::InsertRegister, &EditCommands::insertRegister},
        {Command::Duplicate, &EditCommands::duplicateRegisters},
        {Command::GoToRegister, &EditCommands::goToRegister},
        {Command::SelectAll, &EditCommands::selectAllRegisters},
    };
    for (const auto& [command, slot] : edits) {
        connect(_window->action(command), &QAction::triggered, _edits, slot);
    }
    connect(_window->action(Command::AboutQt), &QAction::triggered, qApp, &QApplication::aboutQt);
    connect(_window->action(Command::New), &QAction::triggered, _registerFiles,
            &RegisterFiles::newDocument);
    connect(_window->action(Command::Close), &QAction::triggered, _registerFiles,
            &RegisterFiles::closeDocument);
    const std::pair<Command, std::pair<bool, RegisterInterchange::Format>> interchange[] = {
        {Command::ExportEditDecisionList, {true, RegisterInterchange::Format::EditDecisionList}},
        {Command::ExportCsv, {true, RegisterInterchange::Format::Csv}},
        {Command::ImportEditDecisionList, {false, RegisterInterchange::Format::EditDecisionList}},
        {Command::ImportCsv, {false, RegisterInterchange::Format::Csv}},
    };
    for (const auto& [command, what] : interchange) {
        connect(_window->action(command), &QAction::triggered, _interchange,
                [this, exporting = what.first, format = what.second] {
                    if (exporting) {
                        _interchange->exportRegisters(format);
                    } else {
                        _interchange->importRegisters(format);
                    }
                });
    }
    connect(_recentFiles, &RecentFiles::chosen, this, &AppController::_openRecent);
    connect(_registerFiles, &RegisterFiles::opened, _recentFiles, &RecentFiles::add);
    connect(_registerFiles, &RegisterFiles::saved, _recentFiles, &RecentFiles::add);
    connect(_window, &MainWindow::fileDropped, this, &AppController::openFile);
    connect(_window->action(Command::ChoosePort), &QAction::triggered, _ports,
            &PortChooser::openPopUp);
    connect(_window->action(Command::Compare), &QAction::triggered, _safeUploads,
            &SafeUploads::compareWithDevice);
    connect(_window->action(Command::CompareSelected), &QAction::triggered, this,
            [this] { _safeUploads->compareSelected(_edits->selectedNumbers()); });
    connect(_window->action(Command::RestoreSnapshot), &QAction::triggered, _safeUploads,
            &SafeUploads::restoreSnapshot);
    connect(_window->action(Command::DeviceInformation), &QAction::triggered, _deviceTools,
            &DeviceTools::showInformation);
    connect(_window->action(Command::OffsetRegisters), &QAction::triggered, _deviceTools,
            &DeviceTools::offsetRegisters);
    QAction* safeUpload = _window->action(Command::SafeUpload);
    safeUpload->setChecked(SafeUploads::safeUploadEnabled());
    connect(safeUpload, &QAction::toggled, &SafeUploads::setSafeUploadEnabled);
    connect(_window, &MainWindow::frameRateChosen, this, &AppController::_selectFrameRate);
    connect(_window, &MainWindow::commandsAboutToShow, this, &AppController::validateActions);
    connect(_ports, &PortChooser::changed, this, &AppController::validateActions);
    connect(_ports, &PortChooser::popUpResized, _window,
            [this] { _window->toolbar()->followPortPopUpWidth(_window); });
    connect(_jobs, &DeviceJobs::changed, this, &AppController::validateActions);
    connect(_registerFiles, &RegisterFiles::opened, this, &AppController::validateActions);
}

void AppController::_connectEditing() {
    QUndoStack* stack = _editor->undoStack();
    connect(stack, &QUndoStack::indexChanged, this, &AppController::validateActions);
    connect(stack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        _window->setWindowModified(!clean);
        validateActions(); // Save follows unsaved changes
    });
    connect(_editor, &RegisterEditor::changesApplied, this,
            [this](const std::vector<int32_t>& numbers) {
                _edits->selectRegisters(numbers);
                validateActions();
            });
    QItemSelectionModel* selection = _window->table()->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            &AppController::validateActions);
    connect(selection, &QItemSelectionModel::currentChanged, this, &AppController::validateActions);
    connect(_window, &MainWindow::tableMenuRequested, _edits, &EditCommands::selectClicked);
    _window->cellDelegate()->setFieldCommitter(
        [this](const QModelIndex& index, int line, const QString& text, QString* reason) {
            return _edits->commitField(index, line, text, reason);
        });
    // The title follows the document's file, as Save's text does.
    connect(_document, &RegisterDocument::pathChanged, this,
            [this] { _window->showDocumentTitle(_document->title()); });
}

// What the commands need changes when the table gains its first register or loses its last.
void AppController::_validateOnTableChanges() {
    connect(_tableModel, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                if (_tableModel->rowCount() == last - first + 1) {
                    validateActions();
                }
            });
    connect(_tableModel, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (_tableModel->rowCount() == 0) {
            validateActions();
        }
    });
    connect(_tableModel, &QAbstractItemModel::modelReset, this, &AppController::validateActions);
}

// The status bar follows the pop-up, the table and its selection.
void AppController::_connectStatusBar() {
    WindowStatusBar* status = _window->statusLine();
    auto showPort = [this, status] {
        status->showPort(_ports->portSelected() ? _ports->portName() : QString());
    };
    connect(_ports, &PortChooser::changed, status, showPort);
    connect(_ports->popUp(), &QComboBox::currentIndexChanged, status, showPort);
    auto showCount = [this, status] { status->showRegisterCount(_tableModel->rowCount()); };
    connect(_tableModel, &QAbstractItemModel::rowsInserted, status, showCount);
    connect(_tableModel, &QAbstractItemModel::rowsRemoved, status, showCount);
    connect(_tableModel, &QAbstractItemModel::modelReset, status, showCount);
    connect(_window->table()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AppController::_showSelectionCount);
    connect(_tableModel, &QAbstractItemModel::modelReset, this,
            &AppController::_showSelectionCount);
    // The current cell's duration: a keyboard has no tooltip.
    connect(_window->table()->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &AppController::_showCurrentDuration);
    connect(_tableModel, &QAbstractItemModel::dataChanged, this,
            &AppController::_showCurrentDuration);
    connect(_tableModel, &QAbstractItemModel::modelReset, this,
            &AppController::_showCurrentDuration);
}

void AppController::_showSelectionCount() {
    const QItemSelectionModel* selection = _window->table()->selectionModel();
    _window->statusLine()->showSelection(
        static_cast<int>(selection->selectedRows(RegisterTableModel::RegisterColumn).size()));
}

void AppController::_showCurrentDuration() {
    const QModelIndex current = _window->table()->currentIndex();
    _window->statusLine()->showDuration(_tableModel->durationText(
        current.row(), RegisterTableModel::machineOfColumn(current.column())));
}

// ---- Start-up ------------------------------------------------------------------------------

void AppController::awakeFromNib() {
    _tableModel->removeAllRegisters();
    _window->showDocumentTitle(_document->title());
    _window->attachToolbar(_ports->popUp());
    _ports->update();
    // Where the window was when it last closed; the first time, as wide as the toolbar's items.
    _window->restoreGeometry(QSettings().value(WindowGeometryKey).toByteArray());
}

// ---- The serial port ------------------------------------------------------------------------

void AppController::updateSerialPortsPopup() {
    _ports->update();
}

void AppController::selectSerialPort() {
    _ports->selectionMade();
}

void AppController::chooseOtherPort() {
    _ports->askForPath();
}

bool AppController::addSerialPortByPath(const QString& path) {
    return _ports->addPath(path);
}

// ---- Files and transfers, handed on ------------------------------------------------------------

void AppController::openVg2File() {
    _registerFiles->open();
}

void AppController::openFile(const QString& path) {
    if (QFileInfo(path).suffix().compare("vgs", Qt::CaseInsensitive) == 0) {
        _menuSettings->explainFile(path);
        return;
    }
    _registerFiles->open(path);
}

void AppController::_openRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        _recentFiles->remove(path);
        _alerts->show(tr("\"%1\" can no longer be found.").arg(QFileInfo(path).fileName()),
                      tr("It may have been moved, renamed or deleted. It has been removed from "
                         "Open Recent."),
                      true);
        return;
    }
    _registerFiles->open(path);
}

void AppController::saveVg2File() {
    _registerFiles->save();
}

void AppController::saveVg2FileAs() {
    _registerFiles->saveAs();
}

void AppController::downloadRegisters() {
    _transfers->download();
}

void AppController::uploadRegisters() {
    _transfers->upload();
}

void AppController::cancelProgressSheet() {
    _jobs->cancel();
}

void AppController::downloadMenuSettings() {
    _menuSettings->download();
}

void AppController::uploadMenuSettings() {
    _menuSettings->upload();
}

// ---- The frame rate edited times are checked against ------------------------------------------

void AppController::_selectFrameRate(QAction* action) {
    const QString name = action->data().toString();
    QSettings().setValue(FrameRateKey, name);
    _editor->setFrameRate(frameRateFromName(name.toStdString()));
}

// ---- Recovery ----------------------------------------------------------------------------------

void AppController::offerRecoveredRegisters() {
    _recoveryOffers->offer();
}

// ---- Version, about box, help ----------------------------------------------------------------

void AppController::showVRG500Version() {
    _deviceTools->showVersion();
}

void AppController::showAboutPanel() {
    _help->showAboutPanel();
}

void AppController::showHelpText() {
    _help->showHelpText();
}

// ---- Closing ---------------------------------------------------------------------------------

void AppController::quit() {
    _window->close();
}

void AppController::terminate() {
    _terminating = true;
    _window->commitOpenField(); // what the table can take of it; a signal waits for no answer
    const QString kept = _document->keepRecoveryCopyNow();
    if (!kept.isEmpty()) {
        tavrelNote("Unsaved registers were kept in %s", localFilePath(kept).c_str());
    }
    _closeConfirmed = true;
    _window->close();
}

void AppController::_closeAfterAsking() {
    _registerFiles->askToSaveChanges([this] {
        _closeConfirmed = true;
        _window->close();
    });
}

void AppController::windowWillClose(QWidget* window) {
    if (window != _window) {
        return;
    }
    QSettings().setValue(WindowGeometryKey, _window->saveGeometry());
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
    if (event->type() == QEvent::Close && watched == _window) {
        // A value typed but refused keeps the window open, with the reason beside it.
        if (!_closeConfirmed && !_window->commitOpenField()) {
            event->ignore();
            return true;
        }
        if (!_closeConfirmed && _document->isModified()) {
            // Asked first; the window closes once the answer allows it.
            event->ignore();
            QTimer::singleShot(0, this, [this] { _closeAfterAsking(); });
            return true;
        }
        windowWillClose(_window);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavrel::app
