#include "buffers/RecordLines.h"

#include "app/UserInterface.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kSlice = 1 << 20;
// Blanks that other tools leave after a record: a line of that many more
// characters is still looked at, and refused only when it is a longer record.
constexpr qint64 kTrailingRoom = 64;

// Small files need no more than their own size of buffer.
qint64 sliceFor(const QIODevice& in)
{
    if (in.isSequential())
        return kSlice;
    return std::clamp<qint64>(in.size() - in.pos(), 0, kSlice);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\r' || c == '\t' || c == '\v' || c == '\f';
}

} // namespace

RecordLines::RecordLines(QIODevice& in, int longest)
    : in_(in), longest_(longest), window_(longest + 1 + kTrailingRoom), capacity_(sliceFor(in) + window_ + 1),
      buffer_(new char[size_t(capacity_)])
{
}

RecordLines::~RecordLines() = default;

void RecordLines::refill()
{
    // Keeps the unread tail and tops the buffer up; one byte past the window
    // tells a full-length last line from one that is too long.
    const qint64 left = end_ - pos_;
    if (left > window_ || eof_)
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
    for (;;) {
        refill();
        if (!started_) {
            started_ = true;
            if (end_ - pos_ >= 3 && std::memcmp(buffer_.get() + pos_, "\xEF\xBB\xBF", 3) == 0)
                pos_ += 3;
        }
        const qint64 left = end_ - pos_;
        if (left == 0)
            return Status::End;
        ++number_;
        const char* start = buffer_.get() + pos_;
        qint64 length = 0;
        if (const void* lf = std::memchr(start, '\n', size_t(std::min(left, window_)))) {
            length = static_cast<const char*>(lf) - start;
            pos_ += length + 1;
        } else if (left > window_) {
            return Status::TooLong;
        } else {
            length = left;
            pos_ = end_;
        }
        while (length > 0 && isBlank(start[length - 1]))
            --length;
        if (length == 0)
            continue;
        if (length > longest_)
            return Status::TooLong;
        line = std::string_view(start, size_t(length));
        return Status::Line;
    }
}

int32_t RecordPlace::fail(const QString& text) const
{
    ui.showError(QStringLiteral("line %1: %2").arg(line).arg(text));
    return 0;
}

int32_t refuseLongLine(const RecordPlace& place, const RecordLines& lines)
{
    return place.fail(QStringLiteral("longer than %1 characters").arg(lines.longest()));
}

QString capacityText(qint64 capacity)
{
    if (capacity > 0 && capacity % (1 << 20) == 0)
        return QStringLiteral("%1 MiB").arg(capacity >> 20);
    if (capacity > 0 && capacity % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(capacity >> 10);
    return QStringLiteral("%1-byte").arg(capacity);
}

int32_t refuseBeyondCapacity(const RecordPlace& place, uint64_t firstBeyond, qint64 capacity)
{
    const QString address = QStringLiteral("%1").arg(firstBeyond, 8, 16, QLatin1Char('0')).toUpper();
    return place.fail(QStringLiteral("data at 0x%1 beyond the %2 buffer").arg(address, capacityText(capacity)));
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

int32_t recordFailure(UserInterface& ui, const QString& text)
{
    ui.showError(text);
    return 0;
}
