#include "buffers/RecordLines.h"

#include "app/UserInterface.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {
constexpr qint64 kSlice = 1 << 20;
}

namespace {
// Small files need no more than their own size of buffer.
qint64 sliceFor(const QIODevice& in)
{
    if (in.isSequential())
        return kSlice;
    return std::clamp<qint64>(in.size() - in.pos(), 0, kSlice);
}
} // namespace

RecordLines::RecordLines(QIODevice& in, int lineBuffer)
    : in_(in), limit_(lineBuffer), capacity_(sliceFor(in) + lineBuffer + 1), buffer_(new char[capacity_])
{
}

RecordLines::~RecordLines() = default;

void RecordLines::refill()
{
    // Keeps the unread tail and tops the buffer up; one byte past the line
    // buffer tells a full-length last line from one that is too long.
    const qint64 left = end_ - pos_;
    if (left > limit_ || eof_)
        return;
    std::memmove(buffer_.get(), buffer_.get() + pos_, size_t(left));
    pos_ = 0;
    end_ = left;
    while (end_ < capacity_) {
        const qint64 got = in_.read(buffer_.get() + end_, capacity_ - end_);
        if (got <= 0) {
            eof_ = true;
            break;
        }
        end_ += got;
    }
}

RecordLines::Status RecordLines::next(std::string_view& line)
{
    refill();
    const qint64 left = end_ - pos_;
    if (left == 0)
        return Status::End;
    const char* start = buffer_.get() + pos_;
    const qint64 window = std::min(left, limit_);
    if (const void* lf = std::memchr(start, '\n', size_t(window))) {
        const qint64 length = static_cast<const char*>(lf) - start;
        line = std::string_view(start, size_t(length));
        pos_ += length + 1;
        return Status::Line;
    }
    if (left > limit_)
        return Status::TooLong;
    line = std::string_view(start, size_t(left));
    pos_ = end_;
    return Status::Line;
}

int32_t readRecordFile(const QString& path, UserInterface& ui, const std::function<int32_t(QIODevice&)>& read)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui.showError(ui.message(Msg::CantOpenFile));
        return 0;
    }
    return read(file);
}

int32_t recordFailure(UserInterface& ui, const char* text)
{
    ui.showError(QString::fromLatin1(text));
    return 0;
}
