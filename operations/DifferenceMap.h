#pragma once
// Where a compare found differences, block by block over the whole compared
// range: the listed ranges stop after a few, this map misses none. Coarse
// enough to stay small for any chip, fine enough to tell one spot from a
// region from everywhere.

#include <QtGlobal>

#include <vector>

class DifferenceMap {
public:
    static constexpr int kMaxBlocks = 1024;
    static constexpr qint64 kMinBlock = 16;

    // A new map over `bytes` compared bytes.
    void start(qint64 bytes);
    // The differing addresses first..last, inclusive, in rising order.
    void add(qint64 first, qint64 last);

    qint64 bytes() const { return bytes_; }
    qint64 blockSize() const { return block_; }
    int blockCount() const { return int(count_.size()); }
    qint64 blockStart(int block) const { return qint64(block) * block_; }
    // Bytes of the block inside the compared range.
    qint64 blockLength(int block) const;
    qint64 differingIn(int block) const { return count_[std::size_t(block)]; }
    // The first differing address in the block, -1 when it has none.
    qint64 firstIn(int block) const { return first_[std::size_t(block)]; }
    int differingBlocks() const;

private:
    qint64 bytes_ = 0;
    qint64 block_ = kMinBlock;
    std::vector<qint64> count_;
    std::vector<qint64> first_;
};

// One cell of a strip whose `cells` cells stand for `total` bytes (the
// chip), the compared ones from address 0.
struct StripCell {
    qint64 start = 0;      // first address the cell stands for
    qint64 end = 0;        // one past its last
    bool compared = false; // some of it was compared
    double density = 0;    // differing share of the map's blocks under it, 0..1
    qint64 first = -1;     // first differing address in those blocks, -1 when none

    bool differs() const { return first >= 0; }
    // Where choosing the cell leads: its first difference, else its start.
    qint64 target() const { return differs() ? first : start; }
};

std::vector<StripCell> stripCells(const DifferenceMap& map, qint64 total, int cells);
