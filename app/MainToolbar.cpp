#include "MainToolbar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPixmap>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <iterator>

namespace tavrel::app {

namespace {

const char* const ItemIdentifierProperty = "toolbarItemIdentifier";

struct ToolbarCommand {
    const char* identifier;
    const char* label;
    const char* paletteLabel;
    const char* toolTip;
    const char* image;
};

const ToolbarCommand ToolbarCommands[] = {
    {OpenFileToolbarItemIdentifier, QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Open File"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Open File"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Open a .vg2 file"), "Open"},
    {SaveFileToolbarItemIdentifier, QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Save File"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Save File"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Save the registers to a .vg2 file"), "Save"},
    {DownloadRegistersToolbarItemIdentifier,
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Download Registers"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Download Registers"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Download registers from the VRG-500"),
     "RegDownload"},
    {UploadRegistersToolbarItemIdentifier,
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Upload Registers"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Upload Registers"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Upload registers to the VRG-500"), "RegUpload"},
    {DownloadMenuSettingsToolbarItemIdentifier,
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Download Menu"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Download Menu Settings"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Download menu settings from the VRG-500"),
     "MenuDownload"},
    {UploadMenuSettingsToolbarItemIdentifier,
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Upload Menu"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Upload Menu Settings"),
     QT_TRANSLATE_NOOP("tavrel::app::MainToolbar", "Upload menu settings to the VRG-500"),
     "MenuUpload"},
};

QIcon toolbarImage(const char* name) {
    QIcon icon;
    icon.addFile(QString(":/icons/%1.png").arg(name));
    icon.addFile(QString(":/icons/%1@2x.png").arg(name));
    return icon;
}

// The serial port item, drawn as the command buttons are: the style lays out its label under an
// icon-sized space exactly as theirs, so the labels share one baseline, and the pop-up fills that
// space, centred on the icons' centre line. It is not a button: it takes no clicks, never looks
// pressed or raised and takes no focus (the pop-up does). Assistive technologies meet it as the
// group that holds the pop-up (SerialPortItemAccessible).
class SerialPortItem : public QToolButton {
  public:
    SerialPortItem(QComboBox* popUp, QSize iconSize) : _popUp(popUp) {
        setObjectName(SerialPortsToolbarItemIdentifier);
        setAccessibleName(MainToolbar::tr("Serial Port"));
        setToolTip(MainToolbar::tr("The serial port for the VRG-500"));
        setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        setAutoRaise(true);
        setFocusPolicy(Qt::NoFocus);
        setIconSize(iconSize);
        QPixmap blank(iconSize);
        blank.fill(Qt::transparent);
        setIcon(QIcon(blank));
        setText(MainToolbar::tr("Serial Port"));
        // As wide as its longest port name (and never narrower than it starts), so a port's
        // description shows whole.
        popUp->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        popUp->setMinimumWidth(popUp->width());
        popUp->setParent(this);
    }

    QSize sizeHint() const override {
        const QSize button = QToolButton::sizeHint();
        return {std::max(button.width(), _popUpSize().width() + 2 * PopUpMargin), button.height()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    // The pop-up's contents changed (it asks its parent to lay it out again): the item and the
    // toolbar follow its width.
    bool event(QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest) {
            updateGeometry();
            _placePopUp();
        }
        return QToolButton::event(event);
    }
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionToolButton option;
        initStyleOption(&option);
        option.state &= ~(QStyle::State_MouseOver | QStyle::State_Raised | QStyle::State_Sunken |
                          QStyle::State_On | QStyle::State_HasFocus);
        painter.drawComplexControl(QStyle::CC_ToolButton, option);
    }
    void resizeEvent(QResizeEvent* event) override {
        QToolButton::resizeEvent(event);
        _placePopUp();
    }
    void mousePressEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->ignore(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->ignore(); }

  private:
    static constexpr int PopUpMargin = 2;

    QSize _popUpSize() const { return _popUp->sizeHint().expandedTo(_popUp->minimumSize()); }

    // The style puts the icon at the top of the button's contents, in a band 4 px taller than
    // the icon, with the label underneath.
    void _placePopUp() {
        QStyleOptionToolButton option;
        initStyleOption(&option);
        const QRect button =
            style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButton, this);
        const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
        const int iconCentre = button.top() + frame + (iconSize().height() + 4) / 2;
        _popUp->resize(_popUpSize());
        _popUp->move((width() - _popUp->width()) / 2, iconCentre - _popUp->height() / 2);
    }

    QComboBox* _popUp;
};

// The serial port item as a group holding the port pop-up. A tool button's own interface is a
// push button without children, which would hide the pop-up and offer a press that does nothing.
class SerialPortItemAccessible : public QAccessibleWidget {
  public:
    explicit SerialPortItemAccessible(QWidget* item)
        : QAccessibleWidget(item, QAccessible::Grouping) {}
};

// The toolbar exposes what it shows: the items that fit, and the extension button only while some
// do not (a window narrower than every item shows it).
class ToolbarAccessible : public QAccessibleWidget {
  public:
    explicit ToolbarAccessible(QToolBar* toolbar)
        : QAccessibleWidget(toolbar, QAccessible::ToolBar, toolbar->windowTitle()) {}

    int childCount() const override { return static_cast<int>(_shownChildren().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QAccessibleInterface*> children = _shownChildren();
        return index >= 0 && index < children.size() ? children.at(index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return static_cast<int>(_shownChildren().indexOf(const_cast<QAccessibleInterface*>(child)));
    }

  private:
    QList<QAccessibleInterface*> _shownChildren() const {
        QList<QAccessibleInterface*> shown;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            QAccessibleInterface* child = QAccessibleWidget::child(i);
            auto* widget = child != nullptr ? qobject_cast<QWidget*>(child->object()) : nullptr;
            if (widget != nullptr && !widget->isHidden()) {
                shown << child;
            }
        }
        return shown;
    }
};

QAccessibleInterface* toolbarAccessible(const QString&, QObject* object) {
    if (auto* item = dynamic_cast<SerialPortItem*>(object)) {
        return new SerialPortItemAccessible(item);
    }
    if (auto* toolbar = qobject_cast<QToolBar*>(object)) {
        return new ToolbarAccessible(toolbar);
    }
    return nullptr;
}

// Brings every layout between the window and the toolbar's items up to date, visible or not.
void applyLayouts(QMainWindow* window, QToolBar* toolbar) {
    window->layout()->invalidate();
    window->layout()->activate();
    toolbar->layout()->invalidate();
    toolbar->layout()->activate();
}

} // namespace

MainToolbar::MainToolbar(QComboBox* portPopUp, const Commands& commands, QMainWindow* window)
    : QToolBar(tr("Toolbar"), window) {
    QAccessible::installFactory(toolbarAccessible); // once: a factory installed is not added again
    setObjectName("mainToolbar");
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    toggleViewAction()->setEnabled(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(32, 32));
    // Qt's button for the items that do not fit: named for the narrow window that shows it.
    if (auto* extension = findChild<QToolButton*>("qt_toolbar_ext_button")) {
        extension->setAccessibleName(tr("More Toolbar Items"));
    }

    _portItem = new SerialPortItem(portPopUp, iconSize());
    QAction* portItem = addWidget(_portItem);
    portItem->setProperty(ItemIdentifierProperty, SerialPortsToolbarItemIdentifier);
    addSeparator();
    _addCommands(commands);
    window->addToolBar(Qt::TopToolBarArea, this);
}

void MainToolbar::_addCommands(const Commands& commands) {
    // In the order of ToolbarCommands.
    QAction* const actions[] = {commands.open,
                                commands.save,
                                commands.downloadRegisters,
                                commands.uploadRegisters,
                                commands.downloadMenuSettings,
                                commands.uploadMenuSettings};
    static_assert(std::size(actions) == std::size(ToolbarCommands));
    for (size_t i = 0; i < std::size(ToolbarCommands); ++i) {
        const ToolbarCommand& command = ToolbarCommands[i];
        QAction* action = actions[i];
        action->setIconText(tr(command.label));
        action->setToolTip(tr(command.toolTip));
        action->setIcon(toolbarImage(command.image));
        action->setProperty(ItemIdentifierProperty, command.identifier);
        addAction(action);
        widgetForAction(action)->setAccessibleName(tr(command.paletteLabel));
        widgetForAction(action)->setObjectName(command.identifier);
    }
}

QString MainToolbar::itemIdentifier(const QAction* action) {
    if (action == nullptr) {
        return {};
    }
    return action->property(ItemIdentifierProperty).toString();
}

int MainToolbar::_itemCount() const {
    return static_cast<int>(actions().size());
}

int MainToolbar::_visibleItemCount() const {
    int visible = 0;
    for (QAction* action : actions()) {
        QWidget* widget = widgetForAction(action);
        if (widget != nullptr && !widget->isHidden()) {
            ++visible;
        }
    }
    return visible;
}

void MainToolbar::followPortPopUpWidth(QMainWindow* window) {
    _portItem->updateGeometry();
    applyLayouts(window, this);
    // Wider only when an item no longer shows: a width the person chose is never taken back.
    if (_visibleItemCount() != _itemCount()) {
        fitWindowWidth(window);
    }
}

void MainToolbar::fitWindowWidth(QMainWindow* window) {
    QRect frame = window->geometry();
    auto apply = [this, window, &frame] {
        window->resize(frame.size());
        applyLayouts(window, this);
    };
    auto allShown = [this] { return _visibleItemCount() == _itemCount(); };
    // Shown items only ever change with the width: stop at a width no toolbar could need.
    const int widest = 16384;
    apply();
    while (!allShown() && frame.width() < widest) {
        frame.setWidth(frame.width() + 10);
        apply();
    }
    while (allShown() && frame.width() > 3) {
        frame.setWidth(frame.width() - 3);
        apply();
    }
    while (!allShown() && frame.width() < widest) {
        frame.setWidth(frame.width() + 1);
        apply();
    }
}

} // namespace tavrel::app
