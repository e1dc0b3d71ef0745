#include "ProgressSheet.h"

#include "AppController.h"

#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>

void AppController::_createProgressSheet() {
    progressSheet = new QDialog(mainWindow);
    progressSheet->setWindowModality(Qt::WindowModal);
    progressBar = new QProgressBar(progressSheet);
    progressLabel = new QLabel(progressSheet);
}
