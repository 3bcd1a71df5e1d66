#include "hexview/HexKeys.h"

#include "hexview/HexAddress.h"
#include "hexview/HexView.h"

#include <QKeyEvent>

#include <algorithm>

using hexrow::Area;
using hexrow::kBytesPerRow;

namespace {

bool isGoTo(const QKeyEvent* event)
{
    return event->key() == Qt::Key_G && event->modifiers() == Qt::ControlModifier;
}

bool isRedo(const QKeyEvent* event)
{
    // Ctrl+Y as on most desktops, Ctrl+Shift+Z as on the rest.
    return event->matches(QKeySequence::Redo)
        || (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier)
        || (event->key() == Qt::Key_Z && event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier));
}

bool isTab(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
}

} // namespace

bool HexKeys::isCommand(const QKeyEvent* event)
{
    return event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Paste)
        || event->matches(QKeySequence::Undo) || isRedo(event) || isGoTo(event);
}

bool HexKeys::isColumnSwitch(const QKeyEvent* event)
{
    return isTab(event) && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

int HexKeys::leaveDirection(const QKeyEvent* event)
{
    if (!isTab(event) || (event->modifiers() & Qt::AltModifier) || !(event->modifiers() & Qt::ControlModifier))
        return 0;
    const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    return back ? -1 : 1;
}

bool HexKeys::press(const QKeyEvent* event)
{
    if (view_.byteCount() == 0)
        return false;
    if (command(event))
        return true;
    if (isColumnSwitch(event)) {
        view_.setArea(view_.cursorState().area == Area::Hex ? Area::Ascii : Area::Hex);
        return true;
    }
    if (navigate(event))
        return true;
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    return plain && type(event->text());
}

bool HexKeys::command(const QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy))
        view_.copySelection();
    else if (event->matches(QKeySequence::Paste))
        view_.paste();
    else if (event->matches(QKeySequence::Undo))
        view_.undo();
    else if (isRedo(event))
        view_.redo();
    else if (isGoTo(event))
        view_.askForAddress();
    else
        return false;
    return true;
}

bool HexKeys::navigate(const QKeyEvent* event)
{
    const HexCursor& c = view_.cursorState();
    const bool select = event->modifiers() & Qt::ShiftModifier;
    const bool wholeBuffer = event->modifiers() & Qt::ControlModifier;
    const bool hex = c.area == Area::Hex;
    const qint64 cursor = c.cursor;
    const qint64 rowStart = cursor - cursor % kBytesPerRow;
    const qint64 last = view_.byteCount() - 1;
    const int pageRows = view_.pageRows();
    const qint64 page = qint64(pageRows) * kBytesPerRow;

    switch (event->key()) {
    case Qt::Key_Left:
        if (hex && c.nibble == 1)
            view_.placeCursor(cursor, 0, select);
        else if (cursor > 0)
            view_.placeCursor(cursor - 1, 1, select);
        return true;
    case Qt::Key_Right:
        if (hex && c.nibble == 0)
            view_.placeCursor(cursor, 1, select);
        else if (cursor < last)
            view_.placeCursor(cursor + 1, 0, select);
        return true;
    case Qt::Key_Up:
        if (cursor >= kBytesPerRow)
            view_.placeCursor(cursor - kBytesPerRow, c.nibble, select);
        return true;
    case Qt::Key_Down:
        if (rowStart + kBytesPerRow <= last)
            view_.placeCursor(std::min(cursor + kBytesPerRow, last), c.nibble, select);
        return true;
    case Qt::Key_PageUp:
        // The page scrolls with the cursor, as in a text editor.
        view_.scrollRows(-pageRows);
        view_.placeCursor(cursor >= page ? cursor - page : cursor % kBytesPerRow, c.nibble, select);
        return true;
    case Qt::Key_PageDown:
        view_.scrollRows(pageRows);
        view_.placeCursor(std::min(cursor + page, last), c.nibble, select);
        return true;
    case Qt::Key_Home:
        view_.placeCursor(wholeBuffer ? 0 : rowStart, 0, select);
        return true;
    case Qt::Key_End:
        view_.placeCursor(wholeBuffer ? last : std::min(rowStart + kBytesPerRow - 1, last), 0, select);
        return true;
    default:
        return false;
    }
}

bool HexKeys::type(const QString& text)
{
    if (view_.isReadOnly() || text.size() != 1)
        return false;
    const HexCursor& c = view_.cursorState();
    const qint64 at = c.cursor;
    const qint64 count = view_.byteCount();
    if (c.area == Area::Hex) {
        const int digit = hexDigitValue(text[0]);
        if (digit < 0)
            return false;
        const uint8_t old = view_.document().at(at);
        const bool high = c.nibble == 0;
        const uint8_t value = high ? uint8_t((old & 0x0F) | (digit << 4)) : uint8_t((old & 0xF0) | digit);
        // The second digit of a byte joins the change the first one made.
        view_.editBytes(at, QByteArray(1, char(value)), high ? HexDocument::Digit::First : HexDocument::Digit::Second);
        if (high)
            view_.placeCursor(at, 1, false);
        else if (at + 1 < count)
            view_.placeCursor(at + 1, 0, false);
        else
            view_.placeCursor(at, 1, false);
        return true;
    }
    const char16_t ch = text[0].unicode();
    if (ch < 0x20 || ch >= 0x7F)
        return false;
    view_.editBytes(at, QByteArray(1, char(ch)));
    view_.placeCursor(std::min(at + 1, count - 1), 0, false);
    return true;
}
