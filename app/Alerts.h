// The window's alerts: window-modal message boxes over the main window (or over one of its
// dialogs), and the one way an error becomes an alert. An error's description is the alert's
// text and its recovery suggestion (or, for a file error, the system's reason) its informative
// text, followed by the error's detail (the line and field at fault in a file) when it has one;
// the device link's texts are byte strings (one byte per character), the other layers' are the
// system's (UTF-8), with bytes that are not UTF-8 kept one per character.
#pragma once

#include "TavrelError.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

namespace tavrel::app {

// The alert texts of an error: its description, and the informative text.
struct AlertTexts {
    QString text;
    QString information;
};
AlertTexts alertTextsOf(const records::TavrelError& error);

class Alerts : public QObject {
    Q_OBJECT

  public:
    explicit Alerts(QWidget* window, QObject* parent = nullptr);

    // An alert with these texts and no buttons yet, not opened, over `over` (the main window when
    // null); it deletes itself when dismissed and is the current alert from now on.
    QMessageBox* make(QMessageBox::Icon icon, const QString& text, const QString& information,
                      QWidget* over = nullptr);
    // The same with an OK button, opened at once.
    QMessageBox* show(const QString& text, const QString& information, bool critical,
                      QWidget* over = nullptr);
    // The error's alert; `more` is a paragraph after the error's own informative text.
    QMessageBox* showError(const records::TavrelError& error, const QString& more = {},
                           QWidget* over = nullptr);
    // The generic alert, with `explanation` (why the port could not be opened) when there is one.
    QMessageBox* showGenericError(const QString& explanation, QWidget* over = nullptr);
    // A question with a default Cancel; `accepted` runs on the accept button.
    void ask(const QString& text, const QString& information, const QString& acceptTitle,
             std::function<void()> accepted);
    // The alert last opened while it is still open, else null.
    QMessageBox* current() const;

  private:
    QPointer<QWidget> _window;
    QPointer<QMessageBox> _current;
};

} // namespace tavrel::app
