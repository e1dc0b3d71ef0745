// The Help menu: the manual, in the application's help window, and the about box.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

namespace tavrel::app {

class Alerts;
class HelpViewer;

class HelpMenu : public QObject {
    Q_OBJECT

  public:
    // Opens a link that leads out of the manual in the desktop's browser; true when accepted.
    using UrlOpener = std::function<bool(const QUrl&)>;

    // The about box is an alert of `alerts`, showing `window`'s icon.
    HelpMenu(Alerts& alerts, QWidget* window, QObject* parent);

    // Shows the help window, raised; it opens at the manual's start unless it is already up.
    void showHelpText();
    void showAboutPanel();

    // What opens the links out of the manual (the desktop's default browser); tests replace it.
    void setUrlOpener(UrlOpener opener) { _urlOpener = std::move(opener); }
    // The files the manual is looked for in, in order: beside the program (in the build tree and
    // in an installation under any prefix), then in the system's data folders.
    static QStringList defaultManualPlaces();
    // Tests look elsewhere.
    void setManualPlaces(QStringList places) { _manualPlaces = std::move(places); }
    // The help window, once it has been shown.
    HelpViewer* viewer() const { return _viewer; }

  private:
    Alerts& _alerts;
    QWidget* _window;
    UrlOpener _urlOpener;
    QStringList _manualPlaces;
    HelpViewer* _viewer = nullptr;
};

} // namespace tavrel::app
