#pragma once
// Where a dialog that points into a part of the main window stands: beside
// that part, not over it, so that what it points at stays in sight. A
// placement is as in WindowPlacement.h: the frame's top left corner and the
// size inside the frame.

#include <QMargins>
#include <QRect>

// A dialog of `size` beside `anchor` (screen coordinates, the part to keep in
// sight), its top level with the anchor's: on the right when it fits there,
// else on the left, else on the side with more room, narrowed to it down to
// `minimum`. Where even that does not fit it stands at the area's edge on
// that side, covering as little of the anchor as it can. Always inside `area`.
QRect placeBeside(const QRect& anchor, const QSize& size, const QMargins& frame, const QRect& area,
                  const QSize& minimum = {});
