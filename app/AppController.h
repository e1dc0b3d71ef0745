// The application's controller: it builds the main window and the objects that run the commands,
// connects each command's action to the object that runs it, and keeps the commands' enabling up
// to date. The objects it holds:
//   MainWindow             the window: register table, menus, toolbar, one action per command
//   PortChooser            the port pop-up, hot-plug, Other Port, the chosen port's connection
//   DeviceJobs             every exchange with the device, on the transfer runner's worker thread
//   Alerts                 every alert, and the one way an error becomes one
//   RangeSheet, ProgressSheet
//   RegisterTableModel     the register collection, the only way to change it
//   RegisterEditor         every edit of the collection as an undo step
//   RegisterDocument       the file the table is of, unsaved changes, the recovery copy
//   EditCommands           the Edit menu
//   RegisterFiles          New, Open, Close, Save, Save As, and the question before changes
//                          could be lost
//   RecentFiles            Open Recent
//   RegisterInterchange    Import and Export: edit decision lists and CSV
//   RegisterTransfers      Download Registers, Upload Registers
//   SafeUploads            Compare with Device, safe uploads, snapshots
//   MenuSettingsTransfers  the menu settings and vgs files
//   DeviceTools            the version, Device Information, Offset Registers
//   RecoveryOffers         unsaved registers left behind, offered back at start
//   HelpMenu               the help document and the about box
// What stays the controller's own: start-up and closing.
#pragma once

#include "CommandEnabling.h"
#include "MainWindow.h"
#include "PortChooser.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;

namespace tavrel::app {

class Alerts;
class DeviceJobs;
class DeviceTools;
class EditCommands;
class HelpMenu;
class MenuSettingsTransfers;
class ProgressSheet;
class RangeSheet;
class RecentFiles;
class RecoveryOffers;
class RegisterDocument;
class RegisterEditor;
class RegisterFiles;
class RegisterInterchange;
class RegisterTableModel;
class RegisterTransfers;
class SafeUploads;
class TransferRunner;

// User-defaults keys.
// The frame rate edited times are checked against (records::frameRateName).
inline constexpr const char* FrameRateKey = "Frame Rate";
// The main window's size and place when it last closed (QWidget::saveGeometry).
inline constexpr const char* WindowGeometryKey = "Window Geometry";

class AppController : public QObject {
    Q_OBJECT

  public:
    // Lists the serial ports (name to device path); none when the enumeration failed.
    using PortLister = PortChooser::PortLister;

    // Builds the whole interface and runs awakeFromNib(). The window is not shown yet.
    // `portLister` defaults to link::availableSerialDevices; tests and the demonstration
    // mode feed their own lists through it. A given lister is also what a port change lists again
    // through (a subscription of the controller's own), so the changes seen are the lister's.
    explicit AppController(PortLister portLister = {}, QObject* parent = nullptr);
    ~AppController() override;

    AppController(const AppController&) = delete;
    AppController& operator=(const AppController&) = delete;

    // The main window (shown by the caller).
    MainWindow* window() const;

    // ---- Commands -----------------------------------------------------------------------------
  public slots:
    void showAboutPanel();
    void showHelpText();
    void selectSerialPort();
    void showVRG500Version();

    void downloadRegisters();
    void uploadRegisters();
    void downloadMenuSettings();
    void uploadMenuSettings();
    void openVg2File();
    // A file given to the window (at start-up, dropped on it): a register file is opened as Open
    // does, unsaved changes asked about first; a menu settings file is only explained.
    void openFile(const QString& path);
    // Saves the table in its own file, or asks for one (as Save As) when it has none.
    void saveVg2File();
    void saveVg2FileAs();
    // The progress sheet's Cancel: the running job ends at once.
    void cancelProgressSheet();

    // Closes the main window, which quits; unsaved changes are asked about first.
    void quit();
    // Quits at once, as a signal asks: unsaved registers are kept in a recovery file first.
    void terminate();
    // Offers, one at a time, the unsaved registers that windows which ended without saving left
    // behind: Restore, Discard or Later.
    void offerRecoveredRegisters();

  public:
    // ---- Start-up and notifications -----------------------------------------------------------
    void awakeFromNib();
    // The closing of `window`: the main window's closing terminates the application.
    void windowWillClose(QWidget* window);
    // Rebuilds the port pop-up from the port lister and the ports added by path that still
    // exist; also the hot-plug notification's action.
    void updateSerialPortsPopup();
    // Adds the serial line at `path` (a device the registry does not report) to the pop-up,
    // selects and remembers it; a path that is not a usable terminal gives an alert instead. The
    // name of a listed adapter's link in /dev/serial/by-id selects that adapter's port.
    bool addSerialPortByPath(const QString& path);
    // "Other Port…": asks for a device path in a window-modal dialog.
    void chooseOtherPort();

    // ---- Command enabling (AppControllerValidation.cpp) ---------------------------------------
    // Enabled state for a toolbar item identifier, and for a command's action.
    bool validateToolbarItem(const QString& itemIdentifier) const;
    bool validateMenuItem(const QAction* action) const;
    // Re-applies the rules to every command (the toolbar's and the menus' items alike).
    void validateActions();

    // ---- The objects held -----------------------------------------------------------------------
    Alerts* alerts() const { return _alerts; }
    PortChooser* portChooser() const { return _ports; }
    RegisterTableModel* tableModel() const { return _tableModel; }
    RegisterEditor* registerEditor() const { return _editor; }
    RegisterDocument* document() const { return _document; }
    EditCommands* editCommands() const { return _edits; }
    RangeSheet* rangeSheet() const { return _rangeSheet; }
    ProgressSheet* progressSheet() const { return _progressSheet; }
    DeviceJobs* deviceJobs() const { return _jobs; }
    TransferRunner* transferRunner() const;
    RegisterTransfers* registerTransfers() const { return _transfers; }
    SafeUploads* safeUploads() const { return _safeUploads; }
    MenuSettingsTransfers* menuSettings() const { return _menuSettings; }
    RegisterFiles* registerFiles() const { return _registerFiles; }
    RegisterInterchange* interchange() const { return _interchange; }
    DeviceTools* deviceTools() const { return _deviceTools; }
    HelpMenu* helpMenu() const { return _help; }
    RecentFiles* recentFiles() const { return _recentFiles; }

  signals:
    // Emitted just before the application is asked to quit.
    void applicationWillTerminate();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void _createObjects(PortLister portLister);
    void _connectCommands();
    void _connectEditing();
    void _validateOnTableChanges();
    void _connectStatusBar();
    void _showSelectionCount();
    void _showCurrentDuration();
    // Open Recent's choice: a file gone from its place leaves the list, with an alert.
    void _openRecent(const QString& path);
    // The facts the enabling table decides from.
    CommandState _commandState() const;
    void _closeAfterAsking();
    void _selectFrameRate(QAction* action);

    QPointer<MainWindow> _window;
    RegisterTableModel* _tableModel = nullptr;
    RegisterEditor* _editor = nullptr;
    RegisterDocument* _document = nullptr;
    Alerts* _alerts = nullptr;
    PortChooser* _ports = nullptr;
    RangeSheet* _rangeSheet = nullptr;
    ProgressSheet* _progressSheet = nullptr;
    DeviceJobs* _jobs = nullptr;
    EditCommands* _edits = nullptr;
    RegisterFiles* _registerFiles = nullptr;
    RegisterInterchange* _interchange = nullptr;
    RecentFiles* _recentFiles = nullptr;
    SafeUploads* _safeUploads = nullptr;
    RegisterTransfers* _transfers = nullptr;
    MenuSettingsTransfers* _menuSettings = nullptr;
    DeviceTools* _deviceTools = nullptr;
    RecoveryOffers* _recoveryOffers = nullptr;
    HelpMenu* _help = nullptr;
    // Set once closing has been agreed to (nothing unsaved, or Don't Save).
    bool _closeConfirmed = false;
    // Set when a signal ends the application: the copy of unsaved registers stays.
    bool _terminating = false;
};

} // namespace tavrel::app
