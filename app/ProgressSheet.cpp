#include "ProgressSheet.h"

#include "AppController.h"

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

namespace tavrel::app {

namespace {

constexpr int SheetWidth = 420;
constexpr int SheetHeight = 124;
constexpr int Margin = 20;

} // namespace

void AppController::_createProgressSheet() {
    progressSheet = new ProgressSheet(mainWindow, [this] { cancelProgressSheet(); });
    progressSheet->setObjectName("progressSheet");
    progressSheet->setWindowTitle(tr("Register Transfer"));
    progressSheet->setWindowModality(Qt::WindowModal);
    // A sheet of fixed size: a title and a close button (which cancels), nothing to maximise.
    progressSheet->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                  Qt::WindowCloseButtonHint);
    progressSheet->setFixedSize(SheetWidth, SheetHeight);

    progressLabel = new QLabel(progressSheet);
    progressLabel->setGeometry(Margin, 14, SheetWidth - 2 * Margin, 20);

    progressBar = new QProgressBar(progressSheet);
    progressBar->setTextVisible(false);
    progressBar->setGeometry(Margin, 42, SheetWidth - 2 * Margin, 18);

    auto* cancel = new QPushButton(tr("Cancel"), progressSheet);
    cancel->setObjectName("progressCancelButton");
    cancel->setGeometry(SheetWidth - Margin - 80, SheetHeight - Margin - 28, 80, 28);
    cancel->setAutoDefault(false);

    connect(cancel, &QPushButton::clicked, this, [this] { cancelProgressSheet(); });

    connect(progressSheet, &QDialog::finished, this,
            [this](int returnCode) { progressSheetDidEnd(returnCode); });
}

} // namespace tavrel::app
