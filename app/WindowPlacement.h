#pragma once
// Where the main window may stand: a stored placement from a larger screen
// (a laptop after a desktop monitor) would leave the title bar, the menus and
// the tool bar out of reach, and be stored there again at close.
//
// A placement is what the settings keep and the window is moved and sized
// by: the position of the frame's top left corner and the size inside the
// frame. The frame adds its margins around that size.

#include <QMargins>
#include <QRect>

// The placement shrunk and moved so that the window with its frame lies
// inside `area` (the screen's available area). A placement that fits comes
// back unchanged; no size goes below `minimum`, and a window that still
// cannot fit keeps its top left corner in the area, where the title bar and
// the menus are.
QRect fitIntoArea(const QRect& placement, const QMargins& frame, const QRect& area, const QSize& minimum = {});

// A window of `size` centred on `screen` ((screen size - window size) / 2,
// integer division), then fitted into `area`.
QRect centredFitted(const QSize& size, const QMargins& frame, const QRect& screen, const QRect& area,
                    const QSize& minimum = {});
