#include "hexview/HexClipboard.h"

#include "buffers/ByteSearch.h"
#include "buffers/HexText.h"
#include "hexview/HexView.h"

#include <QApplication>
#include <QClipboard>

#include <algorithm>
#include <vector>

namespace {

// Hex text of a larger selection would run to hundreds of megabytes.
constexpr qint64 kMaxCopyBytes = qint64(1) << 20;

} // namespace

void HexClipboard::copy() const
{
    const qint64 count = view_.byteCount();
    if (count == 0)
        return;
    const qint64 first = view_.selectionStart();
    const qint64 n = view_.selectionEnd() - first + 1;
    if (n > kMaxCopyBytes) {
        QApplication::beep();
        return;
    }
    std::vector<uint8_t> room(static_cast<std::size_t>(n));
    QApplication::clipboard()->setText(hexText(view_.document().read(first, n, room.data()), n));
}

bool HexClipboard::paste(const QString& text)
{
    const qint64 count = view_.byteCount();
    if (view_.isReadOnly() || count == 0 || text.isEmpty()) {
        QApplication::beep();
        return false;
    }
    const HexTexts& texts = view_.texts();
    const bool hex = view_.cursorState().area == hexrow::Area::Hex;
    const std::optional<QByteArray> bytes = searchPattern(text, hex ? SearchKind::HexBytes : SearchKind::Text);
    if (!bytes) {
        view_.refuse(texts.pasteNotHex);
        return false;
    }
    // Overwriting never grows the view: a paste that would run past the end
    // is refused whole rather than cut.
    const qint64 from = view_.selectionStart();
    const qint64 room = count - from;
    if (bytes->size() > room) {
        view_.refuse(texts.pasteTooLong.arg(bytes->size()).arg(room));
        return false;
    }
    view_.editBytes(from, *bytes);
    view_.placeCursor(std::min(from + bytes->size(), count - 1), 0, false);
    return true;
}
