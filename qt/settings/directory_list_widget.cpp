#include "qt/settings/directory_list_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include "qt/app/qt_platform.h"

namespace latchsweep::qt {
namespace {

constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 12;

// Shifts each entry right by its depth, so that the list reads as the tree around the path.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(shifted.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indent(index);
        return size;
    }

private:
    static int indent(const QModelIndex& index) { return index.data(kDepthRole).toInt() * kIndentPixels; }
};

} // namespace

DirectoryListWidget::DirectoryListWidget(QWidget* parent)
    : QListWidget(parent)
{
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

void DirectoryListWidget::setEntries(const std::vector<DirectoryEntry>& entries, std::size_t current)
{
    const QIcon openFolder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedFolder = style()->standardIcon(QStyle::SP_DirClosedIcon);
    clear();
    for (const DirectoryEntry& entry : entries) {
        auto* item = new QListWidgetItem(entry.open ? openFolder : closedFolder, toQString(entry.name), this);
        item->setData(kPathRole, toQString(entry.path));
        item->setData(kDepthRole, entry.depth);
        item->setToolTip(toQString(entry.path));
    }
    if (current < entries.size()) {
        setCurrentRow(static_cast<int>(current));
        scrollToItem(currentItem());
    }
}

void DirectoryListWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        open(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryListWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Handled here rather than through `activated`, which some styles emit on a single click.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid()) {
        QListWidget::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    open(index.row());
}

void DirectoryListWidget::open(int row)
{
    // The callback lists the opened directory, which replaces every item of this list.
    if (row >= 0 && onOpen)
        onOpen(static_cast<std::size_t>(row));
}

} // namespace latchsweep::qt
