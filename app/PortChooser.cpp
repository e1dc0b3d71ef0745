#include "PortChooser.h"

#include "Alerts.h"
#include "FilePanel.h"
#include "LibraryTexts.h"
#include "OpenFailure.h"
#include "OtherPortDialog.h"
#include "SerialDeviceNotifier.h"
#include "SerialPortDiscovery.h"
#include "TavrelSocket.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSignalBlocker>
#include <QSocketNotifier>

#include <algorithm>
#include <utility>
#include <vector>

namespace tavrel::app {

using records::SerialPortList;

namespace {

constexpr int PopUpWidth = 180;

// What a port item carries besides its title; the path is its Qt::UserRole data.
constexpr int PortNameRole = Qt::UserRole + 1;
constexpr int PortIdentityRole = Qt::UserRole + 2;

struct PopUpEntry {
    QString title;    // as the pop-up shows it
    QString name;     // as listed, or as added by path
    QString path;     // the device path
    QString identity; // the adapter's, empty when it has none
};

// "DESCRIPTION — NAME" for a port whose adapter is described, else the name alone.
QString portTitle(const QString& name, const std::string& description) {
    if (description.empty()) {
        return name;
    }
    return PortChooser::tr("%1 \u2014 %2").arg(QString::fromStdString(description), name);
}

// A "Serial Port" setting holding a "/" is a device path; otherwise it is a port's name.
bool isPortPath(const QString& setting) {
    return setting.contains('/');
}

// The pop-up's entries: the listed ports in name order (std::map orders its names by byte, as the
// case-sensitive comparison does), then the ports added by path that still exist and are not
// listed already, under their base names (or their paths, when the name is taken).
std::vector<PopUpEntry> popUpEntries(const std::optional<SerialPortList>& ports,
                                     const QStringList& addedPaths) {
    std::vector<PopUpEntry> entries;
    QStringList names;
    QStringList paths;
    for (const auto& [name, port] : ports.value_or(SerialPortList{})) {
        const QString portName = QString::fromLatin1(name);
        entries.push_back({portTitle(portName, port.description), portName,
                           QFile::decodeName(port.path.c_str()),
                           QString::fromStdString(port.identity)});
        names << portName;
        paths << entries.back().path;
    }
    for (const QString& path : addedPaths) {
        if (paths.contains(path) || !QFileInfo::exists(path)) {
            continue;
        }
        const QString name = QFileInfo(path).fileName();
        const QString title = names.contains(name) ? path : name;
        entries.push_back({title, title, path, QString()});
        names << title;
        paths << path;
    }
    return entries;
}

// Whether `entry` is the port the settings chose: by its adapter's identity when one was stored,
// so that another adapter given the same name is not taken for it; else by its path or name.
bool isChosenEntry(const PopUpEntry& entry, const QString& chosen, const QString& chosenIdentity) {
    if (!chosenIdentity.isEmpty()) {
        return entry.identity == chosenIdentity;
    }
    return isPortPath(chosen) ? entry.path == chosen : entry.name == chosen;
}

} // namespace

PortChooser::PortChooser(PortLister lister, Alerts& alerts, QWidget* window, QObject* parent)
    : QObject(parent), _lister(std::move(lister)), _alerts(alerts), _window(window) {
    if (_lister) {
        _listerNotifier = std::make_unique<link::SerialDeviceNotifier>(_lister);
    } else {
        _lister = [] { return link::availableSerialDevices(); };
    }
    _popUp = new QComboBox;
    _popUp->setObjectName("serialPopUpButton");
    _popUp->setToolTip(tr("The serial port for the VRG-500"));
    _popUp->setAccessibleName(tr("Serial Port"));
    _popUp->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    _popUp->resize(PopUpWidth, _popUp->sizeHint().height());
    // The choice, however it is made: a click, the keyboard, an assistive technology or code.
    // The pop-up's own rebuilding and resetting go on with its signals blocked.
    connect(_popUp, &QComboBox::currentIndexChanged, this, &PortChooser::selectionMade);
}

PortChooser::~PortChooser() {
    // The notifier goes before the subscription that owns its descriptor.
    delete _notifier;
    if (!_listerNotifier) {
        link::registerForSerialDeviceNotifications(nullptr, std::function<void()>());
    }
}

void PortChooser::_subscribe() {
    const std::function<void()> action = [this] { update(); };
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
    _notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(_notifier, &QSocketNotifier::activated, this, [this] {
        if (_listerNotifier) {
            _listerNotifier->dispatch();
        } else {
            link::dispatchSerialDeviceNotifications();
        }
    });
}

void PortChooser::update() {
    if (_notifier == nullptr) {
        _subscribe();
    }
    const QSettings settings;
    const QString chosen = settings.value(SelectedSerialPortKey).toString();
    const QString chosenIdentity = settings.value(SelectedSerialPortIdentityKey).toString();
    if (isPortPath(chosen) && !_portsByPath.contains(chosen)) {
        _portsByPath << chosen; // remembered from an earlier run: listed while it exists
    }
    const auto entries = popUpEntries(_lister(), _portsByPath);
    const QSignalBlocker rebuilding(_popUp);
    _popUp->clear();
    int selected = entries.empty() ? -1 : 0;
    for (const PopUpEntry& entry : entries) {
        if (isChosenEntry(entry, chosen, chosenIdentity)) {
            selected = _popUp->count();
        }
        _popUp->addItem(entry.title, entry.path);
        _popUp->setItemData(_popUp->count() - 1, entry.name, PortNameRole);
        _popUp->setItemData(_popUp->count() - 1, entry.identity, PortIdentityRole);
    }
    // Always there, so a line the system does not list can be chosen even with no ports.
    _popUp->insertSeparator(_popUp->count());
    _popUp->addItem(tr(OtherPortItemTitle));
    _popUp->setPlaceholderText(entries.empty() ? tr("No serial ports") : QString());
    _popUp->setCurrentIndex(selected);
    _popUp->setEnabled(true);
    _settledIndex = selected;
    _fitPopUpWidth();
    emit changed();
}

void PortChooser::_fitPopUpWidth() {
    const int width = std::max(PopUpWidth, _popUp->sizeHint().width());
    if (width != _popUp->width()) {
        _popUp->setFixedWidth(width);
        emit popUpResized();
    }
}

void PortChooser::selectionMade() {
    const int index = _popUp->currentIndex();
    if (index < 0) {
        return;
    }
    const QString path = _popUp->itemData(index).toString();
    if (path.isEmpty()) {
        // "Other Port…" is never the selected port: the previous one stays while it is asked.
        const QSignalBlocker unchanged(_popUp);
        _popUp->setCurrentIndex(_settledIndex);
        askForPath();
        return;
    }
    _settledIndex = index;
    QSettings settings;
    settings.setValue(
        SelectedSerialPortKey,
        _portsByPath.contains(path) ? path : _popUp->itemData(index, PortNameRole).toString());
    const QString identity = _popUp->itemData(index, PortIdentityRole).toString();
    if (identity.isEmpty()) {
        settings.remove(SelectedSerialPortIdentityKey);
    } else {
        settings.setValue(SelectedSerialPortIdentityKey, identity);
    }
}

void PortChooser::openPopUp() {
    _popUp->setFocus(Qt::ShortcutFocusReason);
    _popUp->showPopup();
}

void PortChooser::askForPath() {
    auto* dialog = new OtherPortDialog(_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { addPath(dialog->path()); });
    dialog->open();
}

bool PortChooser::addPath(const QString& path) {
    if (!isPortPath(path) && _selectByIdLink(path)) {
        return true;
    }
    QString reason;
    if (!isUsableSerialPortPath(path, &reason)) {
        _alerts.show(tr("%1 cannot be used as a serial port").arg(path), reason, true);
        return false;
    }
    if (!_portsByPath.contains(path)) {
        _portsByPath << path;
    }
    QSettings settings;
    settings.setValue(SelectedSerialPortKey, path);
    settings.remove(SelectedSerialPortIdentityKey);
    update();
    return true;
}

bool PortChooser::_selectByIdLink(const QString& linkName) {
    const auto ports = _lister();
    const auto name = records::portNameOfByIdLink(ports.value_or(SerialPortList{}),
                                                  QFile::encodeName(linkName).toStdString());
    if (!name) {
        return false;
    }
    QSettings settings;
    settings.setValue(SelectedSerialPortKey, QString::fromLatin1(*name));
    settings.setValue(SelectedSerialPortIdentityKey,
                      QString::fromStdString(ports->at(*name).identity));
    update();
    return true;
}

bool PortChooser::portSelected() const {
    // Port items carry their device path; "Other Port…" carries none.
    const int index = _popUp->currentIndex();
    return index >= 0 && !_popUp->itemData(index).toString().isEmpty();
}

QString PortChooser::portName() const {
    const int index = _popUp->currentIndex();
    return index < 0 ? QString() : _popUp->itemData(index, PortNameRole).toString();
}

std::string PortChooser::portPath() const {
    const int index = _popUp->currentIndex();
    return index < 0 ? std::string() : localFilePath(_popUp->itemData(index).toString());
}

std::shared_ptr<link::TavrelSocket> PortChooser::connection(QString* whyNot) const {
    whyNot->clear();
    const std::string path = portPath();
    if (path.empty()) {
        return nullptr;
    }
    int openErrno = 0;
    std::shared_ptr<link::TavrelSocket> socket =
        link::TavrelSocket::socketForDeviceFilePath(path, &openErrno);
    if (!socket && openErrno != 0) {
        *whyNot = translatedLibraryText(link::explainOpenFailure(path, openErrno));
    }
    return socket;
}

} // namespace tavrel::app
