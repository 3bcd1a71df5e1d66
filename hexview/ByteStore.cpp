#include "hexview/ByteStore.h"

#include <algorithm>
#include <new>

bool ByteStore::reserve(qint64 count)
{
    size_ = 0;
    if (count > area_.capacity()) {
        area_ = ErasedArea(0);
        try {
            area_ = ErasedArea(count);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    area_.eraseFrom(0);
    size_ = count;
    return true;
}

bool ByteStore::assign(const uint8_t* data, qint64 count)
{
    if (!reserve(count))
        return false;
    area_.write(0, data, count);
    return true;
}

bool ByteStore::assign(const ErasedArea& source, qint64 count)
{
    if (!reserve(count))
        return false;
    const qint64 held = std::min(source.stored(), count);
    area_.write(0, source.bytes(0, held), held);
    return true;
}
