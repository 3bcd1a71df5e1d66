#include "hexview/ByteStore.h"

#include <cstring>

#include <sys/mman.h>

namespace {

constexpr qint64 kHugePage = qint64(2) << 20;

uint8_t* allocate(qint64 capacity)
{
    if (capacity < kHugePage)
        return static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
    void* p = std::aligned_alloc(static_cast<size_t>(kHugePage), static_cast<size_t>(capacity));
#ifdef MADV_HUGEPAGE
    // Only advice: without huge pages the store still works, just faults in slower.
    if (p)
        madvise(p, static_cast<size_t>(capacity), MADV_HUGEPAGE);
#endif
    return static_cast<uint8_t*>(p);
}

}  // namespace

bool ByteStore::assign(const uint8_t* data, qint64 count)
{
    if (count > capacity_) {
        const qint64 capacity = count < kHugePage ? count : (count + kHugePage - 1) / kHugePage * kHugePage;
        bytes_.reset();
        capacity_ = size_ = 0;
        bytes_.reset(allocate(capacity));
        if (!bytes_)
            return false;
        capacity_ = capacity;
    }
    size_ = count;
    if (count > 0)
        std::memcpy(bytes_.get(), data, static_cast<size_t>(count));
    return true;
}
