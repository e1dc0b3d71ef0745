// The main window's toolbar: the serial port item, then the file and transfer commands' actions in
// their fixed order, each named by its toolbar item identifier; and the window width that shows
// every item. A narrower window keeps the items that do not fit in the toolbar's extension menu.
// Assistive technologies meet the port item as the group holding the pop-up.
#pragma once

#include <QString>
#include <QToolBar>

class QAction;
class QComboBox;
class QMainWindow;

namespace tavrel::app {

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

class MainToolbar : public QToolBar {
    Q_OBJECT

  public:
    // The command actions of the toolbar, in its order.
    struct Commands {
        QAction* open;
        QAction* save;
        QAction* downloadRegisters;
        QAction* uploadRegisters;
        QAction* downloadMenuSettings;
        QAction* uploadMenuSettings;
    };

    // The port pop-up moves into the toolbar's port item.
    MainToolbar(QComboBox* portPopUp, const Commands& commands, QMainWindow* window);

    // The toolbar item identifier of a toolbar action, empty for others.
    static QString itemIdentifier(const QAction* action);
    // Makes `window` (which holds the toolbar) exactly as wide as showing every item needs; the
    // window stays free to be resized, maximised or tiled.
    void fitWindowWidth(QMainWindow* window);
    // After the port pop-up's width changed: the port item takes the new width, and `window`
    // widens if an item would no longer show; it never narrows.
    void followPortPopUpWidth(QMainWindow* window);

  private:
    void _addCommands(const Commands& commands);
    int _itemCount() const;
    int _visibleItemCount() const;

    QWidget* _portItem = nullptr;
};

} // namespace tavrel::app
