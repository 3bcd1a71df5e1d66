#include "app/WindowPlacement.h"

#include <algorithm>

QRect fitIntoArea(const QRect& placement, const QMargins& frame, const QRect& area, const QSize& minimum)
{
    if (area.isEmpty())
        return placement;
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    const int width = std::max(std::min(placement.width(), area.width() - frameWidth), minimum.width());
    const int height = std::max(std::min(placement.height(), area.height() - frameHeight), minimum.height());
    const int left = std::max(std::min(placement.left(), area.left() + area.width() - (width + frameWidth)), area.left());
    const int top = std::max(std::min(placement.top(), area.top() + area.height() - (height + frameHeight)), area.top());
    return QRect(left, top, width, height);
}

QRect centredFitted(const QSize& size, const QMargins& frame, const QRect& screen, const QRect& area,
                    const QSize& minimum)
{
    const QRect centred(screen.x() + (screen.width() - size.width()) / 2,
                        screen.y() + (screen.height() - size.height()) / 2, size.width(), size.height());
    return fitIntoArea(centred, frame, area, minimum);
}
