// The Help menu: the help document, opened in the desktop's viewer, and the about box.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace tavrel::app {

class Alerts;

class HelpMenu : public QObject {
    Q_OBJECT

  public:
    // Opens a document in the desktop's viewer; true when the desktop accepted it.
    using UrlOpener = std::function<bool(const QUrl&)>;

    // The about box is an alert of `alerts`, showing `window`'s icon.
    HelpMenu(Alerts& alerts, QWidget* window, QObject* parent);

    void showHelpText();
    void showAboutPanel();

    // What opens the help document (the desktop's default viewer); tests replace it.
    void setUrlOpener(UrlOpener opener) { _urlOpener = std::move(opener); }
    // The file of the help document (written out from the resources on first use).
    static QString helpDocumentPath();

  private:
    Alerts& _alerts;
    QWidget* _window;
    UrlOpener _urlOpener;
};

} // namespace tavrel::app
