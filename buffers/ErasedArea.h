#pragma once
// A byte area that reads as 0xFF wherever nothing was stored.
//
// Its capacity is only reserved: the bytes below the high-water mark are
// memory, those from the mark on are 0xFF without being kept. Whoever takes
// a span raises the mark to the span's end, filling 0xFF on the way, so a
// 64 MiB buffer holding a 20-byte file costs one page, and readers that copy
// (copyOut) see 0xFF above the mark without raising it.

#include <QtGlobal>
#include <cstdint>

class ErasedArea {
public:
    // Reserves `capacity` bytes (nothing stored yet).
    explicit ErasedArea(qint64 capacity);
    // Plain memory the caller owns, all of it counted as stored: for the
    // readers' and loaders' byte-array forms.
    static ErasedArea over(uint8_t* memory, qint64 capacity);
    ~ErasedArea();
    ErasedArea(ErasedArea&& other) noexcept;
    ErasedArea& operator=(ErasedArea&& other) noexcept;
    ErasedArea(const ErasedArea&) = delete;
    ErasedArea& operator=(const ErasedArea&) = delete;

    qint64 capacity() const { return capacity_; }
    // Bytes from here on are 0xFF and not kept.
    qint64 stored() const { return stored_; }

    // The bytes [from, from + count), inside the capacity, as memory to
    // change or to read; what was not stored reads 0xFF.
    uint8_t* span(qint64 from, qint64 count)
    {
        if (count > 0 && from + count > stored_)
            store(from + count);
        return base_ + from;
    }
    // Reading a span stores it too; the bytes themselves do not change.
    const uint8_t* bytes(qint64 from, qint64 count) const
    {
        if (count > 0 && from + count > stored_)
            store(from + count);
        return base_ + from;
    }
    // Readers that store nothing: one byte; `count` bytes straight from
    // memory where they were stored, else copied into `room` (count bytes);
    // `count` bytes copied into plain memory. 0xFF above the mark.
    uint8_t at(qint64 address) const { return address < stored_ ? base_[address] : 0xFF; }
    const uint8_t* peek(qint64 from, qint64 count, uint8_t* room) const;
    void copyOut(qint64 from, qint64 count, uint8_t* destination) const;
    // Puts `count` bytes at `at`, storing no more than that.
    void write(qint64 at, const uint8_t* source, qint64 count);

    // Every byte reads 0xFF again; the memory goes back to the system.
    void erase();
    // Every byte from `from` on reads 0xFF again; the memory is kept for
    // the next use.
    void eraseFrom(qint64 from);

private:
    struct Borrowed {};
    ErasedArea(Borrowed, uint8_t* memory, qint64 capacity);
    void store(qint64 end) const;
    void release();

    uint8_t* base_ = nullptr;
    qint64 capacity_ = 0;
    mutable qint64 stored_ = 0;
    void* mapping_ = nullptr;  // null for memory the caller owns
    qint64 mappingSize_ = 0;
};
