#include "buffers/IntelHex.h"

#include "app/UserInterface.h"
#include "buffers/ErasedArea.h"
#include "buffers/HexBlocks.h"
#include "buffers/RecordLines.h"
#include "buffers/RecordOutput.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// ':', the byte count, address, type, 255 data bytes and the checksum.
constexpr int kLongestLine = 1 + 2 * (1 + 2 + 1 + 255 + 1);
constexpr int kRecordBytes = 32;

// How a data record's bytes find their addresses: after a type-02 record
// the offset wraps within the 64 KiB segment, as the format defines;
// otherwise (type 04, or no base record) it counts on linearly.
struct Bases {
    uint64_t segment = 0;
    uint64_t linear = 0;
    bool segmented = false;

    uint64_t base() const { return linear + segment; }
    // The bytes of a record at `offset` with `count` bytes, as at most two
    // runs: [first, first + firstCount) and, when it wraps, [base, base + rest).
    uint32_t firstCount(uint32_t offset, uint32_t count) const
    {
        return segmented ? std::min<uint32_t>(count, 0x10000 - offset) : count;
    }
};

// Types 02 and 04: a 16-bit base with its checksum.
std::optional<uint32_t> baseRecord(std::string_view line, uint32_t count, uint32_t sum, const char* lengthError,
                                   const char* checksumError, const RecordPlace& place)
{
    if (count != 2) {
        place.fail(QLatin1String(lengthError));
        return std::nullopt;
    }
    const auto value = HexFieldValue(line, 9, 4, place);
    if (!value)
        return std::nullopt;
    const auto checksum = HexFieldValue(line, 13, 2, place);
    if (!checksum)
        return std::nullopt;
    sum += (*value >> 8) + (*value & 0xFF) + *checksum;
    if ((sum & 0xFF) != 0) {
        place.fail(QLatin1String(checksumError));
        return std::nullopt;
    }
    return *value;
}

// The end of a record's data with its checks against the capacity: the
// highest end so far rises to it; false when some byte lies beyond.
bool reachOf(const Bases& bases, uint32_t offset, uint32_t count, uint64_t limit, uint64_t& highest,
             uint64_t& firstBeyond)
{
    const uint32_t first = bases.firstCount(offset, count);
    const uint64_t firstEnd = bases.base() + offset + first;
    const uint64_t wrapEnd = bases.base() + (count - first);
    const uint64_t end = std::max(firstEnd, count > first ? wrapEnd : 0);
    if (firstEnd > limit || (count > first && wrapEnd > limit)) {
        firstBeyond = firstEnd > limit ? std::max<uint64_t>(bases.base() + offset, limit) : std::max(bases.base(), limit);
        return false;
    }
    highest = std::max(highest, end);
    return true;
}

// Puts a record's bytes at their addresses (capacity checked before).
void storeBytes(const Bases& bases, uint32_t offset, const uint8_t* data, uint32_t count, ErasedArea& area)
{
    const uint32_t first = bases.firstCount(offset, count);
    if (first > 0)
        std::memcpy(area.span(qint64(bases.base() + offset), first), data, first);
    if (count > first)
        std::memcpy(area.span(qint64(bases.base()), count - first), data + first, count - first);
}

// A data record as nearly every line of a file is: digits only, the whole
// record on its line, its checksum right, inside the capacity. Stores it and
// gives true; anything else gives false having changed nothing, and the line
// is read again field by field, which finds the fault and reports it.
bool storeDataRecord(std::string_view line, const Bases& bases, uint64_t limit, uint64_t& highest, ErasedArea& area)
{
    if (line.size() < 11 || line[0] != ':')
        return false;
    uint8_t head[4];
    uint32_t sum = 0;
    if (!decodeHexBytes(line.data() + 1, 4, head, sum) || head[3] != 0)
        return false;
    const size_t count = head[0];
    uint8_t data[256];
    if (line.size() < 11 + 2 * count || !decodeHexBytes(line.data() + 9, count + 1, data, sum) || (sum & 0xFF) != 0)
        return false;
    const uint32_t offset = (uint32_t(head[1]) << 8) | head[2];
    uint64_t beyond = 0;
    if (!reachOf(bases, offset, uint32_t(count), limit, highest, beyond))
        return false;
    storeBytes(bases, offset, data, uint32_t(count), area);
    return true;
}

} // namespace

bool isIntelHexRecord(std::string_view line)
{
    if (line.size() < 11 || line.size() > size_t(kLongestLine) || line[0] != ':')
        return false;
    uint8_t bytes[260];
    uint32_t sum = 0;
    if (!decodeHexBytes(line.data() + 1, 1, bytes, sum))
        return false;
    const size_t count = bytes[0];
    return line.size() >= 11 + 2 * count && decodeHexBytes(line.data() + 3, count + 4, bytes + 1, sum)
           && (sum & 0xFF) == 0 && bytes[3] <= 5;
}

int32_t ReadIntelHex(QIODevice& in, ErasedArea& destination, UserInterface& ui)
{
    const uint64_t limit = uint64_t(std::clamp<qint64>(destination.capacity(), 0, std::numeric_limits<int32_t>::max()));
    RecordLines lines(in, kLongestLine);
    RecordPlace place{ui};
    Bases bases;
    uint64_t highest = 0;
    for (;;) {
        std::string_view line;
        const RecordLines::Status status = lines.next(line);
        place.line = lines.lineNumber();
        if (status == RecordLines::Status::End) {
            return recordFailure(ui, QStringLiteral("File Read Operation Failed: no end record after line %1 "
                                                    "(the file may be cut off)")
                                         .arg(lines.lineNumber()));
        }
        if (status == RecordLines::Status::TooLong)
            return refuseLongLine(place, lines);
        if (storeDataRecord(line, bases, limit, highest, destination))
            continue;
        if (line[0] != ':')
            return place.fail(QStringLiteral("Illegal Line found (an Intel HEX record starts with \":\")"));
        const auto count = HexFieldValue(line, 1, 2, place);
        if (!count)
            return 0;
        const auto offset = HexFieldValue(line, 3, 4, place);
        if (!offset)
            return 0;
        const auto type = HexFieldValue(line, 7, 2, place);
        if (!type)
            return 0;
        uint32_t sum = *count + *type + (*offset >> 8) + (*offset & 0xFF);
        if (*type > 5)
            return place.fail(QStringLiteral("Invalid Record type"));
        switch (*type) {
        case 0: {
            // The whole record must be on its line before a byte of it is stored.
            if (line.size() < 9 + 2 * size_t(*count) + 2)
                return place.fail(QStringLiteral("Illegal Line found (the record is shorter than its byte count)"));
            uint64_t beyond = 0;
            if (!reachOf(bases, *offset, *count, limit, highest, beyond))
                return refuseBeyondCapacity(place, beyond, destination.capacity());
            uint8_t bytes[256];
            for (uint32_t i = 0; i < *count; ++i) {
                const auto byte = HexFieldValue(line, 9 + 2 * size_t(i), 2, place);
                if (!byte) {
                    storeBytes(bases, *offset, bytes, i, destination);
                    return 0;
                }
                bytes[i] = uint8_t(*byte);
                sum += *byte;
            }
            storeBytes(bases, *offset, bytes, *count, destination);
            const auto checksum = HexFieldValue(line, 9 + 2 * size_t(*count), 2, place);
            if (!checksum)
                return 0;
            sum += *checksum;
            if ((sum & 0xFF) != 0)
                return place.fail(QStringLiteral("Checksum Error type 0"));
            break;
        }
        case 1: {
            // Some tools put the start address into the end record: any address goes.
            const auto checksum = HexFieldValue(line, 9, 2, place);
            if (!checksum)
                return 0;
            if (*count != 0 || ((sum + *checksum) & 0xFF) != 0)
                return place.fail(QStringLiteral("Invalid EOF Record"));
            return int32_t(highest);
        }
        case 2: {
            const auto value = baseRecord(line, *count, sum, "Invalid Record Length for type 2",
                                          "Checksum Error type 2", place);
            if (!value)
                return 0;
            bases.segment = uint64_t(*value) * 16;
            bases.segmented = true;
            break;
        }
        case 4: {
            const auto value = baseRecord(line, *count, sum, "Invalid Record Length for type 4",
                                          "Checksum Error type 4", place);
            if (!value)
                return 0;
            bases.linear = uint64_t(*value) * 65536;
            bases.segmented = false;
            break;
        }
        default:  // 03 and 05: start addresses, of no use here
            break;
        }
    }
}

int32_t ReadIntelHex(QIODevice& in, uint8_t* destination, qint64 capacity, UserInterface& ui)
{
    ErasedArea area = ErasedArea::over(destination, capacity);
    return ReadIntelHex(in, area, ui);
}

int32_t ReadIntelHex(const QString& path, ErasedArea& destination, UserInterface& ui)
{
    return readRecordFile(path, ui, [&](QIODevice& in) { return ReadIntelHex(in, destination, ui); });
}

int32_t ReadIntelHex(const QString& path, uint8_t* destination, qint64 capacity, UserInterface& ui)
{
    ErasedArea area = ErasedArea::over(destination, capacity);
    return ReadIntelHex(path, area, ui);
}

bool WriteIntelHex(QIODevice& out, const uint8_t* source, qint64 count)
{
    RecordOutput lines(out, 13 + (count / 32 + 1) * 77);
    uint64_t base = 0;
    for (uint64_t offset = 0; count > 0; offset += kRecordBytes, source += kRecordBytes) {
        if (offset - base > 0xFFFF) {
            base = offset & ~uint64_t(0xFFFF);
            const uint32_t upper = uint32_t(base >> 16) & 0xFFFF;
            char* p = lines.room();
            char* const start = p;
            for (const char c : {':', '0', '2', '0', '0', '0', '0', '0', '4'})
                *p++ = c;
            p = putHexByte(p, upper >> 8);
            p = putHexByte(p, upper);
            p = putHexByte(p, 0x100 - ((6 + (upper >> 8) + (upper & 0xFF)) & 0xFF));
            *p++ = '\r';
            *p++ = '\n';
            lines.advance(int(p - start));
        }
        const int k = int(std::min<qint64>(kRecordBytes, count));
        count -= k;
        if (allErased(source, k))
            continue;
        const uint32_t address = uint32_t(offset - base);
        uint32_t sum = uint32_t(k) + (address >> 8) + (address & 0xFF);
        char* p = lines.room();
        char* const start = p;
        *p++ = ':';
        p = putHexByte(p, uint32_t(k));
        p = putHexByte(p, address >> 8);
        p = putHexByte(p, address);
        *p++ = '0';
        *p++ = '0';
        p = encodeHexBytes(p, source, size_t(k), sum);
        p = putHexByte(p, 0x100 - (sum & 0xFF));
        *p++ = '\r';
        *p++ = '\n';
        lines.advance(int(p - start));
    }
    lines.put(":00000001FF\r\n", 13);
    return lines.finish();
}

bool WriteIntelHex(const QString& path, const uint8_t* source, qint64 count)
{
    return writeReplacing(path, [&](QIODevice& out) { return WriteIntelHex(out, source, count); });
}
