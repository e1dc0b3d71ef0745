// The serial line that the device registry does not report (one made by socat, a network serial
// driver or a virtual null-modem has no parent device), chosen by its device path.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace tavrel::app {

// Whether `path` names a terminal that can be opened for reading and writing; otherwise
// `reason` (when non-null) says why not, in a sentence for an alert. The port is opened without
// becoming the controlling terminal and without waiting for carrier, and closed at once.
bool isUsableSerialPortPath(const QString& path, QString* reason);

// Why the port at `path` could not be opened, from the errno of the failed attempt: the system's
// words, and for a permission problem, after them, what to do about it as tavrelctl says it.
QString openFailureReason(const QString& path, int error);

// A small window-modal dialog asking for a device path.
class OtherPortDialog : public QDialog {
    Q_OBJECT

  public:
    explicit OtherPortDialog(QWidget* parent);

    QString path() const;
    QLineEdit* pathField() const { return _pathField; }

  private:
    QLineEdit* _pathField = nullptr;
};

} // namespace tavrel::app
