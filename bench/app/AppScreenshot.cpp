// Puts the application's real windows into one of the states the documentation shows, on the
// display it is started on, for scripts/screenshots.sh to photograph with the window manager's
// frames. The state is reached through the controller's commands and the sheets' buttons, as a
// person would reach it, against a simulated VRG-500 listed as the demonstration device.
//   app_screenshot STATE
// Once the windows are up and placed it prints one line,
//   ready X Y WIDTH HEIGHT
// the screen rectangle that holds the main window and any sheet or alert over it (the help
// window alone for "help-viewer"), frames included, and keeps the windows up until its
// standard input closes. "german" is the main window in German; "durations" shows a machine's
// duration at 25 frames per second in its tooltip and the status bar.
#include "AppController.h"
#include "BenchSupport.h"
#include "DemoDevice.h"
#include "EditCommands.h"
#include "HelpMenu.h"
#include "HelpViewer.h"
#include "MainWindow.h"
#include "RangeSheet.h"
#include "SafeUploads.h"
#include "Translations.h"

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QSocketNotifier>
#include <QStyleFactory>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolTip>
#include <QWindow>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <unistd.h>

using namespace tavrel::app;
using namespace tavrel::records;
using namespace tavrel::sim;

namespace {

// The progress sheet is photographed once this register has arrived, so it shows a download
// well under way.
constexpr int MidwayRegister = 42;
// The device is pulled out after this many answered frames (the version request, then a register
// time and a clip name request per register): the error alert comes up over a partly filled
// table.
constexpr int FramesBeforeHangUp = 1 + 2 * 57;
// How long any state may take to come up: a paced download reaches the midway register in about
// five seconds.
constexpr qint64 StateDeadlineMs = 30000;
// The window manager places, frames and focuses a new window after it is mapped; these
// milliseconds of quiet let it finish before the rectangle is taken.
constexpr int PlacementSettleMs = 400;

const char* const States[] = {"main-window", "range-sheet", "progress-sheet", "error-alert",
                              "about-box",   "dark",        "no-ports",       "editing",
                              "comparison",  "german",      "help-viewer",    "durations"};

// The field typed into in the editing picture, and what is typed: frames the wire cannot carry.
constexpr int32_t EditedRegister = 2;
const char* const RefusedTime = "00:01:10:45";

bool knownState(const char* state) {
    for (const char* known : States) {
        if (std::strcmp(state, known) == 0) {
            return true;
        }
    }
    return false;
}

bool waitFor(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > StateDeadlineMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void settle(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

// A dark palette of the kind a desktop's dark theme hands to Qt applications.
QPalette darkPalette() {
    const QColor window(45, 45, 48);
    const QColor base(30, 30, 32);
    const QColor text(225, 225, 225);
    const QColor disabled(128, 128, 128);
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, disabled);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::red);
    palette.setColor(QPalette::Light, window.lighter(150));
    palette.setColor(QPalette::Midlight, window.lighter(125));
    palette.setColor(QPalette::Mid, window.darker(120));
    palette.setColor(QPalette::Dark, window.darker(150));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Link, QColor(90, 160, 255));
    palette.setColor(QPalette::Highlight, QColor(40, 110, 200));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, disabled);
    }
    return palette;
}

// The visible top-level windows: the main window and the sheet or alert over it.
QRect framedWindows() {
    QRect rectangle;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) {
            rectangle = rectangle.united(widget->frameGeometry());
        }
    }
    return rectangle;
}

bool exposed(QWidget* widget) {
    return widget->isVisible() && widget->windowHandle() && widget->windowHandle()->isExposed();
}

// Chooses all registers in the open range sheet and confirms it, as a click on Download would.
void confirmAllRegisters(AppController& controller) {
    controller.rangeSheet()->radios()->button(AllRegistersRangeTag)->click();
    controller.rangeSheet()->confirmButton()->click();
}

bool downloadAllRegisters(AppController& controller) {
    controller.downloadRegisters();
    if (!waitFor([&] { return exposed(controller.rangeSheet()); })) {
        return false;
    }
    confirmAllRegisters(controller);
    return waitFor([&] {
        return controller.tableModel()->registers().size() == 300 &&
               !controller.progressSheet()->isVisible();
    });
}

// Types a time the field refuses into register 2's A OUT and presses Enter, as a person would:
// the editor stays open with the reason beside it.
bool typeRefusedTime(AppController& controller) {
    RegisterTableView* table = controller.window()->table();
    const QModelIndex cell = controller.tableModel()->index(
        controller.tableModel()->rowOfRegister(EditedRegister), RegisterTableModel::AColumn);
    table->setFocus();
    table->setCurrentField(cell, RegisterTableModel::OutLine);
    table->editCurrentField();
    // Found as the table's child: focus may still be on its way from the window manager.
    QLineEdit* editor = nullptr;
    if (!waitFor(
            [&] { return (editor = table->viewport()->findChild<QLineEdit*>()) != nullptr; })) {
        return false;
    }
    editor->setText(RefusedTime);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(editor, &enter);
    return waitFor([&] {
        const QLabel* reason = controller.window()->cellDelegate()->refusalLabel();
        return reason != nullptr && reason->isVisible();
    });
}

// Changes a few fields of registers 1 to 3 in the table, then compares registers 0 to 9 with the
// device, as the Compare with Device command does once its range is chosen.
bool compareEditedRegisters(AppController& controller) {
    RegisterTableModel* model = controller.tableModel();
    const struct {
        int32_t number;
        int column;
        int line;
        const char* text;
    } edits[] = {{1, RegisterTableModel::AColumn, RegisterTableModel::InLine, "00:00:10:00"},
                 {1, RegisterTableModel::CColumn, RegisterTableModel::ClipLine, "SHOT0107"},
                 {3, RegisterTableModel::BColumn, RegisterTableModel::OutLine, ""}};
    for (const auto& edit : edits) {
        QString reason;
        const QModelIndex cell = model->index(model->rowOfRegister(edit.number), edit.column);
        if (!controller.editCommands()->commitField(cell, edit.line, edit.text, &reason)) {
            return false;
        }
    }
    controller.safeUploads()->compareRange(tavrel::records::RegisterRange{0, 9});
    return waitFor([&] {
        auto* result = controller.window()->findChild<QDialog*>("comparisonDialog");
        return result != nullptr && exposed(result);
    });
}

// At 25 frames per second, the current cell a machine's, its duration in the status bar and in
// the cell's tooltip.
bool showDuration(AppController& controller) {
    for (QAction* rate : controller.window()->frameRateActions()->actions()) {
        if (rate->data().toString() == "25") {
            rate->trigger();
        }
    }
    QTableView* table = controller.window()->table();
    const QModelIndex cell = table->model()->index(2, RegisterTableModel::AColumn);
    table->setFocus();
    table->setCurrentIndex(cell);
    const QString tip = cell.data(Qt::ToolTipRole).toString();
    if (tip.isEmpty()) {
        return false;
    }
    QToolTip::showText(table->viewport()->mapToGlobal(table->visualRect(cell).center()), tip,
                       table->viewport());
    return true;
}

// Brings the windows to `state`; false when they did not get there in time.
bool enterState(AppController& controller, Vrg500Simulator& device, const char* state) {
    const std::string name = state;
    if (name == "help-viewer") {
        controller.showHelpText();
        return waitFor([&] {
            HelpViewer* viewer = controller.helpMenu()->viewer();
            return viewer != nullptr && exposed(viewer);
        });
    }
    if (name == "main-window" || name == "dark" || name == "about-box" || name == "german") {
        if (!downloadAllRegisters(controller)) {
            return false;
        }
        if (name == "about-box") {
            controller.showAboutPanel();
            return waitFor([&] {
                return controller.alerts()->current() && exposed(controller.alerts()->current());
            });
        }
        return true;
    }
    if (name == "comparison") {
        return downloadAllRegisters(controller) && compareEditedRegisters(controller);
    }
    if (name == "durations") {
        return downloadAllRegisters(controller) && showDuration(controller);
    }
    if (name == "editing") {
        return downloadAllRegisters(controller) && typeRefusedTime(controller);
    }
    if (name == "range-sheet") {
        controller.downloadRegisters();
        controller.rangeSheet()->radios()->button(AllRegistersRangeTag)->click();
        return waitFor([&] { return exposed(controller.rangeSheet()); });
    }
    if (name == "progress-sheet") {
        controller.downloadRegisters();
        confirmAllRegisters(controller);
        return waitFor([&] {
            return controller.tableModel()->registers().size() > MidwayRegister &&
                   exposed(controller.progressSheet());
        });
    }
    if (name == "error-alert") {
        device.hangUpAfterFrames(FramesBeforeHangUp, false);
        controller.downloadRegisters();
        confirmAllRegisters(controller);
        return waitFor([&] {
            return controller.alerts()->current() && exposed(controller.alerts()->current());
        });
    }
    return exposed(controller.window()); // no-ports
}

// Keeps the windows up until standard input closes, then quits.
void quitWhenInputCloses(QApplication& application) {
    auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &application);
    QObject::connect(input, &QSocketNotifier::activated, &application, [&application, input] {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            input->setEnabled(false);
            application.exit(0); // unlike quit(), not refused by a window during a transfer
        }
    });
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || !knownState(argv[1])) {
        std::fprintf(stderr, "usage: %s STATE\nstates:", argv[0]);
        for (const char* state : States) {
            std::fprintf(stderr, " %s", state);
        }
        std::fprintf(stderr, "\n");
        return 2;
    }
    const std::string state = argv[1];
    if (state == "dark") {
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        QApplication::setPalette(darkPalette());
    }
    QApplication application(argc, argv);
    // As the program does at its start: English's plural forms, or the German translation.
    if (state == "german") {
        tavrel::app::installTranslations(QLocale(QLocale::German, QLocale::Germany),
                                         {TAVREL_TRANSLATIONS_DIR});
    } else {
        tavrel::app::installEnglishPlurals();
    }
    QTemporaryDir settings;
    benchsupport::useTemporarySettings(settings);
    QCoreApplication::setApplicationVersion(TAVREL_VERSION);

    Vrg500SimulatorOptions options;
    options.sampleRegisters = true;
    // Real 9600-baud timing, so that the progress sheet stays up long enough to be seen.
    options.paced = state == "progress-sheet";
    Vrg500Simulator device(options);
    if (!benchsupport::startDevice(device)) {
        return 1;
    }
    // The simulator beside two ports of the kind a machine has, as `tavrel --demo` lists it.
    const std::string devicePath = device.slavePath();
    AppController::PortLister ports = [devicePath] {
        return std::optional<SerialPortList>(SerialPortList{{DemoDevice::PortName, {devicePath}},
                                                            {"ttyS0", {"/dev/ttyS0"}},
                                                            {"ttyUSB0", {"/dev/ttyUSB0"}}});
    };
    if (state == "no-ports") {
        ports = [] { return std::optional<SerialPortList>(SerialPortList{}); };
    }
    AppController controller(ports);
    controller.window()->move(40, 40);
    controller.window()->show();
    if (!waitFor([&] { return exposed(controller.window()); })) {
        std::fprintf(stderr, "the main window did not come up\n");
        return 1;
    }
    // A sheet opened before the window manager has finished with the main window stays unpainted.
    settle(PlacementSettleMs);
    if (!enterState(controller, device, argv[1])) {
        std::fprintf(stderr, "the windows did not reach the state %s\n", argv[1]);
        return 1;
    }
    settle(PlacementSettleMs);
    const QRect frame =
        state == "help-viewer" ? controller.helpMenu()->viewer()->frameGeometry() : framedWindows();
    std::printf("ready %d %d %d %d\n", frame.x(), frame.y(), frame.width(), frame.height());
    std::fflush(stdout);
    quitWhenInputCloses(application);
    return application.exec();
}
