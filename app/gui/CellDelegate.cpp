#include "app/gui/CellDelegate.h"

#include <QPainter>

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (draw_) {
        painter->save();
        draw_(*painter, index.column(), index.row(), option.rect);
        painter->restore();
    }
}

QSize CellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (rowHeight_ > 0)
        size.setHeight(rowHeight_);
    return size;
}
