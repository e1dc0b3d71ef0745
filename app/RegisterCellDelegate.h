// Draws the register table's cells as lines of text runs, bold or plain, so that the three lines
// of every machine cell stand level with "IN", "OUT" and "CLIP" of the Label column: every line
// of every cell sits on the plain font's baseline grid, whatever its run's weight. A rule under
// each register's CLIP line keeps three-line registers apart; its colour is drawn from the
// palette, so it shows in light and dark palettes alike. The table selects whole registers, so
// cells draw no focus frame of their own; the current field (one line of the current cell) is
// framed instead, as that is what F2 or typing edits.
//
// Editing: each field has its own one-line editor laid over its line. Enter and Tab commit
// through the field committer, which may refuse: the editor then stays open with the reason
// beside it, and nothing changes. Escape leaves the field as it was.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QStyledItemDelegate>

#include <functional>

class QLineEdit;

namespace tavrel::app {

class RegisterCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    // Space between a cell's left edge and its text.
    static constexpr int HorizontalMargin = 4;
    // Space above a cell's first line, and between its last line and the rule at its bottom.
    static constexpr int TopMargin = 2;
    static constexpr int BottomMargin = 3;

    // Puts `text` into the field on `line` of the cell at `index`; false with the reason when
    // the field cannot take it.
    using FieldCommitter = std::function<bool(const QModelIndex& index, int line,
                                              const QString& text, QString* reason)>;

    // The rule's colour: between the palette's text and base colours, nearer the base.
    static QColor ruleColor(const QPalette& palette, QPalette::ColorGroup group);
    // The rectangle of one line of a cell, and the line under a vertical position.
    static QRect lineRect(const QRect& cell, const QFontMetrics& metrics, int line);
    static int lineAt(const QRect& cell, const QFontMetrics& metrics, int y);

    using QStyledItemDelegate::QStyledItemDelegate;

    void setFieldCommitter(FieldCommitter committer) { _committer = std::move(committer); }
    // The reason shown beside the open editor after a refused commit, else null.
    QLabel* refusalLabel() const { return _refusal; }

    // Hands the open field editor's text over, as Enter does, before something that must not
    // lose it (a save, a question about unsaved changes, closing): true when nothing is open or
    // the text was taken and the editor closed; false when it was refused, the editor then kept
    // open with the reason beside it and the focus in it.
    bool commitOpenEditor();

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool _commit(QLineEdit* editor, QString* reason) const;
    void _showRefusal(QLineEdit* editor, const QString& reason);
    void _paintCurrentField(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const;

    // Opens the field again with the text that was refused when the editor lost the focus, and
    // says why.
    void _reopenRefused(const QModelIndex& cell, int line, const QString& text,
                        const QString& reason);

    FieldCommitter _committer;
    QPointer<QLabel> _refusal;
    mutable QPointer<QLineEdit> _open; // the field editor, while one is open
};

} // namespace tavrel::app
