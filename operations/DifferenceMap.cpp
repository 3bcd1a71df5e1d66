#include "operations/DifferenceMap.h"

#include <algorithm>

void DifferenceMap::start(qint64 bytes)
{
    bytes_ = std::max<qint64>(bytes, 0);
    block_ = kMinBlock;
    while ((bytes_ + block_ - 1) / block_ > kMaxBlocks)
        block_ *= 2;
    const std::size_t blocks = std::size_t((bytes_ + block_ - 1) / block_);
    count_.assign(blocks, 0);
    first_.assign(blocks, -1);
}

void DifferenceMap::add(qint64 first, qint64 last)
{
    first = std::max<qint64>(first, 0);
    last = std::min(last, bytes_ - 1);
    for (qint64 at = first; at <= last;) {
        const std::size_t b = std::size_t(at / block_);
        const qint64 blockLast = std::min(last, qint64(b + 1) * block_ - 1);
        count_[b] += blockLast - at + 1;
        if (first_[b] < 0)
            first_[b] = at;
        at = blockLast + 1;
    }
}

qint64 DifferenceMap::blockLength(int block) const
{
    return std::min(block_, bytes_ - blockStart(block));
}

int DifferenceMap::differingBlocks() const
{
    return int(std::count_if(count_.begin(), count_.end(), [](qint64 n) { return n > 0; }));
}

std::vector<StripCell> stripCells(const DifferenceMap& map, qint64 total, int cells)
{
    std::vector<StripCell> out;
    if (cells <= 0)
        return out;
    total = std::max(total, map.bytes());
    out.resize(std::size_t(cells));
    for (int i = 0; i < cells; ++i) {
        StripCell& c = out[std::size_t(i)];
        c.start = total * i / cells;
        c.end = total * (i + 1) / cells;
        const qint64 comparedEnd = std::min(c.end, map.bytes());
        c.compared = c.start < comparedEnd;
        if (!c.compared)
            continue;
        // Every block the cell touches: a cell narrower than a block shows the block.
        qint64 differing = 0;
        qint64 length = 0;
        const int lastBlock = int((comparedEnd - 1) / map.blockSize());
        for (int b = int(c.start / map.blockSize()); b <= lastBlock; ++b) {
            differing += map.differingIn(b);
            length += map.blockLength(b);
            if (c.first < 0)
                c.first = map.firstIn(b);
        }
        c.density = length > 0 ? double(differing) / double(length) : 0.0;
    }
    return out;
}
