#pragma once
// Which bytes of the view the user has edited: one bit a byte, so 64 MiB of
// bytes cost 8 MiB of marks, taken at the first edit rather than at a load.

#include <QtGlobal>
#include <cstdint>
#include <vector>

class EditMarks {
public:
    // Sizes the marks for `count` bytes, all clear.
    void reset(qint64 count);
    void mark(qint64 index);
    void unmark(qint64 from, qint64 count);
    bool isMarked(qint64 index) const;
    // The marks of the 16 bytes from 16 * row, byte 0 in bit 0.
    uint16_t rowBits(qint64 row) const;
    bool any() const { return any_; }
    void clear();

private:
    std::vector<uint64_t> words_;
    qint64 count_ = 0;
    bool any_ = false;
};
