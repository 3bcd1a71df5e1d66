#pragma once
// Item drawing for the list and grid controls: an optional fixed row height,
// and an optional callback that draws over a cell after its default drawing.

#include <QStyledItemDelegate>
#include <functional>

class CellDelegate : public QStyledItemDelegate {
public:
    using DrawOver = std::function<void(QPainter& painter, int column, int row, const QRect& rect)>;

    explicit CellDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    void setRowHeight(int pixels) { rowHeight_ = pixels; }
    void setDrawOver(DrawOver draw) { draw_ = std::move(draw); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int rowHeight_ = 0;
    DrawOver draw_;
};
