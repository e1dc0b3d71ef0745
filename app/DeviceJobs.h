// How the window's commands start device jobs and end them: the selected port's connection (or
// the generic alert saying why there is none), the transfer runner, the progress sheet, and the
// alert of a job that failed, which comes up after the sheet has gone.
#pragma once

#include "RegisterRange.h"
#include "TavrelError.h"
#include "TransferRunner.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class QWidget;

namespace tavrel::link {
class TavrelSocket;
}

namespace tavrel::app {

class Alerts;
class ProgressSheet;

class DeviceJobs : public QObject {
    Q_OBJECT

  public:
    // The selected port's connection; null with the reason (empty when no port is selected).
    using Connector = std::function<std::shared_ptr<link::TavrelSocket>(QString* whyNot)>;

    DeviceJobs(Connector connector, Alerts& alerts, ProgressSheet& sheet, QObject* parent);

    // Starts `work` with the selected port's connection; false after the generic alert (over
    // `alertOver`, else the main window) when there is none.
    bool start(TransferRunner::Work work, QWidget* alertOver = nullptr);
    // On the worker: whether the device answers the version request; the progress sheet comes up
    // with `title` over `range` when it does, the alert when it does not.
    bool deviceAnswers(DeviceJob& job, const QString& title, records::RegisterRange range);
    // On the worker: the sheet goes, then the alert of `error` (with `more` after its text),
    // unless the job was cancelled, which cuts its exchange short and is no failure.
    void fail(DeviceJob& job, const records::TavrelError& error, const QString& more = {});
    // On the worker: the sheet goes.
    void closeSheet(DeviceJob& job);

    // Whether a job runs, or its sheet is still up.
    bool running() const;
    void cancel() { _runner->cancel(); }
    bool cancelAndWait(std::chrono::milliseconds timeout) {
        return _runner->cancelAndWait(timeout);
    }
    TransferRunner* runner() const { return _runner; }

  signals:
    // A job ended, or its sheet closed: the commands' enabling changes.
    void changed();

  private:
    Connector _connector;
    Alerts& _alerts;
    ProgressSheet& _sheet;
    TransferRunner* _runner = nullptr;
};

} // namespace tavrel::app
