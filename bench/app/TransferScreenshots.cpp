// Makes the documentation's screenshots of the register transfer, deterministically, offscreen:
//   range-sheet.png            the range sheet over the main window, set for a download
//   progress-sheet.png         the progress sheet over the window midway through a download
//   table-after-download.png   the window after registers 0 to 299 were downloaded
// The sheets are drawn over the window's picture where the window manager would put them:
// centred, just below the toolbar.
//   transfer_screenshots OUTPUT-FOLDER
#include "AppController.h"
#include "BenchSupport.h"
#include "RangeSheet.h"
#include "RegisterTableModel.h"
#include "Vrg500Simulator.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QDir>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>

#include <cstdio>

using namespace tavrel::app;
using namespace tavrel::sim;

namespace {

constexpr int MidwayRegister = 42;

QPixmap windowWithSheet(AppController& controller, QDialog* sheet) {
    QPixmap picture = controller.window()->grab();
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QColor(0, 0, 0, 40)); // the window behind a modal sheet
    const QPixmap sheetPicture = sheet->grab();
    const int x = (picture.width() - sheetPicture.width()) / 2;
    const int y = controller.mainToolbar()->geometry().bottom() + 1;
    painter.fillRect(x - 1, y, sheetPicture.width() + 2, sheetPicture.height() + 1,
                     QColor(0, 0, 0, 90));
    painter.drawPixmap(x, y, sheetPicture);
    return picture;
}

bool save(const QPixmap& picture, const QDir& folder, const char* name) {
    const QString path = folder.filePath(name);
    if (!picture.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), picture.width(), picture.height());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir settings;
    benchsupport::useTemporarySettings(settings);
    const QDir folder(QString::fromLocal8Bit(argv[1]));

    Vrg500SimulatorOptions options;
    options.sampleRegisters = true;
    Vrg500Simulator device(options);
    if (!benchsupport::startDevice(device)) {
        return 1;
    }
    AppController controller(benchsupport::onePort("ttyUSB0", device.slavePath()));
    controller.window()->resize(controller.window()->width(), 600);
    controller.window()->show();
    QCoreApplication::processEvents();

    controller.downloadRegisters();
    testAccess(controller).rangeRadios()->button(AllRegistersRangeTag)->click();
    testAccess(controller).minRangeField()->setValue(0);
    testAccess(controller).maxRangeField()->setValue(299);
    QCoreApplication::processEvents();
    if (!save(windowWithSheet(controller, testAccess(controller).rangeSheet()), folder,
              "range-sheet.png")) {
        return 1;
    }

    bool ok = true;
    QObject::connect(controller.tableModel(), &QAbstractItemModel::rowsInserted, [&] {
        if (controller.tableModel()->rowCount() == MidwayRegister + 1) {
            // A fast download draws the table once per display frame; a screen would show the
            // last frame drawn, a grab needs the current one.
            testAccess(controller).registerTable()->setUpdatesEnabled(true);
            ok = save(windowWithSheet(controller, testAccess(controller).progressSheet()), folder,
                      "progress-sheet.png");
        }
    });
    bool ended = false;
    QObject::connect(testAccess(controller).progressSheet(), &QDialog::finished,
                     [&ended] { ended = true; });
    testAccess(controller).rangeConfirmButton()->click();
    while (!ended) {
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    if (!ok || testAccess(controller).registers().size() != 300 || controller.currentAlert()) {
        std::fprintf(stderr, "the download did not complete\n");
        return 1;
    }
    return save(controller.window()->grab(), folder, "table-after-download.png") ? 0 : 1;
}
