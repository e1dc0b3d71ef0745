#include "ComparisonDialog.h"

#include "RegisterLabelText.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavrel::app {

using files::RegisterComparison;
using files::RegisterDifference;

namespace {

QString kindText(const RegisterDifference& difference) {
    switch (difference.kind) {
    case RegisterDifference::OnlyLeft:
        return QObject::tr("only in the table");
    case RegisterDifference::OnlyRight:
        return QObject::tr("only on the VRG-500");
    default:
        return QObject::tr("%n field(s) differ", nullptr,
                           static_cast<int>(difference.fields.size()));
    }
}

QTreeWidgetItem* itemFor(const RegisterDifference& difference) {
    auto* item = new QTreeWidgetItem({registerLabelText(difference.number), kindText(difference)});
    for (const auto& field : difference.fields) {
        // Device text may hold any byte: shown one character per byte.
        item->addChild(new QTreeWidgetItem({QString(), QString::fromLatin1(field.field),
                                            QString::fromLatin1(field.left),
                                            QString::fromLatin1(field.right)}));
    }
    return item;
}

} // namespace

QString ComparisonDialog::summaryText(const RegisterComparison& comparison, int32_t first,
                                      int32_t last) {
    size_t differ = 0;
    size_t onlyTable = 0;
    size_t onlyDevice = 0;
    for (const RegisterDifference& difference : comparison.differences) {
        (difference.kind == RegisterDifference::Differs    ? differ
         : difference.kind == RegisterDifference::OnlyLeft ? onlyTable
                                                           : onlyDevice)++;
    }
    QStringList parts;
    if (differ > 0) {
        parts << tr("%1 differ").arg(differ);
    }
    if (onlyTable > 0) {
        parts << tr("%1 only in the table").arg(onlyTable);
    }
    if (onlyDevice > 0) {
        parts << tr("%1 only on the VRG-500").arg(onlyDevice);
    }
    parts << tr("%1 the same").arg(comparison.identical);
    return tr("Registers %1 to %2: %3.")
        .arg(registerLabelText(first), registerLabelText(last), parts.join(", "));
}

ComparisonDialog::ComparisonDialog(QWidget* parent, const RegisterComparison& comparison,
                                   int32_t first, int32_t last)
    : QDialog(parent) {
    setObjectName("comparisonDialog");
    setWindowTitle(tr("Compare with Device"));
    setWindowModality(Qt::WindowModal);

    _summary = new QLabel(summaryText(comparison, first, last));
    _summary->setWordWrap(true);
    _differences = new QTreeWidget;
    _differences->setAccessibleName(tr("Differences"));
    _differences->setHeaderLabels({tr("Register"), tr("Field"), tr("Table"), tr("VRG-500")});
    _differences->setRootIsDecorated(true);
    _differences->setUniformRowHeights(true);
    bool uploadable = false;
    bool takeable = false;
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(comparison.differences.size()));
    for (const RegisterDifference& difference : comparison.differences) {
        items.append(itemFor(difference));
        uploadable |= difference.kind != RegisterDifference::OnlyRight;
        takeable |= difference.kind != RegisterDifference::OnlyLeft;
    }
    // All at once: the view lays itself out once, not once per register.
    _differences->addTopLevelItems(items);
    _differences->expandAll();
    _differences->header()->resizeSections(QHeaderView::ResizeToContents);
    _differences->setHidden(comparison.differences.empty());

    auto* buttons = new QDialogButtonBox;
    _upload = buttons->addButton(tr("&Upload Changes"), QDialogButtonBox::AcceptRole);
    _take = buttons->addButton(tr("&Take Device Values"), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    _upload->setEnabled(uploadable);
    _take->setEnabled(takeable);
    // Enter closes: sending or taking values is never a keystroke's accident.
    _upload->setAutoDefault(false);
    _take->setAutoDefault(false);
    close->setDefault(true);
    connect(_upload, &QPushButton::clicked, this, [this] { done(UploadChanges); });
    connect(_take, &QPushButton::clicked, this, [this] { done(TakeDeviceValues); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(_summary);
    layout->addWidget(_differences, 1);
    layout->addWidget(buttons);
    // Room for 78 characters by 20 lines of the dialog's font, or what its contents need.
    const QFontMetrics metrics(font());
    resize(
        QSize(metrics.averageCharWidth() * 78, metrics.lineSpacing() * 20).expandedTo(sizeHint()));
}

} // namespace tavrel::app
