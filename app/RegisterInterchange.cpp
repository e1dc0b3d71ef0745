#include "RegisterInterchange.h"

#include "Alerts.h"
#include "EditDecisionListImport.h"
#include "FilePanel.h"
#include "LibraryTexts.h"
#include "RegisterCsv.h"
#include "RegisterDocument.h"
#include "RegisterEditor.h"
#include "RegisterNumberDialog.h"
#include "ReplacingRegisters.h"

#include <QFileInfo>
#include <QInputDialog>
#include <QStringList>

#include <utility>
#include <vector>

namespace tavrel::app {

using files::EdlExportSettings;
using files::EdlFrameRate;
using files::EdlRefusal;
using files::RegisterCollection;
using records::FrameRate;
using records::TavrelError;

namespace {

// The most refused events an alert lists by name.
constexpr size_t NamedRefusalLimit = 5;

constexpr EdlFrameRate EdlFrameRates[] = {EdlFrameRate::Fps24, EdlFrameRate::Fps25,
                                          EdlFrameRate::Fps30, EdlFrameRate::Fps30DropFrame};

struct FormatFiles {
    const char* suffix;
    const char* filterName;
    const char* exportTitle;
    const char* importTitle;
};

FormatFiles formatFiles(RegisterInterchange::Format format) {
    if (format == RegisterInterchange::Format::EditDecisionList) {
        return {"edl", QT_TRANSLATE_NOOP("tavrel::app::RegisterInterchange", "Edit decision lists"),
                QT_TRANSLATE_NOOP("tavrel::app::RegisterInterchange", "Export Edit Decision List"),
                QT_TRANSLATE_NOOP("tavrel::app::RegisterInterchange", "Import Edit Decision List")};
    }
    return {"csv", QT_TRANSLATE_NOOP("tavrel::app::RegisterInterchange", "CSV files"),
            QT_TRANSLATE_NOOP("tavrel::app::RegisterInterchange", "Export CSV"),
            QT_TRANSLATE_NOOP("tavrel::app::RegisterInterchange", "Import CSV")};
}

bool anyDropFrameTime(const RegisterCollection& registers) {
    for (const auto& [number, entry] : registers) {
        for (auto time : records::VRG500_registerTimes) {
            if ((entry.reg.*time).isNull == 0 && (entry.reg.*time).dropFrame != 0) {
                return true;
            }
        }
    }
    return false;
}

// The refusals one per line, the first few and how many more.
QString refusalList(const std::vector<EdlRefusal>& refusals) {
    QStringList lines;
    for (size_t i = 0; i < refusals.size() && i < NamedRefusalLimit; ++i) {
        lines << translatedLibraryText(refusals[i].text);
    }
    if (refusals.size() > NamedRefusalLimit) {
        lines << RegisterInterchange::tr("and %Ln more", nullptr,
                                         static_cast<int>(refusals.size() - NamedRefusalLimit));
    }
    return lines.join('\n');
}

// Asks for the frame rate an edit decision list counts at.
void askEdlFrameRate(QWidget* window, std::function<void(EdlFrameRate)> chosen) {
    auto* dialog = new QInputDialog(window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setWindowTitle(RegisterInterchange::tr("Export Edit Decision List"));
    dialog->setLabelText(RegisterInterchange::tr(
        "An edit decision list counts frames at a real frame rate. Export at:"));
    QStringList names;
    for (const EdlFrameRate rate : EdlFrameRates) {
        names << translatedLibraryText(files::edlFrameRateWords(rate));
    }
    dialog->setComboBoxItems(names);
    dialog->setComboBoxEditable(false);
    dialog->setTextValue(names.at(1));
    dialog->setOkButtonText(RegisterInterchange::tr("Continue"));
    QObject::connect(dialog, &QInputDialog::textValueSelected, dialog,
                     [names, chosen = std::move(chosen)](const QString& name) {
                         const qsizetype index = names.indexOf(name);
                         if (index >= 0) {
                             chosen(EdlFrameRates[index]);
                         }
                     });
    dialog->open();
}

} // namespace

RegisterInterchange::RegisterInterchange(RegisterEditor& editor, RegisterDocument& document,
                                         Alerts& alerts, QWidget* window,
                                         CommitOpenField commitOpenField, QObject* parent)
    : QObject(parent), _editor(editor), _document(document), _alerts(alerts), _window(window),
      _commitOpenField(std::move(commitOpenField)) {}

std::optional<EdlFrameRate>
RegisterInterchange::editDecisionListRate(FrameRate rate, const RegisterCollection& registers) {
    switch (rate) {
    case FrameRate::Fps24:
        return EdlFrameRate::Fps24;
    case FrameRate::Fps25:
        return EdlFrameRate::Fps25;
    case FrameRate::Fps30:
        return anyDropFrameTime(registers) ? EdlFrameRate::Fps30DropFrame : EdlFrameRate::Fps30;
    case FrameRate::WireLimits:
        break;
    }
    return std::nullopt;
}

// ---- Export ------------------------------------------------------------------------------------

void RegisterInterchange::exportRegisters(Format format) {
    if (!_commitOpenField()) {
        return;
    }
    if (format == Format::Csv) {
        _askForPath(format, EdlFrameRate::Fps25);
        return;
    }
    if (auto rate = editDecisionListRate(_editor.frameRate(), _editor.registers())) {
        _exportEditDecisionList(*rate);
        return;
    }
    askEdlFrameRate(_window, [this](EdlFrameRate rate) { _exportEditDecisionList(rate); });
}

EdlExportSettings RegisterInterchange::_edlSettings(EdlFrameRate rate) const {
    EdlExportSettings settings;
    settings.title = files::editDecisionListTitle(_document.fileName().toStdString());
    settings.frameRate = rate;
    return settings;
}

void RegisterInterchange::_exportEditDecisionList(EdlFrameRate rate) {
    const RegisterCollection& registers = _editor.registers();
    const EdlExportSettings settings = _edlSettings(rate);
    const size_t events = files::editDecisionListEventCount(registers, settings);
    if (events == 0) {
        _alerts.show(tr("The table holds no event to export"),
                     tr("An event is a machine whose IN and OUT are both set."), false);
        return;
    }
    const std::vector<EdlRefusal> refusals = files::editDecisionListRefusals(registers, settings);
    if (refusals.empty()) {
        _askForPath(Format::EditDecisionList, rate);
        return;
    }
    const QString rateWords = translatedLibraryText(files::edlFrameRateWords(rate));
    if (refusals.size() >= events) {
        _alerts.show(tr("No event can be exported at %1").arg(rateWords), refusalList(refusals),
                     true);
        return;
    }
    _alerts.ask(
        tr("%Ln event(s) cannot be exported at %1", nullptr, static_cast<int>(refusals.size()))
            .arg(rateWords),
        refusalList(refusals) + "\n\n" +
            tr("Export the other %Ln event(s)?", nullptr,
               static_cast<int>(events - refusals.size())),
        tr("Export the Rest"), [this, rate] { _askForPath(Format::EditDecisionList, rate); });
}

void RegisterInterchange::_askForPath(Format format, EdlFrameRate rate) {
    const FormatFiles kind = formatFiles(format);
    const QString proposed =
        _document.path().isEmpty()
            ? QString()
            : QFileInfo(_document.path()).completeBaseName() + "." + kind.suffix;
    beginFilePanel(
        _window, QFileDialog::AcceptSave, tr(kind.exportTitle), kind.suffix, tr(kind.filterName),
        proposed,
        [this, format, rate](int returnCode, const QString& path) {
            if (returnCode == 1) {
                exportTo(format, path, rate);
            }
        },
        _document.path());
}

void RegisterInterchange::exportTo(Format format, const QString& path, EdlFrameRate rate) {
    TavrelError error;
    const bool written =
        format == Format::Csv
            ? files::writeRegisterCsv(localFilePath(path), _editor.registers(), &error)
            : files::writeEditDecisionList(localFilePath(path), _editor.registers(),
                                           _edlSettings(rate), files::RefusedEvents::LeaveOut,
                                           &error);
    if (!written) {
        _alerts.showError(error);
        return;
    }
    emit exported(path);
}

// ---- Import ------------------------------------------------------------------------------------

void RegisterInterchange::importRegisters(Format format) {
    if (!_commitOpenField()) {
        return;
    }
    const FormatFiles kind = formatFiles(format);
    beginFilePanel(
        _window, QFileDialog::AcceptOpen, tr(kind.importTitle), kind.suffix, tr(kind.filterName),
        QString(), [this, format](int returnCode, const QString& path) {
            if (returnCode != 1) {
                return;
            }
            if (format == Format::Csv) {
                importFrom(format, path);
                return;
            }
            askRegisterNumber(_window, tr("Import Edit Decision List"),
                              tr("The events of a list from an editing system become registers "
                                 "from number:"),
                              tr("Import"), 0, [this, path](int32_t first) {
                                  importFrom(Format::EditDecisionList, path, first);
                              });
        });
}

void RegisterInterchange::importFrom(Format format, const QString& path, int32_t firstRegister) {
    RegisterCollection registers;
    TavrelError error;
    const bool read =
        format == Format::Csv
            ? files::readRegisterCsv(localFilePath(path), &registers, &error)
            : files::readEditDecisionList(localFilePath(path), &registers, &error, firstRegister);
    if (!read) {
        _alerts.showError(error);
        return;
    }
    const QString fileName = QFileInfo(path).fileName();
    if (registers.empty()) {
        _alerts.show(tr("\"%1\" holds no registers").arg(fileName), tr("Nothing was imported."),
                     false);
        return;
    }
    _store(std::move(registers), fileName);
}

void RegisterInterchange::_store(RegisterCollection registers, const QString& fileName) {
    std::vector<RegisterCollection::Item> items(registers.begin(), registers.end());
    const std::vector<int32_t> numbers = numbersOf(items);
    storeAskingBeforeReplacing(
        _alerts, _editor.registers(), numbers,
        {tr("The table holds %1 already. Importing replaces them."),
         tr("The table holds %1 already. Importing replaces them and adds %2.")},
        [this, items = std::move(items), text = tr("Import %1").arg(fileName)]() mutable {
            _editor.store(std::move(items), text);
        });
}

} // namespace tavrel::app
