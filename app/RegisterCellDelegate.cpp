#include "RegisterCellDelegate.h"

#include "RegisterTableModel.h"
#include "RegisterTableView.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace tavrel::app {

namespace {

QList<CellRun> runsOf(const QModelIndex& index) {
    const auto* model = qobject_cast<const RegisterTableModel*>(index.model());
    if (model != nullptr) {
        return model->cellRuns(index);
    }
    return {{index.data().toString(), false}};
}

QFont boldOf(const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

// The editor of one field: it knows its cell and line.
class FieldEditor : public QLineEdit {
  public:
    FieldEditor(QWidget* parent, const QModelIndex& index, int fieldLine)
        : QLineEdit(parent), cell(index), line(fieldLine) {}

    QPersistentModelIndex cell;
    int line;
};

const RegisterTableView* tableViewOf(const QStyleOptionViewItem& option) {
    return qobject_cast<const RegisterTableView*>(option.widget);
}

// Space between the editor and the reason beside it.
constexpr int RefusalGap = 6;

} // namespace

QRect RegisterCellDelegate::lineRect(const QRect& cell, const QFontMetrics& metrics, int line) {
    return {cell.left(), cell.top() + TopMargin + line * metrics.lineSpacing(), cell.width(),
            metrics.height()};
}

int RegisterCellDelegate::lineAt(const QRect& cell, const QFontMetrics& metrics, int y) {
    const int line = (y - cell.top() - TopMargin) / std::max(1, metrics.lineSpacing());
    return std::clamp(line, 0, RegisterTableModel::LineCount - 1);
}

void RegisterCellDelegate::_paintCurrentField(QPainter* painter, const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const {
    const RegisterTableView* view = tableViewOf(option);
    if (view == nullptr || RegisterTableModel::machineOfColumn(index.column()) < 0 ||
        index != view->currentIndex() || !view->hasFocus() || view->isEditing()) {
        return;
    }
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QRect field = lineRect(option.rect, QFontMetrics(option.font), view->currentLine())
                            .adjusted(1, -1, -2, 0);
    painter->save();
    painter->setPen(
        option.palette.color(selected ? QPalette::HighlightedText : QPalette::Highlight));
    painter->drawRect(field);
    painter->restore();
}

void RegisterCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.state &= ~QStyle::State_HasFocus;
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QFont plain = option.font;
    const QFont bold = boldOf(plain);
    const QFontMetrics plainMetrics(plain);
    const QFontMetrics boldMetrics(bold);
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group =
        (option.state & QStyle::State_Active) != 0 ? QPalette::Active : QPalette::Inactive;

    painter->save();
    painter->setClipRect(option.rect);
    painter->setPen(ruleColor(option.palette, group));
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const int left = option.rect.left() + HorizontalMargin;
    int x = left;
    int line = 0;
    for (const CellRun& run : runsOf(index)) {
        painter->setFont(run.bold ? bold : plain);
        const QFontMetrics& metrics = run.bold ? boldMetrics : plainMetrics;
        const QStringList parts = run.text.split(u'\n');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) {
                ++line;
                x = left;
            }
            if (parts[i].isEmpty()) {
                continue;
            }
            int baseline = option.rect.top() + TopMargin + plainMetrics.ascent() +
                           line * plainMetrics.lineSpacing();
            painter->drawText(QPoint(x, baseline), parts[i]);
            x += metrics.horizontalAdvance(parts[i]);
        }
    }
    painter->restore();
    _paintCurrentField(painter, option, index);
}

QWidget* RegisterCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
    const RegisterTableView* view = tableViewOf(option);
    const int line = view != nullptr ? view->currentLine() : RegisterTableModel::InLine;
    auto* editor = new FieldEditor(parent, index, line);
    _open = editor;
    editor->setFrame(false);
    editor->setFont(option.font);
    editor->setAccessibleName(
        RegisterTableModel::fieldName(RegisterTableModel::machineOfColumn(index.column()), line));
    editor->setAccessibleDescription(
        tr("Register %1")
            .arg(index.siblingAtColumn(RegisterTableModel::RegisterColumn).data().toString()));
    if (line == RegisterTableModel::ClipLine) {
        editor->setMaxLength(64); // longer text is refused with its reason, not cut silently
    }
    connect(editor, &QLineEdit::textEdited, this, [this] {
        if (_refusal) {
            _refusal->hide();
        }
    });
    return editor;
}

void RegisterCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* field = static_cast<FieldEditor*>(editor);
    const auto* model = qobject_cast<const RegisterTableModel*>(index.model());
    if (model == nullptr) {
        return;
    }
    // Set once: the table redraws under an open editor without undoing what is being typed.
    if (field->property("filled").toBool()) {
        return;
    }
    field->setProperty("filled", true);
    field->setText(model->fieldText(
        index.row(), RegisterTableModel::machineOfColumn(index.column()), field->line));
    field->selectAll();
}

void RegisterCellDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                        const QModelIndex&) const {
    // Reached when the editor loses focus to another part of the window, or another cell
    // becomes current: what can be taken is taken; what cannot is not dropped without a word
    // but opened again, with the reason, once this editor has closed.
    auto* field = static_cast<FieldEditor*>(editor);
    QString reason;
    if (!_commit(field, &reason)) {
        const QPersistentModelIndex cell = field->cell;
        const int line = field->line;
        const QString text = field->text();
        // The delegate itself does not change here; the reopening is only scheduled.
        auto* self = const_cast<RegisterCellDelegate*>(this);
        QTimer::singleShot(0, self, [self, cell, line, text, reason] {
            self->_reopenRefused(cell, line, text, reason);
        });
    }
}

void RegisterCellDelegate::_reopenRefused(const QModelIndex& cell, int line, const QString& text,
                                          const QString& reason) {
    auto* view = qobject_cast<RegisterTableView*>(parent());
    if (view == nullptr || !cell.isValid()) {
        return;
    }
    view->setCurrentField(cell, line);
    if (!view->editCurrentField() || _open.isNull()) {
        return;
    }
    _open->setText(text);
    _showRefusal(_open, reason);
    _open->setFocus();
}

bool RegisterCellDelegate::commitOpenEditor() {
    auto* field = static_cast<FieldEditor*>(_open.data());
    if (field == nullptr || !field->cell.isValid() || !field->isVisible()) {
        return true;
    }
    QString reason;
    if (!_commit(field, &reason)) {
        _showRefusal(field, reason);
        field->setFocus();
        return false;
    }
    // Committed already: the editor closes without handing its text over again.
    field->cell = QPersistentModelIndex();
    emit closeEditor(field, NoHint);
    return true;
}

void RegisterCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                const QModelIndex&) const {
    const auto* field = static_cast<FieldEditor*>(editor);
    const QFontMetrics metrics(option.font);
    QRect rect = lineRect(option.rect, metrics, field->line);
    const int height = std::max(rect.height(), editor->sizeHint().height());
    rect.setTop(rect.center().y() - height / 2);
    rect.setHeight(height);
    editor->setGeometry(rect.adjusted(HorizontalMargin / 2, 0, 0, 0));
}

bool RegisterCellDelegate::_commit(QLineEdit* editor, QString* reason) const {
    auto* field = static_cast<FieldEditor*>(editor);
    if (!_committer || !field->cell.isValid()) {
        return true;
    }
    return _committer(field->cell, field->line, field->text(), reason);
}

void RegisterCellDelegate::_showRefusal(QLineEdit* editor, const QString& reason) {
    if (!_refusal) {
        _refusal = new QLabel(editor->parentWidget());
        _refusal->setObjectName("fieldRefusal");
        _refusal->setAccessibleDescription(tr("Why the value was refused"));
        _refusal->setForegroundRole(QPalette::ToolTipText);
        _refusal->setBackgroundRole(QPalette::ToolTipBase);
        _refusal->setAutoFillBackground(true);
        _refusal->setFrameShape(QFrame::Box);
        _refusal->setMargin(3);
        _refusal->setWordWrap(true);
        connect(editor, &QObject::destroyed, _refusal.data(), &QObject::deleteLater);
    }
    QWidget* area = editor->parentWidget();
    _refusal->setText(reason);
    // One line where the table has room for it, wrapped within half the table where not.
    const QMargins margins = _refusal->contentsMargins();
    const int oneLine = _refusal->fontMetrics().horizontalAdvance(reason) + 2 * _refusal->margin() +
                        margins.left() + margins.right() + 2;
    _refusal->setFixedWidth(std::min(oneLine, std::max(160, area->width() / 2)));
    _refusal->adjustSize();
    // Beside the editor where there is room, else under it; always inside the table.
    const QRect at = editor->geometry();
    QPoint place(at.right() + RefusalGap, at.top());
    if (place.x() + _refusal->width() > area->width()) {
        place = QPoint(at.left(), at.bottom() + RefusalGap);
    }
    place.setX(std::clamp(place.x(), 0, std::max(0, area->width() - _refusal->width())));
    place.setY(std::clamp(place.y(), 0, std::max(0, area->height() - _refusal->height())));
    _refusal->move(place);
    _refusal->show();
    _refusal->raise();
}

bool RegisterCellDelegate::eventFilter(QObject* watched, QEvent* event) {
    auto* editor = dynamic_cast<FieldEditor*>(watched);
    if (editor == nullptr || event->type() != QEvent::KeyPress) {
        return QStyledItemDelegate::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    EndEditHint hint = NoHint;
    switch (key->key()) {
    case Qt::Key_Tab:
        hint = EditNextItem;
        break;
    case Qt::Key_Backtab:
        hint = EditPreviousItem;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        break;
    case Qt::Key_Escape:
        emit closeEditor(editor, RevertModelCache);
        return true;
    default:
        return QStyledItemDelegate::eventFilter(watched, event);
    }
    QString reason;
    if (!_commit(editor, &reason)) {
        _showRefusal(editor, reason);
        return true;
    }
    // Committed already: the editor closes without handing its text over again.
    editor->cell = QPersistentModelIndex();
    emit closeEditor(editor, hint);
    return true;
}

QColor RegisterCellDelegate::ruleColor(const QPalette& palette, QPalette::ColorGroup group) {
    const QColor text = palette.color(group, QPalette::Text);
    const QColor base = palette.color(group, QPalette::Base);
    const auto mix = [](int t, int b) { return (2 * t + 3 * b) / 5; };
    return QColor(mix(text.red(), base.red()), mix(text.green(), base.green()),
                  mix(text.blue(), base.blue()));
}

QSize RegisterCellDelegate::sizeHint(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    const QFontMetrics plainMetrics(option.font);
    const QFontMetrics boldMetrics(boldOf(option.font));
    int widest = 0;
    int width = 0;
    int lines = 1;
    for (const CellRun& run : runsOf(index)) {
        const QFontMetrics& metrics = run.bold ? boldMetrics : plainMetrics;
        const QStringList parts = run.text.split(u'\n');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) {
                widest = std::max(widest, width);
                width = 0;
                ++lines;
            }
            width += metrics.horizontalAdvance(parts[i]);
        }
    }
    widest = std::max(widest, width);
    return {widest + 2 * HorizontalMargin, TopMargin + plainMetrics.height() +
                                               (lines - 1) * plainMetrics.lineSpacing() +
                                               BottomMargin};
}

} // namespace tavrel::app
