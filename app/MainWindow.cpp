#include "MainWindow.h"

#include "LibraryTexts.h"
#include "MainToolbar.h"
#include "RegisterCellDelegate.h"
#include "RegisterTableModel.h"
#include "RegisterTableView.h"
#include "WindowStatusBar.h"

#include <QAction>
#include <QActionGroup>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

namespace tavrel::app {

using records::FrameRate;
using records::frameRateName;

namespace {

// The window's sizes at start.
constexpr int InitialWindowWidth = 760;
constexpr int InitialWindowHeight = 520;
constexpr int MinimumWindowHeight = 260;

} // namespace

MainWindow::MainWindow(RegisterTableModel* model, FrameRate frameRate) {
    setObjectName("mainWindow");
    setWindowIcon(QIcon(":/icons/Tavrel.png"));
    resize(InitialWindowWidth, InitialWindowHeight);
    setMinimumHeight(MinimumWindowHeight);
    _setUpTable(model);
    _createActions();
    _createFrameRateActions(frameRate);
    _createMenus();
    _statusBar = new WindowStatusBar(this);
    setStatusBar(_statusBar);
    setAcceptDrops(true);
}

void MainWindow::_setUpTable(RegisterTableModel* model) {
    _table = new RegisterTableView(this);
    _table->setObjectName("registerTable");
    _table->setAccessibleName(tr("Registers"));
    _table->setModel(model);
    _table->setItemDelegate(new RegisterCellDelegate(_table));
    _table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    _table->setSelectionBehavior(QAbstractItemView::SelectRows);
    _table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    _table->setShowGrid(false);
    _table->setAlternatingRowColors(true);
    _table->setWordWrap(false);
    _table->verticalHeader()->hide();
    _table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    _table->horizontalHeader()->setSectionsMovable(false);
    _table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(_table, &QWidget::customContextMenuRequested, this, &MainWindow::_showTableMenu);
    setCentralWidget(new RegisterTableArea(_table, this));
}

RegisterCellDelegate* MainWindow::cellDelegate() const {
    return static_cast<RegisterCellDelegate*>(_table->itemDelegate());
}

QAction* MainWindow::action(Command command) const {
    const auto found = _actions.find(command);
    return found != _actions.end() ? found->second : nullptr;
}

// ---- Actions and menus -------------------------------------------------------------------------

QAction* MainWindow::_addAction(Command command, const QString& text,
                                const QKeySequence& shortcut) {
    auto* action = new QAction(text, this);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
    }
    addAction(action); // its shortcut works wherever the focus is in the window
    _actions[command] = action;
    return action;
}

void MainWindow::_createActions() {
    const struct {
        Command command;
        QString text;
        QKeySequence shortcut;
    } commands[] = {
        {Command::New, tr("New"), QKeySequence::New},
        {Command::Open, tr("Open..."), QKeySequence::Open},
        {Command::Close, tr("Close"), QKeySequence::Close},
        {Command::Save, tr("Save..."), QKeySequence::Save},
        {Command::SaveAs, tr("Save As..."), QKeySequence::SaveAs},
        {Command::ExportEditDecisionList, tr("Edit Decision List..."), {}},
        {Command::ExportCsv, tr("CSV..."), {}},
        {Command::ImportEditDecisionList, tr("Edit Decision List..."), {}},
        {Command::ImportCsv, tr("CSV..."), {}},
        {Command::Quit, tr("Quit"), QKeySequence::Quit},
        {Command::Undo, tr("Undo"), QKeySequence::Undo},
        {Command::Redo, tr("Redo"), QKeySequence::Redo},
        {Command::Cut, tr("Cut"), QKeySequence::Cut},
        {Command::Copy, tr("Copy"), QKeySequence::Copy},
        {Command::CopyField, tr("Copy Field"), QKeySequence("Ctrl+Shift+C")},
        {Command::Paste, tr("Paste"), QKeySequence::Paste},
        {Command::Delete, tr("Delete"), QKeySequence::Delete},
        {Command::InsertRegister, tr("Insert Register..."), QKeySequence(Qt::Key_Insert)},
        {Command::Duplicate, tr("Duplicate To..."), QKeySequence("Ctrl+Shift+R")},
        {Command::GoToRegister, tr("Go to Register..."), QKeySequence("Ctrl+G")},
        {Command::SelectAll, tr("Select All"), QKeySequence::SelectAll},
        {Command::ChoosePort, tr("Choose Serial Port..."), QKeySequence("Ctrl+Shift+P")},
        {Command::DownloadRegisters, tr("Download Registers..."), QKeySequence("Ctrl+D")},
        {Command::UploadRegisters, tr("Upload Registers..."), QKeySequence("Ctrl+U")},
        {Command::Compare, tr("Compare with Device..."), QKeySequence("Ctrl+Shift+K")},
        {Command::RestoreSnapshot, tr("Restore Snapshot..."), {}},
        {Command::SafeUpload, tr("Compare Before Upload"), {}},
        {Command::DownloadMenuSettings, tr("Download Menu Settings..."),
         QKeySequence("Ctrl+Shift+D")},
        {Command::UploadMenuSettings, tr("Upload Menu Settings..."), QKeySequence("Ctrl+Shift+U")},
        {Command::ShowVersion, tr("Show VRG-500 Version"), QKeySequence("Ctrl+I")},
        {Command::DeviceInformation, tr("Device Information..."), {}},
        {Command::OffsetRegisters, tr("Offset Registers..."), {}},
        {Command::Help, tr("Tavrel Help"), QKeySequence::HelpContents},
        {Command::About, tr("About Tavrel"), {}},
        {Command::AboutQt, tr("About Qt"), {}},
    };
    for (const auto& command : commands) {
        _addAction(command.command, command.text, command.shortcut);
    }
    // Every key the platform gives Close (Ctrl+W and Ctrl+F4 on Linux), not only its first.
    action(Command::Close)->setShortcuts(QKeySequence::Close);
    action(Command::SafeUpload)->setCheckable(true);
    action(Command::Quit)->setMenuRole(QAction::QuitRole);
    action(Command::About)->setMenuRole(QAction::AboutRole);
    action(Command::AboutQt)->setMenuRole(QAction::AboutQtRole);
    // The context menu's own: it compares the selected registers.
    _actions[Command::CompareSelected] = new QAction(tr("Compare with Device"), this);
}

void MainWindow::_createFrameRateActions(FrameRate chosen) {
    _frameRates = new QActionGroup(this);
    for (const FrameRate rate :
         {FrameRate::WireLimits, FrameRate::Fps24, FrameRate::Fps25, FrameRate::Fps30}) {
        const QString name = QString::fromLatin1(frameRateName(rate));
        auto* action =
            new QAction(rate == FrameRate::WireLimits ? translatedLibraryText(frameRateName(rate))
                                                      : tr("%1 fps").arg(name),
                        _frameRates);
        action->setCheckable(true);
        action->setChecked(rate == chosen);
        action->setData(name);
        // The checked rate, however it became checked (the menu, an assistive technology, code).
        connect(action, &QAction::toggled, this, [this, action](bool checked) {
            if (checked) {
                emit frameRateChosen(action);
            }
        });
    }
}

QMenu* MainWindow::_addMenu(const QString& title, const std::vector<QAction*>& actions) {
    QMenu* menu = menuBar()->addMenu(title);
    for (QAction* action : actions) {
        if (action == nullptr) {
            menu->addSeparator();
        } else {
            menu->addAction(action);
        }
    }
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::commandsAboutToShow);
    return menu;
}

void MainWindow::_createMenus() {
    auto a = [this](Command command) { return action(command); };
    QMenu* file = _addMenu(tr("&File"), {a(Command::New), a(Command::Open)});
    _recentMenu = file->addMenu(tr("Open Recent"));
    _recentMenu->setObjectName("recentMenu");
    _actions[Command::OpenRecent] = _recentMenu->menuAction();
    file->addSeparator();
    file->addActions({a(Command::Close), a(Command::Save), a(Command::SaveAs)});
    file->addSeparator();
    file->addMenu(tr("Import"))
        ->addActions({a(Command::ImportEditDecisionList), a(Command::ImportCsv)});
    file->addMenu(tr("Export"))
        ->addActions({a(Command::ExportEditDecisionList), a(Command::ExportCsv)});
    file->addSeparator();
    file->addAction(a(Command::Quit));
    QMenu* edit = _addMenu(tr("&Edit"), {a(Command::Undo), a(Command::Redo), nullptr,
                                         a(Command::Cut), a(Command::Copy), a(Command::CopyField),
                                         a(Command::Paste), a(Command::Delete), nullptr,
                                         a(Command::InsertRegister), a(Command::Duplicate),
                                         a(Command::GoToRegister), a(Command::SelectAll), nullptr});
    edit->addMenu(tr("Frame Rate"))->addActions(_frameRates->actions());
    _addMenu(tr("&Device"),
             {a(Command::ChoosePort), nullptr, a(Command::DownloadRegisters),
              a(Command::UploadRegisters), nullptr, a(Command::Compare),
              a(Command::RestoreSnapshot), a(Command::SafeUpload), nullptr,
              a(Command::DownloadMenuSettings), a(Command::UploadMenuSettings), nullptr,
              a(Command::ShowVersion), a(Command::DeviceInformation), a(Command::OffsetRegisters)});
    _addMenu(tr("&Help"), {a(Command::Help), nullptr, a(Command::About), a(Command::AboutQt)});
}

void MainWindow::_showTableMenu(const QPoint& position) {
    emit tableMenuRequested(_table->indexAt(position));
    emit commandsAboutToShow();
    QMenu menu(_table);
    auto a = [this](Command command) { return action(command); };
    menu.addActions({a(Command::Cut), a(Command::Copy), a(Command::CopyField), a(Command::Paste),
                     a(Command::Delete)});
    menu.addSeparator();
    menu.addActions({a(Command::InsertRegister), a(Command::Duplicate)});
    menu.addSeparator();
    menu.addAction(a(Command::CompareSelected));
    menu.exec(_table->viewport()->mapToGlobal(position));
}

// ---- Files dropped on the window ---------------------------------------------------------------

QString MainWindow::droppableFile(const QMimeData* data) {
    const QList<QUrl> urls = data != nullptr ? data->urls() : QList<QUrl>();
    if (urls.size() != 1 || !urls.first().isLocalFile()) {
        return {};
    }
    const QString path = urls.first().toLocalFile();
    const QString suffix = QFileInfo(path).suffix();
    const bool known = suffix.compare("vg2", Qt::CaseInsensitive) == 0 ||
                       suffix.compare("vgs", Qt::CaseInsensitive) == 0;
    return known ? path : QString();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppableFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (!droppableFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppableFile(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit fileDropped(path);
}

// ---- What the window shows ---------------------------------------------------------------------

void MainWindow::attachToolbar(QComboBox* portPopUp) {
    _toolbar = new MainToolbar(
        portPopUp,
        {action(Command::Open), action(Command::Save), action(Command::DownloadRegisters),
         action(Command::UploadRegisters), action(Command::DownloadMenuSettings),
         action(Command::UploadMenuSettings)},
        this);
    _toolbar->fitWindowWidth(this);
    update();
    _sizeTableToContents();
}

void MainWindow::applyEnabling(const CommandState& state) {
    for (const auto& [command, action] : _actions) {
        action->setEnabled(commandEnabled(command, state));
    }
    _frameRates->setEnabled(commandEnabled(Command::FrameRate, state));
}

void MainWindow::nameUndoSteps(const QString& undoStep, const QString& redoStep) {
    action(Command::Undo)->setText(undoStep.isEmpty() ? tr("Undo") : tr("Undo %1").arg(undoStep));
    action(Command::Redo)->setText(redoStep.isEmpty() ? tr("Redo") : tr("Redo %1").arg(redoStep));
}

void MainWindow::showDocumentTitle(const QString& title) {
    setWindowTitle(tr("%1[*] \u2014 Tavrel").arg(title));
}

bool MainWindow::commitOpenField() {
    return cellDelegate()->commitOpenEditor();
}

void MainWindow::_sizeTableToContents() {
    const QFontMetrics metrics(_table->font());
    const QRect unbounded(0, 0, 100000, 100000);
    const QSize label =
        metrics.boundingRect(unbounded, Qt::AlignLeft | Qt::AlignTop, RegisterTableModel::LabelText)
            .size();
    QHeaderView* rows = _table->verticalHeader();
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(RegisterCellDelegate::TopMargin + label.height() +
                                RegisterCellDelegate::BottomMargin);
    QHeaderView* columns = _table->horizontalHeader();
    columns->setMinimumSectionSize(1);
    columns->setSectionResizeMode(RegisterTableModel::RegisterColumn, QHeaderView::Fixed);
    columns->setSectionResizeMode(RegisterTableModel::LabelColumn, QHeaderView::Fixed);
    _table->fitRegisterColumn();
    columns->resizeSection(RegisterTableModel::LabelColumn, label.width() + 12);
    // The machine columns share the rest of the table's width.
    for (int column = RegisterTableModel::AColumn; column <= RegisterTableModel::DColumn;
         ++column) {
        columns->setSectionResizeMode(column, QHeaderView::Stretch);
    }
}

} // namespace tavrel::app
