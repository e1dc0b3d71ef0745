#include "Alerts.h"

#include "AlertWidth.h"
#include "LibraryTexts.h"
#include "OpenFailure.h"
#include "TavrelLog.h"

#include <QPushButton>
#include <QWidget>

namespace tavrel::app {

AlertTexts alertTextsOf(const records::TavrelError& error) {
    if (error.domain == records::TavrelErrorDomain) { // the device link's: byte strings
        return {translatedLibraryText(error.description, TextBytes::Latin1),
                translatedLibraryText(error.recoverySuggestion.value_or(std::string()),
                                      TextBytes::Latin1)};
    }
    // A failed read or write carries the system's reason and no suggestion: the person sees why
    // ("Permission denied"), not only that it failed.
    const std::string information =
        error.recoverySuggestion.value_or(error.failureReason.value_or(""));
    AlertTexts texts{translatedLibraryText(error.description), translatedLibraryText(information)};
    // Where in a file the fault lies, as a paragraph of its own.
    if (error.detail && !error.detail->empty()) {
        texts.information +=
            (texts.information.isEmpty() ? "" : "\n\n") + translatedLibraryText(*error.detail);
    }
    return texts;
}

Alerts::Alerts(QWidget* window, QObject* parent) : QObject(parent), _window(window) {}

QMessageBox* Alerts::make(QMessageBox::Icon icon, const QString& text, const QString& information,
                          QWidget* over) {
    auto* alert = new QMessageBox(over != nullptr ? over : _window.data());
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert->setWindowTitle("Tavrel");
    alert->setIcon(icon);
    alert->setTextFormat(Qt::PlainText);
    alert->setText(text);
    alert->setInformativeText(information);
    _current = alert;
    return alert;
}

QMessageBox* Alerts::show(const QString& text, const QString& information, bool critical,
                          QWidget* over) {
    QMessageBox* alert =
        make(critical ? QMessageBox::Critical : QMessageBox::Information, text, information, over);
    alert->setStandardButtons(QMessageBox::Ok);
    fitAlertToInformativeText(alert);
    alert->open();
    return alert;
}

QMessageBox* Alerts::showError(const records::TavrelError& error, const QString& more,
                               QWidget* over) {
    if (error.failureReason) {
        link::tavrelLog("Error: %s", error.failureReason->c_str());
    }
    AlertTexts texts = alertTextsOf(error);
    if (!more.isEmpty()) {
        texts.information += (texts.information.isEmpty() ? "" : "\n\n") + more;
    }
    return show(texts.text, texts.information, true, over);
}

QMessageBox* Alerts::showGenericError(const QString& explanation, QWidget* over) {
    QString information = translatedLibraryText(link::GenericDeviceErrorInformation);
    if (!explanation.isEmpty()) {
        information += "\n\n" + explanation;
    }
    return show(translatedLibraryText(link::GenericDeviceErrorMessage), information, true, over);
}

void Alerts::ask(const QString& text, const QString& information, const QString& acceptTitle,
                 std::function<void()> accepted) {
    QMessageBox* box = make(QMessageBox::Warning, text, information);
    QPushButton* accept = box->addButton(acceptTitle, QMessageBox::AcceptRole);
    box->setDefaultButton(box->addButton(QMessageBox::Cancel));
    connect(box, &QMessageBox::finished, this, [box, accept, accepted = std::move(accepted)](int) {
        if (box->clickedButton() == accept) {
            accepted();
        }
    });
    box->open();
}

QMessageBox* Alerts::current() const {
    if (_current.isNull() || !_current->isVisible()) {
        return nullptr;
    }
    return _current.data();
}

} // namespace tavrel::app
