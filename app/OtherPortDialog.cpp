#include "OtherPortDialog.h"

#include "LibraryTexts.h"
#include "OpenFailure.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel::app {

QString openFailureReason(const QString& path, int error) {
    const QString reason = QString::fromLocal8Bit(std::strerror(error)) + ".";
    if (error != EACCES && error != EPERM) {
        return reason;
    }
    return reason + " " +
           translatedLibraryText(
               link::explainOpenFailure(QFile::encodeName(path).toStdString(), error));
}

bool isUsableSerialPortPath(const QString& path, QString* reason) {
    QString why;
    if (!path.startsWith('/')) {
        why = OtherPortDialog::tr("A device path starts with \"/\", as in /dev/ttyS0.");
    } else {
        const QByteArray name = QFile::encodeName(path);
        struct stat status {};
        const int fd = stat(name.constData(), &status) != 0
                           ? -1
                           : open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            why = openFailureReason(path, errno);
        } else {
            const bool terminal = isatty(fd) == 1;
            close(fd);
            if (!terminal) {
                why = OtherPortDialog::tr("It is not a terminal device.");
            }
        }
    }
    if (why.isEmpty()) {
        return true;
    }
    if (reason != nullptr) {
        *reason = why;
    }
    return false;
}

OtherPortDialog::OtherPortDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("otherPortDialog");
    setWindowTitle(tr("Other Port"));
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("&Device path of the serial port:"), this);
    layout->addWidget(label);
    _pathField = new QLineEdit(this);
    _pathField->setObjectName("otherPortPathField");
    _pathField->setPlaceholderText("/dev/ttyS0");
    // Named by its label for assistive technologies; Alt+D comes back to it.
    label->setBuddy(_pathField);
    layout->addWidget(_pathField);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Add"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString OtherPortDialog::path() const {
    return _pathField->text().trimmed();
}

} // namespace tavrel::app
