#include "RangeSheet.h"

#include "AppController.h"

#include <QButtonGroup>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

void AppController::_createRangeSheet() {
    rangeSheet = new QDialog(mainWindow);
    rangeSheet->setWindowModality(Qt::WindowModal);
    rangeLabel = new QLabel(rangeSheet);
    minRangeField = new QSpinBox(rangeSheet);
    maxRangeField = new QSpinBox(rangeSheet);
    rangeRadios = new QButtonGroup(rangeSheet);
    for (int tag = 0; tag < 3; ++tag) {
        rangeRadios->addButton(new QRadioButton(rangeSheet), tag);
    }
    rangeConfirmButton = new QPushButton(rangeSheet);
    rangeCancelButton = new QPushButton(rangeSheet);
}
