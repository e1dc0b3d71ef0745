// Editing the register table at 65,536 registers through the application's own paths, with the
// main window shown offscreen. Prints figures beside their targets; never asserts them.
//   1. one field edited as the cell's editor commits it (EditCommands::commitField), then Undo
//      and Redo through their actions: median and 95th percentile (target < 1 ms each);
//   2. a paste of 1,000 new registers through the Paste action (target < 50 ms), and the
//      parse of the clipboard text alone;
//   3. 100 undo steps of whole-table replacements (RegisterEditor::replaceAll, as opening a file
//      does): resident memory they add over the table itself (target < 80 MB), the time of each
//      replacement and of undoing one.
// bench/files/bench_register_history measures the undo storage alone; this one the whole path:
// the editor, the undo stack, the model, the view's handling and the redraw.
//
// Every time runs from the command to the end of the repaint it causes. Qt asks for a repaint by
// posting an update request, so the clock stops only once the viewport has received a paint
// event after the command (seen by an event filter) and that paint has returned, plus one more
// pass of the event loop for whatever the paint or a delayed layout queued behind it. That takes
// in the model's change, the view's handling of its signals (row updates, a reset, selection,
// scrolling) and the raster drawing of the rows that changed; the figures also say how much of
// the viewport each operation redrew.
//   bench_editing [edit repetitions (200)] [edit|history (both)]
#include "AppController.h"
#include "BenchSupport.h"
#include "EditCommands.h"
#include "RegisterClipboardText.h"
#include "RegisterEditor.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"

#include "BenchMemory.h"
#include "BenchRegisters.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMainWindow>
#include <QMessageBox>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace tavrel::app;
using namespace tavrel::files;
using namespace tavrel::records;

using benchmemory::peakMegabytes;
using benchmemory::residentMegabytes;

using benchregisters::randomEntry;
using benchregisters::withOnePercentChanged;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t Registers = 65536;
constexpr int PastedRegisters = 1000;
constexpr int PasteRounds = 10;
constexpr int ReplacementSteps = 100;
constexpr int UndoRounds = 5;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at =
        static_cast<size_t>(std::lround(fraction * static_cast<double>(values.size() - 1)));
    return values[std::min(at, values.size() - 1)];
}

// Counts the viewport's paint events and the height they covered.
class PaintWatch : public QObject {
  public:
    explicit PaintWatch(QWidget* viewport) : _viewport(viewport) {
        viewport->installEventFilter(this);
    }

    int paints() const { return _paints; }
    // Painted rows' height over the viewport's, summed over every paint since the last call.
    double takeViewportsPainted() {
        const double share = _paintedHeight / std::max(1, _viewport->height());
        _paintedHeight = 0;
        return share;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == _viewport && event->type() == QEvent::Paint) {
            ++_paints;
            _paintedHeight += static_cast<QPaintEvent*>(event)->region().boundingRect().height();
        }
        return false;
    }

  private:
    QWidget* _viewport;
    int _paints = 0;
    double _paintedHeight = 0;
};

// The main window shown offscreen with its table, as a person sees it.
class Session {
  public:
    Session() : _controller(benchsupport::onePort("ttyS0", "/dev/ttyS0")) {
        QMainWindow* window = _controller.window();
        window->show();
        while (window->windowHandle() == nullptr || !window->windowHandle()->isExposed()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QApplication::setActiveWindow(window);
        table()->setFocus();
        _watch = std::make_unique<PaintWatch>(table()->viewport());
        settle();
    }

    AppController& controller() { return _controller; }
    RegisterTableView* table() { return _controller.window()->table(); }
    RegisterTableModel* model() { return _controller.tableModel(); }
    RegisterEditor* editor() { return _controller.registerEditor(); }
    QUndoStack* stack() { return editor()->undoStack(); }
    PaintWatch& watch() { return *_watch; }

    // Lets everything pending (updates, delayed layouts) happen before a measurement.
    void settle() {
        for (int pass = 0; pass < 3; ++pass) {
            QCoreApplication::processEvents();
        }
        _watch->takeViewportsPainted();
    }

    // Milliseconds from `command` to the end of the repaint it causes; counts a command that
    // caused none within a second in `unpainted`.
    double timed(const std::function<void()>& command) {
        settle();
        const int before = _watch->paints();
        const auto start = Clock::now();
        command();
        while (_watch->paints() == before && millisecondsSince(start) < 1000) {
            QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
        const double elapsed = millisecondsSince(start);
        unpainted += _watch->paints() == before ? 1 : 0;
        return elapsed;
    }

    int unpainted = 0;

  private:
    QTemporaryDir _settings;
    AppController _controller;
    std::unique_ptr<PaintWatch> _watch;
};

void printTimes(const char* what, const std::vector<double>& times, double target,
                double viewports) {
    std::printf("  %-34s median %7.3f ms   p95 %7.3f ms   max %7.3f ms   (target < %g ms)   "
                "redrew %.2f viewports each\n",
                what, percentile(times, 0.5), percentile(times, 0.95), percentile(times, 1.0),
                target, viewports / static_cast<double>(std::max<size_t>(1, times.size())));
}

// ---- 1. A field edit, Undo and Redo --------------------------------------------------------

void fieldEdits(Session& session, int repetitions) {
    RegisterTableModel* model = session.model();
    const int row = Registers / 2;
    const QModelIndex cell = model->index(row, RegisterTableModel::BColumn);
    session.table()->setCurrentField(cell, RegisterTableModel::OutLine);
    session.settle();
    const int rowHeight = session.table()->rowHeight(row);
    std::printf("1. One field edit, Undo and Redo at %d registers: B OUT of register %d (row %d, "
                "in view), %d repetitions; viewport %dx%d px, about %d rows of %d px in sight\n",
                Registers, model->registers().numberAt(row), row, repetitions,
                session.table()->viewport()->width(), session.table()->viewport()->height(),
                session.table()->viewport()->height() / std::max(1, rowHeight), rowHeight);

    // Two values in turn, neither the one the register starts with, so each edit changes it.
    const QString values[2] = {"12:34:56:07", "12:34:56:08"};
    QAction* undo = session.controller().window()->action(Command::Undo);
    QAction* redo = session.controller().window()->action(Command::Redo);
    std::vector<double> edits;
    std::vector<double> undos;
    std::vector<double> redos;
    double editViewports = 0;
    double undoViewports = 0;
    double redoViewports = 0;
    int refused = 0;
    int unchanged = 0;
    for (int repetition = 0; repetition < repetitions; ++repetition) {
        const QString& value = values[repetition % 2];
        edits.push_back(session.timed([&] {
            QString reason;
            refused += session.controller().editCommands()->commitField(
                           cell, RegisterTableModel::OutLine, value, &reason)
                           ? 0
                           : 1;
        }));
        editViewports += session.watch().takeViewportsPainted();
        const QString edited = model->fieldText(row, 1, RegisterTableModel::OutLine);
        undos.push_back(session.timed([undo] { undo->trigger(); }));
        undoViewports += session.watch().takeViewportsPainted();
        redos.push_back(session.timed([redo] { redo->trigger(); }));
        redoViewports += session.watch().takeViewportsPainted();
        const QString redone = model->fieldText(row, 1, RegisterTableModel::OutLine);
        unchanged += edited == value && redone == value ? 0 : 1;
    }
    printTimes("field edit (commitField)", edits, 1, editViewports);
    printTimes("Undo action", undos, 1, undoViewports);
    printTimes("Redo action", redos, 1, redoViewports);
    if (refused + unchanged > 0) {
        std::printf("  WARNING: %d edits refused, %d edits or redos without the value\n", refused,
                    unchanged);
    }

    // What a redraw of every row in sight costs, for scale: nothing changed, viewport repaint().
    std::vector<double> full;
    for (int repetition = 0; repetition < 50; ++repetition) {
        full.push_back(session.timed([&session] { session.table()->viewport()->repaint(); }));
    }
    session.watch().takeViewportsPainted();
    std::printf("  %-34s median %7.3f ms   (for scale)\n", "whole viewport repaint() alone",
                percentile(full, 0.5));
}

// ---- 2. Pasting 1,000 new registers --------------------------------------------------------

// Registers numbered `first`, `first + spacing`, ... as the clipboard carries them.
std::string clipboardLines(int32_t first, int32_t spacing) {
    std::mt19937 random(99);
    std::vector<RegisterCollection::Item> items;
    for (int32_t i = 0; i < PastedRegisters; ++i) {
        const int32_t number = first + i * spacing;
        items.emplace_back(number, randomEntry(random, 99, number));
    }
    return registerClipboardLines(items);
}

void pasteOf(Session& session, const char* what, const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
    QAction* paste = session.controller().window()->action(Command::Paste);
    QAction* undo = session.controller().window()->action(Command::Undo);
    std::vector<double> pastes;
    std::vector<double> undos;
    std::vector<double> parses;
    double pasteViewports = 0;
    double undoViewports = 0;
    int failed = 0;
    for (int round = 0; round < PasteRounds; ++round) {
        const size_t before = session.model()->registers().size();
        pastes.push_back(session.timed([paste] { paste->trigger(); }));
        pasteViewports += session.watch().takeViewportsPainted();
        failed += session.model()->registers().size() == before + PastedRegisters ? 0 : 1;
        if (session.controller().alerts()->current() != nullptr) {
            session.controller().alerts()->current()->reject();
        }
        undos.push_back(session.timed([undo] { undo->trigger(); }));
        undoViewports += session.watch().takeViewportsPainted();
        failed += session.model()->registers().size() == before ? 0 : 1;

        std::vector<RegisterCollection::Item> items;
        const auto start = Clock::now();
        parseRegisterClipboard(text, &items);
        parses.push_back(millisecondsSince(start));
    }
    std::printf("  %s (%zu bytes of text)\n", what, text.size());
    printTimes("Paste action", pastes, 50, pasteViewports);
    std::printf("  %-34s median %7.3f ms\n", "  of which parsing the text",
                percentile(parses, 0.5));
    printTimes("Undo of the paste", undos, 50, undoViewports);
    if (failed > 0) {
        std::printf("  WARNING: %d pastes or undos did not change the table as expected\n", failed);
    }
}

void pastes(Session& session) {
    std::printf("2. Pasting %d new registers into %d registers (even numbers 0 to %d), median of "
                "%d\n",
                PastedRegisters, Registers, 2 * (Registers - 1), PasteRounds);
    // Odd numbers around the middle: rows spread among the ones in sight.
    pasteOf(session, "odd numbers 65537, 65539, ... (between rows in sight)",
            clipboardLines(Registers + 1, 2));
    // A run above the last one: one block of new rows at the end.
    pasteOf(session, "a run 131072 to 133071 (after the last row)",
            clipboardLines(2 * Registers, 1));
    // A paste of more than a few registers resets the model, and the view's reset measures the
    // label of every row to fit the register number column: its share, timed alone.
    std::vector<double> fits;
    for (int round = 0; round < PasteRounds; ++round) {
        const auto start = Clock::now();
        session.table()->fitRegisterColumn();
        fits.push_back(millisecondsSince(start));
    }
    std::printf("  %-34s median %7.3f ms   (run by every model reset)\n",
                "RegisterTableView::fitRegisterColumn", percentile(fits, 0.5));
}

void editingScenario(int repetitions) {
    Session session;
    session.controller().tableModel()->replaceRegisters(benchregisters::table(1, Registers, 0, 2));
    session.settle();
    fieldEdits(session, repetitions);
    pastes(session);
    if (session.unpainted > 0) {
        std::printf("  WARNING: %d commands caused no repaint within a second\n",
                    session.unpainted);
    }
    std::printf("  peak memory of this process: %.1f MB\n\n", peakMegabytes());
}

// ---- 3. Undo steps of whole-table replacements ---------------------------------------------

using NextTable = std::function<RegisterCollection(unsigned step, const RegisterCollection&)>;

void historyScenario(const char* label, const RegisterCollection& first, const NextTable& next) {
    Session session;
    const double empty = residentMegabytes();
    session.controller().tableModel()->replaceRegisters(first);
    session.settle();
    const double withTable = residentMegabytes();

    std::vector<double> replacements;
    size_t touched = 0;
    for (unsigned step = 1; step <= ReplacementSteps; ++step) {
        RegisterCollection replacement = next(step, session.model()->registers());
        const int stepsBefore = session.stack()->count();
        replacements.push_back(session.timed([&] {
            session.editor()->replaceAll(std::move(replacement), "Open");
            session.stack()->setClean();
            session.controller().validateActions();
        }));
        touched += session.stack()->count() > stepsBefore ? 1 : 0;
    }
    session.watch().takeViewportsPainted();
    const double withHistory = residentMegabytes();

    QAction* undo = session.controller().window()->action(Command::Undo);
    QAction* redo = session.controller().window()->action(Command::Redo);
    std::vector<double> undos;
    std::vector<double> redos;
    for (int round = 0; round < UndoRounds; ++round) {
        undos.push_back(session.timed([undo] { undo->trigger(); }));
        redos.push_back(session.timed([redo] { redo->trigger(); }));
    }
    session.watch().takeViewportsPainted();

    std::printf("  %s\n", label);
    std::printf("    the table alone                   %7.1f MB resident\n", withTable - empty);
    std::printf("    %d undo steps (%zu pushed)        %7.1f MB resident growth over the table  "
                "(target < 80 MB); process %.1f MB, peak %.1f MB\n",
                session.stack()->count(), touched, withHistory - withTable, withHistory,
                peakMegabytes());
    std::printf("    replaceAll to repainted           median %7.2f ms   p95 %7.2f ms   max %7.2f "
                "ms\n",
                percentile(replacements, 0.5), percentile(replacements, 0.95),
                percentile(replacements, 1.0));
    std::printf("    Undo of the last one              median %7.2f ms   max %7.2f ms\n",
                percentile(undos, 0.5), percentile(undos, 1.0));
    std::printf("    Redo of it                        median %7.2f ms   max %7.2f ms\n",
                percentile(redos, 0.5), percentile(redos, 1.0));
    if (session.unpainted > 0) {
        std::printf("    WARNING: %d commands caused no repaint within a second\n",
                    session.unpainted);
    }
}

// Runs `run` in a child process with its own application object, so that each scenario's
// memory starts from nothing; returns false when the child failed.
bool inChild(int argc, char** argv, const std::function<void()>& run) {
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        QApplication application(argc, argv);
        QTemporaryDir settings;
        benchsupport::useTemporarySettings(settings);
        run();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const std::string part = argc > 2 ? argv[2] : "";
    bool ok = true;
    if (part != "history") {
        ok = inChild(argc, argv, [repetitions] { editingScenario(repetitions); });
    }
    if (part == "edit") {
        return ok ? 0 : 1;
    }

    std::printf("3. %d undo steps of whole-table replacements at %d registers (replaceAll, "
                "as opening a file)\n",
                ReplacementSteps, Registers);
    ok = inChild(argc, argv,
                 [] {
                     historyScenario("(a) each table the one before with 1 % of its registers "
                                     "changed",
                                     benchregisters::table(1, Registers),
                                     [](unsigned step, const RegisterCollection& now) {
                                         return withOnePercentChanged(now, step);
                                     });
                 }) &&
         ok;
    ok =
        inChild(argc, argv,
                [] {
                    const RegisterCollection tables[2] = {benchregisters::table(1, Registers),
                                                          benchregisters::table(2, Registers)};
                    historyScenario("(b) two different tables in turn (open A, B, A, ...)",
                                    tables[0], [&tables](unsigned step, const RegisterCollection&) {
                                        return tables[step % 2];
                                    });
                }) &&
        ok;
    return ok ? 0 : 1;
}
