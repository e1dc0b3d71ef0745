#include "HelpViewer.h"

#include <QAction>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

namespace tavrel::app {

namespace {

constexpr int InitialWidth = 720;
constexpr int InitialHeight = 640;

QAction* navigationAction(QWidget* owner, const QString& text, const char* iconName,
                          const QKeySequence& shortcut) {
    auto* action = new QAction(QIcon::fromTheme(iconName), text, owner);
    action->setShortcut(shortcut);
    action->setToolTip(QString("%1 (%2)").arg(text, shortcut.toString(QKeySequence::NativeText)));
    owner->addAction(action);
    return action;
}

} // namespace

HelpViewer::HelpViewer(UrlOpener opener, QWidget* parent)
    : QWidget(parent, Qt::Window), _opener(std::move(opener)) {
    setObjectName("helpViewer");
    setWindowTitle(tr("Tavrel Help"));
    resize(InitialWidth, InitialHeight);

    _browser = new QTextBrowser(this);
    _browser->setObjectName("helpBrowser");
    _browser->setAccessibleName(tr("Help"));
    // Every link comes to _followLink, which keeps the manual's links here and sends the rest out.
    _browser->setOpenLinks(false);
    connect(_browser, &QTextBrowser::anchorClicked, this, &HelpViewer::_followLink);
    connect(_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = _browser->documentTitle();
        setWindowTitle(title.isEmpty() ? tr("Tavrel Help") : title);
    });

    _back = navigationAction(this, tr("Back"), "go-previous", QKeySequence::Back);
    _forward = navigationAction(this, tr("Forward"), "go-next", QKeySequence::Forward);
    _home = navigationAction(this, tr("Home"), "go-home", QKeySequence(Qt::ALT | Qt::Key_Home));
    _back->setEnabled(false);
    _forward->setEnabled(false);
    connect(_back, &QAction::triggered, _browser, &QTextBrowser::backward);
    connect(_forward, &QAction::triggered, _browser, &QTextBrowser::forward);
    connect(_home, &QAction::triggered, _browser, &QTextBrowser::home);
    connect(_browser, &QTextBrowser::backwardAvailable, _back, &QAction::setEnabled);
    connect(_browser, &QTextBrowser::forwardAvailable, _forward, &QAction::setEnabled);

    _findField = new QLineEdit(this);
    _findField->setObjectName("helpFind");
    _findField->setPlaceholderText(tr("Find in page"));
    _findField->setAccessibleName(tr("Find in page"));
    _findField->setClearButtonEnabled(true);
    _findResult = new QLabel(this);
    connect(_findField, &QLineEdit::returnPressed, this, [this] { _find(false); });
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Return), _findField, nullptr, nullptr,
                          Qt::WidgetShortcut),
            &QShortcut::activated, this, [this] { _find(true); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), _findField, nullptr, nullptr,
                          Qt::WidgetShortcut),
            &QShortcut::activated, _browser, qOverload<>(&QWidget::setFocus));
    connect(_findField, &QLineEdit::textChanged, _findResult, &QLabel::clear);
    auto* find = new QAction(tr("Find"), this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, &HelpViewer::_startFind);
    addAction(find);
    auto* findNext = new QAction(tr("Find Next"), this);
    findNext->setShortcut(QKeySequence::FindNext);
    connect(findNext, &QAction::triggered, this, [this] { _find(false); });
    addAction(findNext);
    auto* findPrevious = new QAction(tr("Find Previous"), this);
    findPrevious->setShortcut(QKeySequence::FindPrevious);
    connect(findPrevious, &QAction::triggered, this, [this] { _find(true); });
    addAction(findPrevious);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addActions({_back, _forward, _home});
    auto* top = new QHBoxLayout;
    top->addWidget(bar);
    top->addStretch();
    top->addWidget(_findResult);
    top->addWidget(_findField);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(_browser);
}

void HelpViewer::showManual(const QString& path, const QStringList& searched) {
    _findField->clear();
    if (path.isEmpty()) {
        _showNotFound(searched);
        return;
    }
    _browser->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    _browser->clearHistory();
}

void HelpViewer::_showNotFound(const QStringList& searched) {
    QString places;
    for (const QString& place : searched) {
        places += QString("<li><code>%1</code></li>").arg(place.toHtmlEscaped());
    }
    _browser->clearHistory();
    _browser->setHtml(
        QString("<html><head><title>%1</title></head><body><h1>%1</h1><p>%2</p><ul>%3</ul>"
                "<p>%4</p></body></html>")
            .arg(tr("Tavrel Help"),
                 tr("The help file, tavrel-help.html, could not be found. Tavrel looked for it "
                    "in these places:"),
                 places,
                 tr("Installing Tavrel again puts it back. The same manual is in the package's "
                    "documentation folder, /usr/share/doc/tavrel/, when that is installed.")));
    setWindowTitle(tr("Tavrel Help"));
}

void HelpViewer::_followLink(const QUrl& link) {
    const QUrl target = _browser->source().resolved(link);
    if (link.scheme().isEmpty() || target.isLocalFile()) {
        _browser->setSource(target);
    } else {
        _opener(link);
    }
}

void HelpViewer::_startFind() {
    _findField->setFocus(Qt::ShortcutFocusReason);
    _findField->selectAll();
}

void HelpViewer::_find(bool backward) {
    const QString text = _findField->text();
    if (text.isEmpty()) {
        _startFind();
        return;
    }
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (_browser->find(text, flags)) {
        _findResult->clear();
        return;
    }
    // Round the end of the page, and once more from there.
    const QTextCursor kept = _browser->textCursor();
    QTextCursor start(_browser->document());
    start.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    _browser->setTextCursor(start);
    if (_browser->find(text, flags)) {
        _findResult->clear();
        return;
    }
    _browser->setTextCursor(kept);
    _findResult->setText(tr("Not found"));
}

} // namespace tavrel::app
