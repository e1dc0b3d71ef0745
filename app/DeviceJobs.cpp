#include "DeviceJobs.h"

#include "Alerts.h"
#include "ProgressSheet.h"
#include "TavrelSocket.h"

#include <QTimer>

namespace tavrel::app {

DeviceJobs::DeviceJobs(Connector connector, Alerts& alerts, ProgressSheet& sheet, QObject* parent)
    : QObject(parent), _connector(std::move(connector)), _alerts(alerts), _sheet(sheet),
      _runner(new TransferRunner(this)) {
    connect(_runner, &TransferRunner::progressed, &_sheet, &ProgressSheet::showProgress);
    connect(_runner, &TransferRunner::finished, this, &DeviceJobs::changed);
    connect(&_sheet, &ProgressSheet::cancelRequested, _runner, &TransferRunner::cancel);
    connect(&_sheet, &QDialog::finished, this, &DeviceJobs::changed);
}

bool DeviceJobs::start(TransferRunner::Work work, QWidget* alertOver) {
    QString whyNot;
    std::shared_ptr<link::TavrelSocket> socket = _connector(&whyNot);
    if (!socket) {
        _alerts.showGenericError(whyNot, alertOver);
        return false;
    }
    _runner->start(std::move(socket), std::move(work));
    emit changed();
    return true;
}

bool DeviceJobs::deviceAnswers(DeviceJob& job, const QString& title, records::RegisterRange range) {
    std::string version;
    records::TavrelError error;
    if (!job.socket().deviceVersion(&version, &error)) {
        if (!job.cancelled()) {
            job.report([this, error] { _alerts.showError(error); });
        }
        return false;
    }
    job.reportAndWait([this, title, range] {
        _sheet.begin(title, range);
        emit changed();
    });
    return true;
}

void DeviceJobs::fail(DeviceJob& job, const records::TavrelError& error, const QString& more) {
    if (job.cancelled()) { // what the interruption cut short is no failure to report
        closeSheet(job);
        return;
    }
    job.report([this, error, more] {
        _sheet.end();
        // The alert comes up after the progress sheet has gone.
        QTimer::singleShot(0, this, [this, error, more] { _alerts.showError(error, more); });
    });
}

void DeviceJobs::closeSheet(DeviceJob& job) {
    job.report([this] { _sheet.end(); });
}

bool DeviceJobs::running() const {
    return _runner->isRunning() || _sheet.isVisible();
}

} // namespace tavrel::app
