// The application's controller: it builds the main window (register table, toolbar, menus) and
// coordinates the objects it holds, which run the commands: the port chooser, the device jobs
// (every exchange with the device runs on a worker thread of the transfer runner; everything else,
// and everything a job shows, happens on the window's thread), the alerts, the range and progress
// sheets, the edit commands, the register files, the safe uploads, the menu settings transfers and
// the device tools. The register collection lives in the table model, which is the only way to
// change it.
//
// What is still the controller's own, one source file per concern:
//   AppController.cpp                  start-up, the window, actions and menus, version, about
//                                      box, help, closing; the commands handed on
//   AppControllerTable.cpp             the register collection's changes and the table
//   AppControllerValidation.cpp        the facts the enabling table decides from
//   AppControllerRegisterTransfer.cpp  the plain register download and upload
//   AppControllerEditing.cpp           the Edit menu's actions and the table's context menu
//   AppControllerUnsavedChanges.cpp    the window title, the save prompt, quitting on a signal
//   AppControllerRecovery.cpp          offering the registers windows that ended left behind
//   MainToolbar.cpp                    the toolbar
#pragma once

#include "CommandEnabling.h"
#include "DeviceJobs.h"
#include "PortChooser.h"
#include "RegisterCollection.h"
#include "RegisterRange.h"
#include "SerialPortList.h"
#include "TavrelError.h"
#include "TavrelSocket.h"
#include "TransferRunner.h"
#include "VRG500.h"

#include <QKeySequence>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QButtonGroup;
class QComboBox;
class QDialog;
class QLabel;
class QMainWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;
class QToolBar;


namespace tavrel::app {

class Alerts;
class DeviceTools;
class EditCommands;
class MenuSettingsTransfers;
class ProgressSheet;
class RangeSheet;
class RegisterDocument;
class RegisterEditor;
class RegisterFiles;
struct RecoveredRegisters;
class RegisterTableModel;
class RegisterTableView;
class SafeUploads;

// User-defaults keys.
// The frame rate edited times are checked against (records::frameRateName).
inline constexpr const char* FrameRateKey = "Frame Rate";

// Toolbar item identifiers: each text is its constant's name.
inline constexpr const char* SerialPortsToolbarItemIdentifier = "SerialPortsToolbarItemIdentifier";
inline constexpr const char* OpenFileToolbarItemIdentifier = "OpenFileToolbarItemIdentifier";
inline constexpr const char* SaveFileToolbarItemIdentifier = "SaveFileToolbarItemIdentifier";
inline constexpr const char* DownloadRegistersToolbarItemIdentifier =
    "DownloadRegistersToolbarItemIdentifier";
inline constexpr const char* UploadRegistersToolbarItemIdentifier =
    "UploadRegistersToolbarItemIdentifier";
inline constexpr const char* DownloadMenuSettingsToolbarItemIdentifier =
    "DownloadMenuSettingsToolbarItemIdentifier";
inline constexpr const char* UploadMenuSettingsToolbarItemIdentifier =
    "UploadMenuSettingsToolbarItemIdentifier";

class AppController : public QObject {
    Q_OBJECT

  public:
    // Lists the serial ports (name to device path); none when the enumeration failed.
    using PortLister = PortChooser::PortLister;
    // Opens a document in the desktop's viewer; true when the desktop accepted it.
    using UrlOpener = std::function<bool(const QUrl&)>;

    // Builds the whole interface and runs awakeFromNib(). The window is not shown yet.
    // `portLister` defaults to link::availableSerialDevices; tests and the demonstration
    // mode feed their own lists through it. A given lister is also what a port change lists again
    // through (a subscription of the controller's own), so the changes seen are the lister's.
    explicit AppController(PortLister portLister = {}, QObject* parent = nullptr);
    ~AppController() override;

    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    // The main window (shown by the caller).
    QMainWindow* window() const;

    // ---- Commands (the sender is not needed in this toolkit) ----------------------------------
  public slots:
    void showAboutPanel();
    void showHelpText();
    void selectSerialPort();
    // Device ▸ Choose Serial Port: the port pop-up, from the keyboard, focused and open.
    void chooseSerialPort();
    void showVRG500Version();

    void downloadRegisters();
    void uploadRegisters();
    void downloadMenuSettings();
    void uploadMenuSettings();
    void openVg2File();
    // Saves the table in its own file, or asks for one (as Save As) when it has none.
    void saveVg2File();
    void saveVg2FileAs();

    // Closes the main window, which quits; unsaved changes are asked about first.
    void quit();
    // Quits at once, as a signal asks: unsaved registers are kept in a recovery file first.
    void terminate();
    // Offers, one at a time, the unsaved registers that windows which ended without saving left
    // behind: Restore, Discard or Later.
    void offerRecoveredRegisters();

    // The Edit menu (AppControllerEditing.cpp).
    void undo();
    void redo();
    void cutRegisters();
    void copyRegisters();
    void copyField();
    void paste();
    // Delete: the registers chosen whole, or else the current field's value (see
    // RegisterTableView).
    void deleteSelection();
    void deleteRegisters();
    void insertRegister();
    void duplicateRegisters();
    void goToRegister();
    void selectAllRegisters();
    void selectFrameRate(QAction* action);

    // Comparing and safe uploads (SafeUploads.h).
    void compareWithDevice();
    // The table's context menu: compares the selected registers.
    void compareSelectedWithDevice();
    void restoreSnapshot();
    void selectSafeUpload(bool on);

  public:
    // ---- Start-up and notifications -----------------------------------------------------------
    void awakeFromNib();
    // The closing of `window`: the main window's closing terminates the application.
    void windowWillClose(QWidget* window);
    // Rebuilds the port pop-up from the port lister and the ports added by path that still
    // exist; also the hot-plug notification's action.
    void updateSerialPortsPopup();
    // Adds the serial line at `path` (a device the registry does not report) to the pop-up,
    // selects and remembers it; a path that is not a usable terminal gives an alert instead.
    bool addSerialPortByPath(const QString& path);
    // "Other Port…": asks for a device path in a window-modal dialog.
    void chooseOtherPort();

    // ---- Services for the other operations ----------------------------------------------------
    // Critical alert for `error`, or the generic communication alert when null; returns at once.
    // `moreInformation` is a paragraph after the error's own informative text.
    void _showError(const records::TavrelError* error, const QString& moreInformation = {});
    // A window-modal alert on the main window, opened and returned at once; it deletes itself
    // when dismissed. `critical` selects the critical style, otherwise the default one.
    QMessageBox* _beginAlertSheet(const QString& messageText, const QString& informativeText,
                                  bool critical);
    // A window-modal alert on the main window with these texts and no buttons yet, not opened;
    // it deletes itself when dismissed and is the current alert from now on.
    QMessageBox* _newAlertSheet(QMessageBox::Icon icon, const QString& messageText,
                                const QString& informativeText);
    // The alert last opened by the controller while it is still open, else null.
    QMessageBox* currentAlert() const;
    Alerts* alerts() const { return _alerts; }
    PortChooser* portChooser() const { return _ports; }

    // ---- The register collection and the table (AppControllerTable.cpp) ----------------------
    // The collection lives in the table model; these change it and re-check the commands.
    // Stores one register (replacing any entry of that number) and updates only its row.
    void _storeRegister(int32_t number, const records::RegisterEntry& entry);
    // Empties the collection and the table.
    void _removeAllRegisters();
    // Puts `registers` in place of the collection and refreshes the table.
    void _replaceRegisters(files::RegisterCollection registers);
    RegisterTableModel* tableModel() const { return _tableModel; }
    RegisterEditor* registerEditor() const { return _editor; }
    RegisterDocument* document() const { return _document; }

    // ---- Editing (AppControllerEditing.cpp) ---------------------------------------------------
    EditCommands* editCommands() const { return _edits; }
    // Whether a register transfer is running (editing waits for it).
    bool _transferRunning() const;
    // A window-modal question with a default Cancel; `accepted` runs on the accept button.
    void _beginQuestionSheet(const QString& messageText, const QString& informativeText,
                             const QString& acceptTitle, std::function<void()> accepted);

    // ---- The progress sheet for stepwise work besides the register transfers -----------------
    // (DeviceTools uses it.) Opens it with `title` and a bar over `range`; clears the cancel flag.
    void _openProgressSheet(const QString& title, records::RegisterRange range);
    // Shows `text` (with "%1" for the register) and the bar at `current`.
    void _closeProgressSheet();
    DeviceTools* deviceTools() const { return _deviceTools; }

    // Comparing, safe uploads and snapshots.
    SafeUploads* safeUploads() const { return _safeUploads; }

    // ---- Unsaved changes (AppControllerUnsavedChanges.cpp) -----------------------------------
    // Whether the registers differ from the file last opened or saved.
    bool _hasUnsavedChanges() const;
    // Runs `then` at once when nothing is unsaved; otherwise asks "Save changes to the
    // registers?" and runs it after a successful save or on Don't Save; Cancel drops it.
    void _askToSaveChanges(std::function<void()> then);
    void _updateWindowTitle();
    // Hands the open field editor's text to the table before what must not lose it; false when
    // the text was refused (the editor stays open with the reason, and the command stops).
    bool _commitOpenField();
    // ---- Recovery (AppControllerRecovery.cpp) -----------------------------------------------
    void _restoreRecovered(const RecoveredRegisters& copy);

    // ---- Command enabling (AppControllerValidation.cpp) ---------------------------------------
    bool _registersLoaded() const;
    // Save: registers to write, or changes not saved (an emptied table is saved empty).
    bool _canSave() const;
    // Enabled state for a toolbar item identifier, and for a command's action.
    bool validateToolbarItem(const QString& itemIdentifier) const;
    bool validateMenuItem(const QAction* action) const;
    // Re-applies the rules to every command (the toolbar's and the menus' items alike).
    void validateActions();

    // ---- Register transfer (AppControllerRegisterTransfer.cpp) --------------------------------
    RangeSheet* rangeSheet() const { return _rangeSheet; }
    ProgressSheet* progressSheet() const { return _progressSheet; }
    void _downloadRegisters(records::RegisterRange range);
    void _uploadRegisters(records::RegisterRange range);
    // The bar at `current` (the registers before it done), then the progress sheet goes.
    void _endTransfer(int32_t current);
    // Ends a download: the progress sheet goes, and the download becomes one undo step.
    void _endDownload(int32_t current);
    TransferRunner* transferRunner() const { return _jobs->runner(); }
    DeviceJobs* deviceJobs() const { return _jobs; }
    void cancelProgressSheet();

    // ---- Menu settings transfers and the vgs file ----------------------------------------------
    MenuSettingsTransfers* menuSettings() const { return _menuSettings; }

    // ---- Open and Save of vg2 register files --------------------------------------------------
    RegisterFiles* registerFiles() const { return _registerFiles; }

    QToolBar* mainToolbar() const { return _toolbar; }
    // The toolbar item identifier of a toolbar action, empty for others.
    QString toolbarItemIdentifier(const QAction* action) const;

    // What opens the help document (the desktop's default viewer); tests replace it.
    void setUrlOpener(UrlOpener opener) { _urlOpener = std::move(opener); }
    // The file of the help document (written out from the resources on first use).
    QString helpDocumentPath() const;

  signals:
    // Emitted just before the application is asked to quit.
    void applicationWillTerminate();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Tests and benchmarks reach the outlets and state through it (AppControllerTestAccess.h).
    friend class AppControllerTestAccess;

    // ---- Outlets of the interface, in declaration order --------------------------------------
    QPointer<QMainWindow> mainWindow;
    RegisterTableView* registerTable = nullptr;
    RangeSheet* _rangeSheet = nullptr;
    ProgressSheet* _progressSheet = nullptr;

    // ---- Controller state (the register collection lives in the table model) ----------------

    // ---- Actions, one per command, shared by the menus and the toolbar ------------------------
    QAction* openAction = nullptr;
    QAction* saveAction = nullptr;
    QAction* saveAsAction = nullptr;
    QAction* quitAction = nullptr;
    QAction* choosePortAction = nullptr;
    QAction* downloadRegistersAction = nullptr;
    QAction* uploadRegistersAction = nullptr;
    QAction* downloadMenuSettingsAction = nullptr;
    QAction* uploadMenuSettingsAction = nullptr;
    QAction* showVersionAction = nullptr;
    QAction* helpAction = nullptr;
    QAction* aboutAction = nullptr;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;
    QAction* cutAction = nullptr;
    QAction* copyAction = nullptr;
    QAction* copyFieldAction = nullptr;
    QAction* pasteAction = nullptr;
    QAction* deleteAction = nullptr;
    QAction* insertRegisterAction = nullptr;
    QAction* duplicateAction = nullptr;
    QAction* goToRegisterAction = nullptr;
    QAction* selectAllAction = nullptr;
    QActionGroup* frameRateActions = nullptr;
    QAction* compareAction = nullptr;
    QAction* restoreSnapshotAction = nullptr;
    QAction* safeUploadAction = nullptr;
    QAction* deviceInformationAction = nullptr;
    QAction* offsetRegistersAction = nullptr;

    // Interface construction (the interface description).
    void _createMainWindow();
    void _createActions();
    QAction* _makeAction(const QString& text, const QKeySequence& shortcut,
                         void (AppController::*slot)());
    void _createMenus();
    void _createEditActions(); // AppControllerEditing.cpp
    QMenu* _createEditMenu();  // AppControllerEditing.cpp
    void _showTableContextMenu(const QPoint& position);
    // The facts the enabling table decides from, and each command's action.
    CommandState _commandState() const;
    std::vector<std::pair<QAction*, Command>> _commandActions() const;
    // The first two steps of the commands that replace the collection, once changes are safe.
    void _closeAfterAsking();
    void _showDownloadRangeSheet();
    void _createSheets();
    // Toolbar (MainToolbar.cpp).
    void _attachToolbar();
    void _fitWindowWidthToToolbar();
    int _visibleToolbarItemCount() const;
    int _toolbarItemCount() const;
    void _sizeTableToContents();

    PortChooser* _ports = nullptr;
    UrlOpener _urlOpener;
    RegisterTableModel* _tableModel = nullptr;
    RegisterEditor* _editor = nullptr;
    DeviceTools* _deviceTools = nullptr;
    // Starts and ends the device jobs, which run off the window's thread.
    DeviceJobs* _jobs = nullptr;
    EditCommands* _edits = nullptr;
    MenuSettingsTransfers* _menuSettings = nullptr;
    RegisterFiles* _registerFiles = nullptr;
    SafeUploads* _safeUploads = nullptr;
    // The table as a document: its file, unsaved changes, recovery copy.
    RegisterDocument* _document = nullptr;
    // Set once closing has been agreed to (nothing unsaved, or Don't Save).
    bool _closeConfirmed = false;
    // Set when a signal ends the application: the copy of unsaved registers stays.
    bool _terminating = false;
    // The collection as it was when the running download began, for its undo step.
    std::optional<files::RegisterCollection> _registersBeforeDownload;
    QToolBar* _toolbar = nullptr;
    Alerts* _alerts = nullptr;
};

} // namespace tavrel::app
