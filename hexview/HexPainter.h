#pragma once
// Painting of the hex view: the column ruler and the rows in sight, each
// formatted straight from the document, with the selection, the cursor cell
// (filled in the column being typed into, outlined in the other) and the
// edited bytes in red.

#include "hexview/HexRow.h"

#include <QPalette>
#include <QRect>
#include <QtGlobal>

#include <algorithm>

class HexDocument;
class QPainter;

// Where things are on the viewport, in pixels.
struct HexGeometry {
    static constexpr qreal kMarginColumns = 0.5;

    qreal charWidth = 8;
    int lineHeight = 16;
    int ascent = 12;
    int rowsTop = 0;       // the first row's top: below the ruler when it shows
    int scrollX = 0;
    qint64 firstRow = 0;   // the row at the top
    int width = 0;

    qreal columnX(int column) const { return (kMarginColumns + column) * charWidth - scrollX; }
};

// The cursor and the selection.
struct HexCursor {
    qint64 cursor = 0;
    qint64 anchor = 0;  // other end of the selection; the cursor when there is none
    int nibble = 0;     // 0 high, 1 low; 0 in the ASCII column
    hexrow::Area area = hexrow::Area::Hex;

    qint64 first() const { return std::min(anchor, cursor); }
    qint64 last() const { return std::max(anchor, cursor); }
    // The character cell the cursor is on.
    int column() const
    {
        const int byte = int(cursor % hexrow::kBytesPerRow);
        return area == hexrow::Area::Hex ? hexrow::hexColumn(byte) + nibble : hexrow::asciiColumn(byte);
    }
};

class HexPainter {
public:
    // Paints what crosses `exposed`: only those rows are formatted.
    void paint(QPainter& painter, const QRect& exposed, const HexDocument& document, const HexCursor& cursor,
               const HexGeometry& geometry, const QPalette& palette, bool ruler);

    // Rows formatted since the view was made: shows that a repaint touches
    // only the rows in sight.
    qint64 formattedRows() const { return formattedRows_; }

private:
    void paintRuler(QPainter& painter, const HexGeometry& g, const QPalette& palette) const;
    void paintRow(QPainter& painter, qint64 row, qreal y, const HexDocument& document, const HexCursor& cursor,
                  const HexGeometry& g, const QPalette& palette);
    void paintRowBackground(QPainter& painter, qint64 row, int count, qreal y, const HexCursor& cursor,
                            const HexGeometry& g, const QPalette& palette) const;

    qint64 formattedRows_ = 0;
};
