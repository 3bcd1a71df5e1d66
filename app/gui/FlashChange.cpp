#include "app/gui/FlashChange.h"

#include "buffers/Buffers.h"
#include "hexview/HexView.h"

#include <algorithm>

namespace {

QByteArray areaBytes(const ErasedArea& area, qint64 from, qint64 count)
{
    QByteArray bytes(qsizetype(count), Qt::Uninitialized);
    area.copyOut(from, count, reinterpret_cast<uint8_t*>(bytes.data()));
    return bytes;
}

} // namespace

FlashChange::FlashChange(Buffers& buffers, HexView& view, qint64 from, qint64 count, std::function<void()> shown)
    : buffers_(buffers), view_(view), from_(from), length_(buffers.flashLength()), showSwap_(std::move(shown))
{
    const qint64 capacity = buffers.flashArea().capacity();
    const qint64 n = std::clamp<qint64>(count, 0, capacity - std::clamp<qint64>(from, 0, capacity));
    buffer_ = areaBytes(buffers.flashArea(), from_, n);
    shown_ = view.document().bytesAt(from_, n);
}

void FlashChange::swap()
{
    ErasedArea& area = buffers_.flashArea();
    QByteArray buffer = areaBytes(area, from_, buffer_.size());
    area.write(from_, reinterpret_cast<const uint8_t*>(buffer_.constData()), buffer_.size());
    buffer_.swap(buffer);
    const int32_t length = buffers_.flashLength();
    buffers_.setFlashLength(length_);
    length_ = length;
    // The view shows what it showed then, its own edits in that range included.
    QByteArray shown = view_.document().bytesAt(from_, shown_.size());
    view_.reloadBytes(from_, shown_);
    shown_.swap(shown);
    if (showSwap_)
        showSwap_();
}
