// Download and Upload Menu Settings: the device's menu settings block to and from a vgs file. The
// file is chosen in a panel; the transfer starts once the panel has gone, as a device job, and
// ends with an alert saying it is complete or why it failed. The name of the file last used is
// remembered and proposed for the next download.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace tavrel::app {

class Alerts;
class DeviceJobs;

// User-defaults key: the name (without its folder) of the menu settings file last used.
inline constexpr const char* MenuSettingsFilenameKey = "Menu Settings Filename";

class MenuSettingsTransfers : public QObject {
    Q_OBJECT

  public:
    // The panels and alerts are window-modal on `window`.
    MenuSettingsTransfers(DeviceJobs& jobs, Alerts& alerts, QWidget* window, QObject* parent);

    // Asks for the file to save the device's settings in, then downloads into it.
    void download();
    // Asks for the file whose settings to send, then uploads from it.
    void upload();
    // What each does once its panel has chosen `path`: the name is remembered and the job started.
    void downloadTo(const QString& path);
    void uploadFrom(const QString& path);
    // A menu settings file given to the window (at start-up, dropped on it): nothing is sent,
    // which is a user's decision made with a port; an alert says how to send it.
    void explainFile(const QString& path);

  private:
    DeviceJobs& _jobs;
    Alerts& _alerts;
    QWidget* _window;
};

} // namespace tavrel::app
