#include "buffers/RecordOutput.h"

#include "app/FileWrite.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {
constexpr qint64 kSlice = 1 << 20;
}

RecordOutput::RecordOutput(QIODevice& out, qint64 expectedBytes)
    : out_(out), size_(std::clamp<qint64>(expectedBytes, kLineRoom, kSlice)), slice_(new char[size_])
{
}

RecordOutput::~RecordOutput() = default;

void RecordOutput::flush()
{
    if (used_ > 0 && !failed_ && !writeAll(out_, slice_.get(), used_))
        failed_ = true;
    used_ = 0;
}

char* RecordOutput::room()
{
    if (size_ - used_ < kLineRoom)
        flush();
    return slice_.get() + used_;
}

void RecordOutput::put(const char* text, int length)
{
    std::memcpy(room(), text, size_t(length));
    advance(length);
}

bool RecordOutput::finish()
{
    flush();
    return !failed_;
}

bool allErased(const uint8_t* bytes, qint64 count)
{
    // Eight bytes a test: a record is two or four words.
    uint64_t all = ~uint64_t(0);
    qint64 i = 0;
    for (; i + 8 <= count; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        all &= word;
    }
    for (; i < count; ++i)
        all &= bytes[i] | ~uint64_t(0xFF);
    return all == ~uint64_t(0);
}

bool writeReplacing(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    return writeFileSafely(path, write) == FileWrite::Written;
}
