#include "app/DialogPlacement.h"

#include "app/WindowPlacement.h"

#include <algorithm>

QRect placeBeside(const QRect& anchor, const QSize& size, const QMargins& frame, const QRect& area,
                  const QSize& minimum)
{
    const int frameWidth = frame.left() + frame.right();
    const int outer = size.width() + frameWidth;
    const int areaEnd = area.left() + area.width();
    const int roomRight = areaEnd - (anchor.left() + anchor.width());
    const int roomLeft = anchor.left() - area.left();
    int width = size.width();
    int left = 0;
    if (roomRight >= outer) {
        left = anchor.left() + anchor.width();
    } else if (roomLeft >= outer) {
        left = anchor.left() - outer;
    } else if (roomRight >= roomLeft) {
        width = std::max(roomRight - frameWidth, minimum.width());
        left = areaEnd - (width + frameWidth);
    } else {
        width = std::max(roomLeft - frameWidth, minimum.width());
        left = area.left();
    }
    return fitIntoArea(QRect(left, anchor.top(), width, size.height()), frame, area, minimum);
}
