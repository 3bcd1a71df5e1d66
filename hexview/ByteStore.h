#pragma once
// The view's own copy of its bytes, kept as the buffers keep theirs: bytes
// above what was stored read 0xFF without being held, so a large chip over a
// small file costs no memory. Storage is kept between loads, so a reload is
// one copy of what the source stored.

#include "buffers/ErasedArea.h"

#include <QtGlobal>
#include <cstdint>

class ByteStore {
public:
    // Replaces the content with `count` bytes from `data` (count >= 0), or
    // with the first `count` bytes of `source`; false, and empty, when the
    // memory for them cannot be had.
    bool assign(const uint8_t* data, qint64 count);
    bool assign(const ErasedArea& source, qint64 count);
    qint64 size() const { return size_; }

    uint8_t at(qint64 address) const { return area_.at(address); }
    void set(qint64 address, uint8_t value) { *area_.span(address, 1) = value; }
    // `count` bytes from `address` to read, through `room` where they were
    // not stored.
    const uint8_t* read(qint64 address, qint64 count, uint8_t* room) const { return area_.peek(address, count, room); }
    void copyOut(uint8_t* destination, qint64 count) const { area_.copyOut(0, count, destination); }
    // All `size()` bytes as one piece of memory: stores what was not stored yet.
    const uint8_t* contiguous() const { return area_.bytes(0, size_); }

private:
    bool reserve(qint64 count);

    ErasedArea area_{0};
    qint64 size_ = 0;
};
