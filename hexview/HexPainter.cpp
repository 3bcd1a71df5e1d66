#include "hexview/HexPainter.h"

#include "hexview/HexDocument.h"

#include <QPainter>

#include <algorithm>

using hexrow::Area;
using hexrow::asciiColumn;
using hexrow::hexColumn;
using hexrow::kBytesPerRow;
using hexrow::kColumns;
using hexrow::kHexStart;
using hexrow::kOffsetDigits;

namespace {

QColor offsetColour() { return QColor(0, 0, 160); }
QColor editedColour() { return QColor(Qt::red); }

} // namespace

void HexPainter::paint(QPainter& painter, const QRect& exposed, const HexDocument& document, const HexCursor& cursor,
                       const HexGeometry& g, const QPalette& palette, bool ruler)
{
    painter.fillRect(exposed, palette.color(QPalette::Base));
    const qint64 rows = (document.count() + kBytesPerRow - 1) / kBytesPerRow;
    if (exposed.bottom() >= g.rowsTop) {
        const qint64 from = g.firstRow + std::max(0, exposed.top() - g.rowsTop) / g.lineHeight;
        const qint64 to = std::min(rows, g.firstRow + (exposed.bottom() - g.rowsTop) / g.lineHeight + 1);
        for (qint64 row = from; row < to; ++row)
            paintRow(painter, row, g.rowsTop + qreal(row - g.firstRow) * g.lineHeight, document, cursor, g, palette);
    }
    if (ruler && exposed.top() < g.rowsTop)
        paintRuler(painter, g, palette);
}

void HexPainter::paintRuler(QPainter& painter, const HexGeometry& g, const QPalette& palette) const
{
    painter.fillRect(QRect(0, 0, g.width, g.rowsTop), palette.color(QPalette::Button));
    char text[kColumns];
    hexrow::formatRuler(text);
    painter.setPen(offsetColour());
    painter.drawText(QPointF(g.columnX(kHexStart), g.ascent), QString::fromLatin1(text + kHexStart, kColumns - kHexStart));
}

void HexPainter::paintRow(QPainter& painter, qint64 row, qreal y, const HexDocument& document, const HexCursor& cursor,
                          const HexGeometry& g, const QPalette& palette)
{
    const qint64 address = row * kBytesPerRow;
    const int count = static_cast<int>(std::min<qint64>(kBytesPerRow, document.count() - address));
    char text[kColumns];
    uint8_t room[kBytesPerRow];
    hexrow::formatRow(address, document.read(address, count, room), count, text);
    ++formattedRows_;

    paintRowBackground(painter, row, count, y, cursor, g, palette);
    const qreal baseline = y + g.ascent;
    painter.setPen(offsetColour());
    painter.drawText(QPointF(g.columnX(0), baseline), QString::fromLatin1(text, kOffsetDigits));

    const QColor plain = palette.color(QPalette::Text);
    const uint16_t edited = document.marks().rowBits(row);
    if (edited == 0) {
        painter.setPen(plain);
        painter.drawText(QPointF(g.columnX(kHexStart), baseline), QString::fromLatin1(text + kHexStart, kColumns - kHexStart));
    } else {
        for (int i = 0; i < count; ++i) {
            painter.setPen((edited >> i) & 1 ? editedColour() : plain);
            painter.drawText(QPointF(g.columnX(hexColumn(i)), baseline), QString::fromLatin1(text + hexColumn(i), 2));
            painter.drawText(QPointF(g.columnX(asciiColumn(i)), baseline), QString(QLatin1Char(text[asciiColumn(i)])));
        }
    }

    if (cursor.cursor / kBytesPerRow == row) {
        const int column = cursor.column();
        painter.setPen(palette.color(QPalette::HighlightedText));
        painter.drawText(QPointF(g.columnX(column), baseline), QString(QLatin1Char(text[column])));
    }
}

void HexPainter::paintRowBackground(QPainter& painter, qint64 row, int count, qreal y, const HexCursor& cursor,
                                    const HexGeometry& g, const QPalette& palette) const
{
    const qint64 address = row * kBytesPerRow;
    const qint64 selFirst = cursor.first();
    const qint64 selLast = cursor.last();
    if (selFirst != selLast && selFirst < address + count && selLast >= address) {
        QColor selected = palette.color(QPalette::Highlight);
        selected.setAlpha(70);
        const int from = static_cast<int>(std::max(selFirst, address) - address);
        const int to = static_cast<int>(std::min(selLast, address + count - 1) - address);
        painter.fillRect(QRectF(QPointF(g.columnX(hexColumn(from)), y), QPointF(g.columnX(hexColumn(to) + 2), y + g.lineHeight)),
                         selected);
        painter.fillRect(QRectF(QPointF(g.columnX(asciiColumn(from)), y), QPointF(g.columnX(asciiColumn(to) + 1), y + g.lineHeight)),
                         selected);
    }
    if (cursor.cursor / kBytesPerRow != row)
        return;
    // The cell being typed into is filled, its twin in the other column outlined.
    const int byte = static_cast<int>(cursor.cursor % kBytesPerRow);
    const bool hex = cursor.area == Area::Hex;
    const QRectF hexCell(g.columnX(hexColumn(byte) + (hex ? cursor.nibble : 0)), y, g.charWidth * (hex ? 1 : 2),
                         g.lineHeight);
    const QRectF asciiCell(g.columnX(asciiColumn(byte)), y, g.charWidth, g.lineHeight);
    const QColor highlight = palette.color(QPalette::Highlight);
    painter.fillRect(hex ? hexCell : asciiCell, highlight);
    painter.setPen(highlight);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect((hex ? asciiCell : hexCell).adjusted(0, 0, -1, -1));
}
