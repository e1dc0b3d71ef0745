// Turns SIGTERM, SIGINT and SIGHUP (a closed terminal) into the application's ordinary quit,
// run on the event loop.
//
// A signal handler may do almost nothing safely, so it only writes a byte into a pipe; a
// QSocketNotifier watching the other end calls `quit` once the event loop is back in control.
// Quitting that way cancels a running transfer and releases the port with its settings restored,
// as the Quit command does; dying at once would leave the port claimed. Logging out sends SIGTERM.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace tavrel::app {

class QuitOnSignal : public QObject {
  public:
    // Installs the handlers (one instance per process). When the pipe or a handler cannot be set
    // up, the cause is logged and the signals keep their default action.
    explicit QuitOnSignal(std::function<void()> quit, QObject* parent = nullptr);
    // Gives the signals back their default action.
    ~QuitOnSignal() override;

    QuitOnSignal(const QuitOnSignal&) = delete;
    QuitOnSignal& operator=(const QuitOnSignal&) = delete;

    bool isInstalled() const { return _notifier != nullptr; }

  private:
    void _drainAndQuit();

    std::function<void()> _quit;
    QSocketNotifier* _notifier = nullptr;
};

} // namespace tavrel::app
