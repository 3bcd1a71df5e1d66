#include "buffers/ErasedArea.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include <sys/mman.h>

namespace {

// Large areas sit on 2 MiB boundaries and ask for huge pages: on a virtual
// machine a 4 KiB page fault costs as much as copying a dozen pages, and a
// buffer is stored a huge page at a time.
constexpr qint64 kHugePage = qint64(2) << 20;

qint64 roundUp(qint64 n, qint64 unit) { return (n + unit - 1) / unit * unit; }

} // namespace

ErasedArea::ErasedArea(qint64 capacity) : capacity_(std::max<qint64>(capacity, 0))
{
    if (capacity_ == 0)
        return;
    const bool large = capacity_ >= kHugePage;
    mappingSize_ = large ? roundUp(capacity_, kHugePage) + kHugePage : capacity_;
    void* p = mmap(nullptr, size_t(mappingSize_), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                   -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    mapping_ = p;
    const auto address = reinterpret_cast<uintptr_t>(p);
    base_ = reinterpret_cast<uint8_t*>(large ? (address + kHugePage - 1) & ~uintptr_t(kHugePage - 1) : address);
#ifdef MADV_HUGEPAGE
    // Only advice: without huge pages the area works the same, slower to fill.
    if (large)
        madvise(base_, size_t(roundUp(capacity_, kHugePage)), MADV_HUGEPAGE);
#endif
}

ErasedArea::ErasedArea(Borrowed, uint8_t* memory, qint64 capacity)
    : base_(memory), capacity_(std::max<qint64>(capacity, 0)), stored_(capacity_)
{
}

ErasedArea ErasedArea::over(uint8_t* memory, qint64 capacity) { return ErasedArea(Borrowed{}, memory, capacity); }

ErasedArea::~ErasedArea() { release(); }

void ErasedArea::release()
{
    if (mapping_)
        munmap(mapping_, size_t(mappingSize_));
    mapping_ = nullptr;
}

ErasedArea::ErasedArea(ErasedArea&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)), capacity_(std::exchange(other.capacity_, 0)),
      stored_(std::exchange(other.stored_, 0)), mapping_(std::exchange(other.mapping_, nullptr)),
      mappingSize_(std::exchange(other.mappingSize_, 0))
{
}

ErasedArea& ErasedArea::operator=(ErasedArea&& other) noexcept
{
    if (this != &other) {
        release();
        base_ = std::exchange(other.base_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        stored_ = std::exchange(other.stored_, 0);
        mapping_ = std::exchange(other.mapping_, nullptr);
        mappingSize_ = std::exchange(other.mappingSize_, 0);
    }
    return *this;
}

void ErasedArea::store(qint64 end) const
{
    Q_ASSERT(end <= capacity_);
    std::memset(base_ + stored_, 0xFF, size_t(end - stored_));
    stored_ = end;
}

void ErasedArea::copyOut(qint64 from, qint64 count, uint8_t* destination) const
{
    const qint64 held = std::clamp<qint64>(stored_ - from, 0, count);
    if (held > 0)
        std::memcpy(destination, base_ + from, size_t(held));
    if (count > held)
        std::memset(destination + held, 0xFF, size_t(count - held));
}

const uint8_t* ErasedArea::peek(qint64 from, qint64 count, uint8_t* room) const
{
    if (from + count <= stored_)
        return base_ + from;
    copyOut(from, count, room);
    return room;
}

void ErasedArea::write(qint64 at, const uint8_t* source, qint64 count)
{
    if (count <= 0)
        return;
    if (at > stored_)
        store(at);
    std::memcpy(base_ + at, source, size_t(count));
    stored_ = std::max(stored_, at + count);
}

void ErasedArea::eraseFrom(qint64 from)
{
    if (!mapping_) {
        // The caller's memory has no mark to lower.
        if (from < capacity_)
            std::memset(base_ + from, 0xFF, size_t(capacity_ - from));
        return;
    }
    stored_ = std::min(stored_, std::max<qint64>(from, 0));
}

void ErasedArea::erase()
{
    if (!mapping_) {
        eraseFrom(0);
        return;
    }
    // Whole huge pages go back; the rest of the mapping was never touched.
    if (stored_ > 0) {
        const qint64 reach = static_cast<uint8_t*>(mapping_) + mappingSize_ - base_;
        madvise(base_, size_t(std::min(roundUp(stored_, kHugePage), reach)), MADV_DONTNEED);
    }
    stored_ = 0;
}
