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

constexpr int kLineBuffer = 512;
constexpr int kRecordBytes = 32;

// Types 02 and 04: a 16-bit base with its checksum.
std::optional<uint32_t> baseRecord(std::string_view line, uint32_t count, uint32_t sum, const char* lengthError,
                                   const char* checksumError, UserInterface& ui)
{
    if (count != 2) {
        recordFailure(ui, lengthError);
        return std::nullopt;
    }
    const auto value = HexFieldValue(line, 9, 4, ui);
    if (!value)
        return std::nullopt;
    const auto checksum = HexFieldValue(line, 13, 2, ui);
    if (!checksum)
        return std::nullopt;
    sum += (*value >> 8) + (*value & 0xFF) + *checksum;
    if ((sum & 0xFF) != 0) {
        recordFailure(ui, checksumError);
        return std::nullopt;
    }
    return *value;
}

// A data record as nearly every line of a file is: digits only, the whole
// record on its line, its checksum right, inside the capacity. Stores it and
// gives true; anything else gives false having changed nothing, and the line
// is read again field by field, which finds the fault and reports it.
bool storeDataRecord(std::string_view line, uint64_t base, uint64_t limit, uint64_t& highest, ErasedArea& area)
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
    const uint64_t address = base + ((uint32_t(head[1]) << 8) | head[2]);
    const uint64_t end = std::max(highest, address + count);
    if (end > limit)
        return false;
    highest = end;
    if (count > 0)
        std::memcpy(area.span(qint64(address), qint64(count)), data, count);
    return true;
}

} // namespace

int32_t ReadIntelHex(QIODevice& in, ErasedArea& destination, UserInterface& ui)
{
    const uint64_t limit = uint64_t(std::clamp<qint64>(destination.capacity(), 0, std::numeric_limits<int32_t>::max()));
    RecordLines lines(in, kLineBuffer);
    uint64_t segmentBase = 0;
    uint64_t linearBase = 0;
    uint64_t highest = 0;
    for (;;) {
        std::string_view line;
        const RecordLines::Status status = lines.next(line);
        if (status == RecordLines::Status::End) {
            recordFailure(ui, "File Read Operation Failed");
            return recordFailure(ui, "Error reading File");
        }
        if (status == RecordLines::Status::Line && storeDataRecord(line, linearBase + segmentBase, limit, highest, destination))
            continue;
        if (status == RecordLines::Status::TooLong || line.empty() || line[0] != ':')
            return recordFailure(ui, "Illegal Line found");
        const auto count = HexFieldValue(line, 1, 2, ui);
        if (!count)
            return 0;
        const auto offset = HexFieldValue(line, 3, 4, ui);
        if (!offset)
            return 0;
        const auto type = HexFieldValue(line, 7, 2, ui);
        if (!type)
            return 0;
        uint32_t sum = *count + *type + (*offset >> 8) + (*offset & 0xFF);
        if (*type > 5)
            return recordFailure(ui, "Invalid Record type");
        switch (*type) {
        case 0: {
            // The whole record must be on its line before a byte of it is stored.
            if (line.size() < 9 + 2 * size_t(*count) + 2)
                return recordFailure(ui, "Illegal Line found");
            const uint64_t address = linearBase + segmentBase + *offset;
            highest = std::max(highest, address + *count);
            if (highest > limit)
                return recordFailure(ui, "File exceeds Maximum Size");
            uint8_t* const bytes = *count > 0 ? destination.span(qint64(address), *count) : nullptr;
            for (uint32_t i = 0; i < *count; ++i) {
                const auto byte = HexFieldValue(line, 9 + 2 * size_t(i), 2, ui);
                if (!byte)
                    return 0;
                bytes[i] = uint8_t(*byte);
                sum += *byte;
            }
            const auto checksum = HexFieldValue(line, 9 + 2 * size_t(*count), 2, ui);
            if (!checksum)
                return 0;
            sum += *checksum;
            if ((sum & 0xFF) != 0)
                return recordFailure(ui, "Checksum Error type 0");
            break;
        }
        case 1: {
            const auto last = HexFieldValue(line, 9, 2, ui);
            if (!last)
                return 0;
            if (*count != 0 || *offset != 0 || *last != 0xFF)
                return recordFailure(ui, "Invalid EOF Record");
            return int32_t(highest);
        }
        case 2: {
            const auto value = baseRecord(line, *count, sum, "Invalid Record Length for type 2",
                                          "Checksum Error type 2", ui);
            if (!value)
                return 0;
            segmentBase = uint64_t(*value) * 16;
            break;
        }
        case 4: {
            const auto value = baseRecord(line, *count, sum, "Invalid Record Length for type 4",
                                          "Checksum Error type 4", ui);
            if (!value)
                return 0;
            linearBase = uint64_t(*value) * 65536;
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
