// What the window's sheets share: window-modal over the main window, a title and a close button
// (which cancels), nothing to maximise; each is as large as its contents, fixed before it shows.
#pragma once

#include <QDialog>
#include <QLayout>

namespace tavrel::app {

inline void makeSheet(QDialog* sheet, const char* objectName, const QString& title) {
    sheet->setObjectName(objectName);
    sheet->setWindowTitle(title);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
}

// Fixes the sheet to the size its contents now need before it is shown, so that the window
// manager offers nothing to resize, then opens it.
inline void openSheet(QDialog* sheet) {
    sheet->layout()->activate();
    sheet->open();
}

} // namespace tavrel::app
