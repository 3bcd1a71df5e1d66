#include "buffers/RawImage.h"

#include "app/FileWrite.h"
#include "app/UserInterface.h"
#include "buffers/ErasedArea.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kChunk = 1 << 20;
constexpr int kHeaderFields = 28;

uint32_t littleEndian32(const QByteArray& bytes, int at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | uint8_t(bytes[at + i]);
    return v;
}

int32_t tooBig(ErasedArea& destination, UserInterface& ui)
{
    destination.eraseFrom(0);
    ui.showError(ui.message(Msg::FileTooBig));
    return 0;
}

// A stream tells no size: it is read on until the capacity is full, and
// one byte more means too big.
int32_t readStream(QIODevice& in, ErasedArea& destination, UserInterface& ui)
{
    const qint64 capacity = destination.capacity();
    const qint64 storedBefore = destination.stored();
    qint64 total = 0;
    for (;;) {
        const qint64 room = std::min(kChunk, capacity - total);
        if (room == 0) {
            char extra = 0;
            if (in.read(&extra, 1) == 1)
                return tooBig(destination, ui);
            break;
        }
        const qint64 got = in.read(reinterpret_cast<char*>(destination.span(total, room)), room);
        if (got <= 0)
            break;
        total += got;
    }
    // The last chunk's room that the stream did not fill reads 0xFF again.
    if (destination.stored() > std::max(total, storedBefore))
        destination.eraseFrom(std::max(total, storedBefore));
    return int32_t(total);
}

} // namespace

bool hasCapsuleHeader(const QByteArray& head, qint64 fileSize)
{
    if (head.size() < kHeaderFields)
        return false;
    const qint64 imageSize = littleEndian32(head, 24);
    return littleEndian32(head, 16) == kCapsuleHeader && imageSize >= kCapsuleHeader && imageSize <= fileSize;
}

int32_t ReadRawImage(QIODevice& in, ErasedArea& destination, UserInterface& ui)
{
    if (in.isSequential())
        return readStream(in, destination, ui);
    const qint64 size = in.size() - in.pos();
    if (size > destination.capacity()) {
        ui.showError(ui.message(Msg::FileTooBig));
        return 0;
    }
    char* const into = size > 0 ? reinterpret_cast<char*>(destination.span(0, size)) : nullptr;
    qint64 total = 0;
    while (total < size) {
        const qint64 got = in.read(into + total, size - total);
        if (got <= 0)
            break;
        total += got;
    }
    return int32_t(total);
}

int32_t ReadCapsuleImage(QIODevice& in, ErasedArea& destination, UserInterface& ui)
{
    if (in.isSequential()) {
        const int32_t n = ReadRawImage(in, destination, ui);
        QByteArray head(kHeaderFields, '\0');
        destination.copyOut(0, std::min<qint64>(n, kHeaderFields), reinterpret_cast<uint8_t*>(head.data()));
        if (n < kHeaderFields || !hasCapsuleHeader(head, n))
            return n;
        const qint64 image = n - kCapsuleHeader;
        uint8_t* const bytes = destination.span(0, n);
        std::memmove(bytes, bytes + kCapsuleHeader, size_t(image));
        std::memset(bytes + image, 0xFF, size_t(kCapsuleHeader));
        return int32_t(image);
    }
    const qint64 size = in.size() - in.pos();
    if (size > destination.capacity()) {
        ui.showError(ui.message(Msg::FileTooBig));
        return 0;
    }
    if (hasCapsuleHeader(in.peek(kHeaderFields), size) && !in.seek(in.pos() + kCapsuleHeader))
        return 0;
    return ReadRawImage(in, destination, ui);
}

bool WriteRawImage(QIODevice& out, const uint8_t* source, qint64 count)
{
    return writeAll(out, reinterpret_cast<const char*>(source), count);
}
