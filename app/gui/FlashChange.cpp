#include "app/gui/FlashChange.h"

#include "buffers/Buffers.h"

#include <algorithm>

FlashChange::FlashChange(Buffers& buffers, qint64 from, qint64 count, std::function<void(bool)> settle)
    : buffers_(buffers), from_(from), length_(buffers.flashLength()), settle_(std::move(settle))
{
    const ErasedArea& area = buffers.flashArea();
    const qint64 n = std::clamp<qint64>(count, 0, area.capacity() - std::clamp<qint64>(from, 0, area.capacity()));
    bytes_.resize(qsizetype(n));
    area.copyOut(from_, n, reinterpret_cast<uint8_t*>(bytes_.data()));
}

void FlashChange::swap()
{
    if (settle_)
        settle_(false);
    ErasedArea& area = buffers_.flashArea();
    const qint64 n = bytes_.size();
    QByteArray now(qsizetype(n), Qt::Uninitialized);
    area.copyOut(from_, n, reinterpret_cast<uint8_t*>(now.data()));
    area.write(from_, reinterpret_cast<const uint8_t*>(bytes_.constData()), n);
    bytes_.swap(now);
    const int32_t length = buffers_.flashLength();
    buffers_.setFlashLength(length_);
    length_ = length;
    if (settle_)
        settle_(true);
}
