// File ▸ Open Recent: the register files last opened or saved, most recent first, at most ten, and
// Clear Menu. The list lives in the settings, so every window and the next start share it.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;

namespace tavrel::app {

// Settings key: the whole paths, most recent first.
inline constexpr const char* RecentFilesKey = "Recent Files";
inline constexpr int RecentFilesLimit = 10;

class RecentFiles : public QObject {
    Q_OBJECT

  public:
    // Fills `menu` (the window's Open Recent) and keeps it current.
    RecentFiles(QMenu* menu, QObject* parent);

    QStringList paths() const;
    // `path` goes first, once; the oldest beyond the limit go.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

  signals:
    // A file was chosen in the menu.
    void chosen(const QString& path);

  private:
    void _store(const QStringList& paths);
    void _fillMenu();

    QMenu* _menu;
};

} // namespace tavrel::app
