// The main window's status bar: the serial port chosen, how many registers the table holds and how
// many are selected, and the duration of the machine of the current cell, as its tooltip says it,
// for those who move through the table with the keyboard. Whoever holds the window keeps it current
// from the pop-up's, the model's and the selection's signals.
#pragma once

#include <QStatusBar>
#include <QString>

class QLabel;

namespace tavrel::app {

class WindowStatusBar : public QStatusBar {
    Q_OBJECT

  public:
    explicit WindowStatusBar(QWidget* parent);

    // The pop-up's choice, or "No serial port" when `port` is empty.
    void showPort(const QString& port);
    void showRegisterCount(int count);
    // Nothing while no register is selected.
    void showSelection(int count);
    // Nothing while `duration` is empty.
    void showDuration(const QString& duration);

    QLabel* portLabel() const { return _port; }
    QLabel* countLabel() const { return _count; }
    QLabel* selectionLabel() const { return _selection; }
    QLabel* durationLabel() const { return _duration; }

  private:
    QLabel* _port;
    QLabel* _count;
    QLabel* _selection;
    QLabel* _duration;
};

} // namespace tavrel::app
