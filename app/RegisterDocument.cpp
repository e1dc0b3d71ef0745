#include "RegisterDocument.h"

#include "RecoveryCopy.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>

namespace tavrel::app {

namespace {

// How long after the first of a run of changes the copy is kept: short enough that at most this
// and one copy's writing can be lost, long enough that typing does not write at every key.
constexpr int RecoveryDelayMs = 500;

} // namespace

RegisterDocument::RegisterDocument(QUndoStack* history, Registers registers,
                                   const QString& recoveryFolder, QObject* parent)
    : QObject(parent), _history(history), _registers(std::move(registers)),
      _recovery(std::make_unique<RecoveryCopy>(recoveryFolder)), _recoveryTimer(new QTimer(this)) {
    _recoveryTimer->setSingleShot(true);
    _recoveryTimer->setInterval(RecoveryDelayMs);
    connect(_recoveryTimer, &QTimer::timeout, this, [this] { _keepRecoveryCopy(); });
    connect(_history, &QUndoStack::indexChanged, this, [this] { _keepRecoveryCopySoon(); });
    connect(_history, &QUndoStack::cleanChanged, this, [this] { _keepRecoveryCopySoon(); });
}

RegisterDocument::~RegisterDocument() = default;

QString RegisterDocument::fileName() const {
    return QFileInfo(_path).fileName();
}

QString RegisterDocument::title() const {
    return _path.isEmpty() ? tr("Untitled") : fileName();
}

bool RegisterDocument::isModified() const {
    return !_history->isClean();
}

void RegisterDocument::setPath(const QString& path) {
    _path = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    emit pathChanged();
}

void RegisterDocument::askToSaveChanges(
    const std::function<QMessageBox*(const QString&, const QString&)>& newAlert,
    const std::function<void(std::function<void()>)>& save, std::function<void()> then) {
    if (!isModified()) {
        then();
        return;
    }
    QMessageBox* box = newAlert(tr("Save changes to the registers?"),
                                tr("Your changes will be lost if you don't save them."));
    box->setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box->button(QMessageBox::Discard)->setText(tr("Don't Save"));
    box->setDefaultButton(QMessageBox::Save);
    box->setEscapeButton(QMessageBox::Cancel);
    connect(box, &QMessageBox::finished, this, [box, save, then = std::move(then)](int) {
        switch (box->standardButton(box->clickedButton())) {
        case QMessageBox::Save:
            // Goes on once the registers are saved; a cancelled panel or a failed save stops it.
            save(then);
            break;
        case QMessageBox::Discard:
            then();
            break;
        default:
            break;
        }
    });
    box->open();
}

void RegisterDocument::_keepRecoveryCopySoon() {
    if (!isModified()) {
        _recoveryTimer->stop();
        _recovery->remove();
        return;
    }
    // Not restarted by later changes: a run of edits that never pauses is still kept.
    if (!_recoveryTimer->isActive()) {
        _recoveryTimer->start();
    }
}

void RegisterDocument::_keepRecoveryCopy() {
    _recoveryTimer->stop();
    if (isModified()) {
        _recovery->keep(_registers(), _path);
    }
}

QString RegisterDocument::keepRecoveryCopyNow() {
    if (!isModified()) {
        return {};
    }
    _keepRecoveryCopy();
    _recovery->flush();
    return _recovery->path();
}

void RegisterDocument::dropRecoveryCopy() {
    _recoveryTimer->stop();
    _recovery->remove();
}

} // namespace tavrel::app
