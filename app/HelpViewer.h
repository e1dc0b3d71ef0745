// The help window: the manual in a browser of the application's own, with Back, Forward, Home and
// Find, in the window's palette. Links within the manual are followed here; links to the web go to
// the desktop's browser. When the manual cannot be found, the window says so and where it looked.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QLineEdit;
class QTextBrowser;

namespace tavrel::app {

class HelpViewer : public QWidget {
    Q_OBJECT

  public:
    // Opens a link outside the manual (the desktop's browser); true when it was accepted.
    using UrlOpener = std::function<bool(const QUrl&)>;

    HelpViewer(UrlOpener opener, QWidget* parent);

    // Shows the manual at `path`, from its start; an empty `path` says that it was not found in
    // any of the `searched` places.
    void showManual(const QString& path, const QStringList& searched);

    QTextBrowser* browser() const { return _browser; }
    QLineEdit* findField() const { return _findField; }
    QAction* backAction() const { return _back; }

  private:
    void _followLink(const QUrl& link);
    void _startFind();
    // Finds the find field's text after the cursor (before it, `backward`), going round the end.
    void _find(bool backward);
    void _showNotFound(const QStringList& searched);

    UrlOpener _opener;
    QTextBrowser* _browser = nullptr;
    QAction* _back = nullptr;
    QAction* _forward = nullptr;
    QAction* _home = nullptr;
    QLineEdit* _findField = nullptr;
    QLabel* _findResult = nullptr;
};

} // namespace tavrel::app
