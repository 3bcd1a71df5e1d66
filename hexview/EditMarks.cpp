#include "hexview/EditMarks.h"

#include <algorithm>

void EditMarks::reset(qint64 count)
{
    count_ = std::max<qint64>(count, 0);
    clear();
}

void EditMarks::mark(qint64 index)
{
    if (index < 0 || index >= count_)
        return;
    if (words_.empty())
        words_.assign(static_cast<size_t>((count_ + 63) / 64), 0);
    words_[static_cast<size_t>(index / 64)] |= uint64_t(1) << (index % 64);
    any_ = true;
}

void EditMarks::unmark(qint64 from, qint64 count)
{
    if (!any_)
        return;
    const qint64 end = std::min(from + count, count_);
    for (qint64 i = std::max<qint64>(from, 0); i < end; ++i)
        words_[static_cast<size_t>(i / 64)] &= ~(uint64_t(1) << (i % 64));
}

bool EditMarks::isMarked(qint64 index) const
{
    if (!any_ || index < 0 || index >= count_)
        return false;
    return (words_[static_cast<size_t>(index / 64)] >> (index % 64)) & 1;
}

uint16_t EditMarks::rowBits(qint64 row) const
{
    // 16 divides 64, so a row's marks never straddle two words.
    const qint64 first = row * 16;
    if (!any_ || row < 0 || first >= count_)
        return 0;
    return static_cast<uint16_t>(words_[static_cast<size_t>(first / 64)] >> (first % 64));
}

void EditMarks::clear()
{
    words_ = {};
    any_ = false;
}
