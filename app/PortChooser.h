// The serial port the window works with: the toolbar's pop-up of the ports the system lists (kept
// up to date as ports come and go, each shown with its adapter's description when udev gives one),
// the ports added by path, "Other Port…", the choice remembered in the settings (by the adapter's
// identity when it has one, so the choice follows the adapter to whatever name it gets next), and
// the connection of the chosen port with why it could not be opened.
#pragma once

#include "SerialPortList.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QSocketNotifier;
class QWidget;

namespace tavrel::link {
class SerialDeviceNotifier;
class TavrelSocket;
} // namespace tavrel::link

namespace tavrel::app {

class Alerts;

// The settings key of the chosen port: its name as listed, or the device path of one added by path.
inline constexpr const char* SelectedSerialPortKey = "Serial Port";
// The settings key of the chosen port's adapter identity (records::SerialPort::identity); absent
// when that port has none. When present, it alone says which listed port is the chosen one.
inline constexpr const char* SelectedSerialPortIdentityKey = "Serial Port Identity";
// The pop-up's last item, which asks for a device path.
inline constexpr const char* OtherPortItemTitle =
    QT_TRANSLATE_NOOP("tavrel::app::PortChooser", "Other Port\u2026");

class PortChooser : public QObject {
    Q_OBJECT

  public:
    // Lists the serial ports (name to device path); none when the enumeration failed.
    using PortLister = std::function<std::optional<records::SerialPortList>()>;

    // `lister` defaults to the system's list; a given lister is also what a port change lists
    // again through (a subscription of its own), so the changes seen are the lister's.
    PortChooser(PortLister lister, Alerts& alerts, QWidget* window, QObject* parent);
    ~PortChooser() override;

    QComboBox* popUp() const { return _popUp; }

    // Rebuilds the pop-up from the lister and the ports added by path that still exist; also
    // what a port's arrival or departure does. Subscribes to those on its first call.
    void update();
    // The pop-up's choice, however it was made; "Other Port…" asks for a path instead.
    void selectionMade();
    // The pop-up, from the keyboard, focused and open.
    void openPopUp();
    // "Other Port…": asks for a device path in a window-modal dialog.
    void askForPath();
    // Adds the serial line at `path` (a device the system does not list) to the pop-up, selects
    // and remembers it; a path that is not a usable terminal gives an alert instead. The name of
    // a listed adapter's link in /dev/serial/by-id selects that adapter's port instead.
    bool addPath(const QString& path);

    bool portSelected() const;
    // The selected port's name as listed (without its description), and its device path as the
    // system names the file.
    QString portName() const;
    std::string portPath() const;
    // The shared connection of the selected port; null with why (empty when no port is selected).
    std::shared_ptr<link::TavrelSocket> connection(QString* whyNot) const;

  signals:
    // The ports listed or the one selected changed.
    void changed();
    // The pop-up's width changed: it is as wide as its widest entry, and never narrower than at
    // first.
    void popUpResized();

  private:
    void _subscribe();
    void _fitPopUpWidth();
    bool _selectByIdLink(const QString& linkName);

    PortLister _lister;
    Alerts& _alerts;
    QPointer<QWidget> _window;
    QComboBox* _popUp = nullptr;
    // The subscription over a given lister; null when the process-wide one is used.
    std::unique_ptr<link::SerialDeviceNotifier> _listerNotifier;
    QSocketNotifier* _notifier = nullptr;
    // Device paths of the ports added by path, listed while they exist.
    QStringList _portsByPath;
    // The pop-up's port before the latest choice, which "Other Port…" goes back to.
    int _settledIndex = -1;
};

} // namespace tavrel::app
