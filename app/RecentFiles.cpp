#include "RecentFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace tavrel::app {

namespace {

QString absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

// The file's name; its whole path where another file of the list has the same name. An ampersand
// is the menu's mnemonic sign, so it is doubled.
QString itemTitle(const QString& path, const QStringList& paths) {
    const QString name = QFileInfo(path).fileName();
    int sameName = 0;
    for (const QString& other : paths) {
        sameName += QFileInfo(other).fileName() == name ? 1 : 0;
    }
    QString title = sameName > 1 ? QDir::toNativeSeparators(path) : name;
    return title.replace('&', "&&");
}

} // namespace

RecentFiles::RecentFiles(QMenu* menu, QObject* parent) : QObject(parent), _menu(menu) {
    _fillMenu();
}

QStringList RecentFiles::paths() const {
    QStringList paths = QSettings().value(RecentFilesKey).toStringList();
    paths.removeAll(QString());
    return paths.mid(0, RecentFilesLimit);
}

void RecentFiles::add(const QString& path) {
    QStringList paths = this->paths();
    paths.removeAll(absolute(path));
    paths.prepend(absolute(path));
    _store(paths.mid(0, RecentFilesLimit));
}

void RecentFiles::remove(const QString& path) {
    QStringList paths = this->paths();
    paths.removeAll(absolute(path));
    _store(paths);
}

void RecentFiles::clear() {
    _store({});
}

void RecentFiles::_store(const QStringList& paths) {
    QSettings().setValue(RecentFilesKey, paths);
    _fillMenu();
}

void RecentFiles::_fillMenu() {
    // Later: the item chosen may be what changed the list, and is still being triggered.
    for (QAction* old : _menu->actions()) {
        _menu->removeAction(old);
        old->deleteLater();
    }
    const QStringList paths = this->paths();
    for (const QString& path : paths) {
        QAction* item = _menu->addAction(itemTitle(path, paths));
        item->setToolTip(QDir::toNativeSeparators(path));
        item->setStatusTip(QDir::toNativeSeparators(path));
        connect(item, &QAction::triggered, this, [this, path] { emit chosen(path); });
    }
    _menu->addSeparator();
    QAction* clearMenu = _menu->addAction(tr("Clear Menu"));
    clearMenu->setObjectName("clearRecentFiles");
    clearMenu->setEnabled(!paths.isEmpty());
    connect(clearMenu, &QAction::triggered, this, &RecentFiles::clear);
}

} // namespace tavrel::app
