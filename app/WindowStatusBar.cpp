#include "WindowStatusBar.h"

#include <QLabel>

namespace tavrel::app {

namespace {

QLabel* newPart(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

WindowStatusBar::WindowStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName("statusBar");
    _port = newPart(this, "statusPort");
    _count = newPart(this, "statusRegisterCount");
    _selection = newPart(this, "statusSelection");
    _duration = newPart(this, "statusDuration");
    // The port on the left, taking the room a long description needs; the duration and the
    // counts on the right.
    addWidget(_port, 1);
    addPermanentWidget(_duration);
    addPermanentWidget(_selection);
    addPermanentWidget(_count);
    showPort({});
    showRegisterCount(0);
    showSelection(0);
    showDuration({});
}

void WindowStatusBar::showPort(const QString& port) {
    _port->setText(port.isEmpty() ? tr("No serial port") : port);
}

void WindowStatusBar::showRegisterCount(int count) {
    _count->setText(tr("%n register(s)", nullptr, count));
}

void WindowStatusBar::showSelection(int count) {
    _selection->setText(count > 0 ? tr("%n selected", nullptr, count) : QString());
    _selection->setVisible(count > 0);
}

void WindowStatusBar::showDuration(const QString& duration) {
    _duration->setText(duration);
    _duration->setVisible(!duration.isEmpty());
}

} // namespace tavrel::app
