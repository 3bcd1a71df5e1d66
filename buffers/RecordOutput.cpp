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
    if (used_ > 0 && !failed_ && out_.write(slice_.get(), used_) != used_)
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
    for (qint64 i = 0; i < count; ++i)
        if (bytes[i] != 0xFF)
            return false;
    return true;
}

bool writeReplacing(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    return writeFileSafely(path, write) == FileWrite::Written;
}
