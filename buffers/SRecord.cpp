#include "buffers/SRecord.h"

#include "app/UserInterface.h"
#include "buffers/ErasedArea.h"
#include "buffers/HexBlocks.h"
#include "buffers/RecordLines.h"
#include "buffers/RecordOutput.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr int kLineBuffer = 100;
constexpr int kRecordBytes = 16;

// An S1, S2 or S3 record as nearly every line of a file is: digits only,
// the whole record on its line, its checksum right, inside the capacity.
// Stores it and gives true; anything else gives false having changed
// nothing, and the line is read again field by field, which finds the
// fault and reports it.
bool storeDataRecord(std::string_view line, uint64_t limit, uint64_t& highest, ErasedArea& area)
{
    if (line.size() < 4 || line[0] != 'S' || line[1] < '1' || line[1] > '3')
        return false;
    const size_t addressBytes = size_t(line[1] - '0') + 1;
    uint8_t record[256];
    uint32_t sum = 0;
    if (!decodeHexBytes(line.data() + 2, 1, record, sum))
        return false;
    const size_t count = record[0];
    if (count < addressBytes + 1 || line.size() < 4 + 2 * count || !decodeHexBytes(line.data() + 4, count, record + 1, sum)
        || (sum & 0xFF) != 0xFF)
        return false;
    uint64_t address = 0;
    for (size_t i = 1; i <= addressBytes; ++i)
        address = (address << 8) | record[i];
    const size_t data = count - addressBytes - 1;
    const uint64_t end = std::max(highest, address + data);
    if (end > limit)
        return false;
    highest = end;
    if (data > 0)
        std::memcpy(area.span(qint64(address), qint64(data)), record + 1 + addressBytes, data);
    return true;
}

} // namespace

int32_t ReadSRecord(QIODevice& in, ErasedArea& destination, UserInterface& ui)
{
    const uint64_t limit = uint64_t(std::clamp<qint64>(destination.capacity(), 0, std::numeric_limits<int32_t>::max()));
    RecordLines lines(in, kLineBuffer);
    uint64_t highest = 0;
    for (;;) {
        std::string_view line;
        const RecordLines::Status status = lines.next(line);
        if (status == RecordLines::Status::End)
            return recordFailure(ui, "File Read Operation Failed");
        if (status == RecordLines::Status::Line && storeDataRecord(line, limit, highest, destination))
            continue;
        if (status == RecordLines::Status::TooLong || line.empty() || line[0] != 'S')
            return recordFailure(ui, "Illegal Line found");
        const char kind = line.size() > 1 ? line[1] : '\0';
        if (kind == '7' || kind == '8' || kind == '9')
            return int32_t(highest);
        if (kind != '1' && kind != '2' && kind != '3')
            continue;  // header, count and unknown records carry nothing to store
        const int addressBytes = kind - '0' + 1;
        const auto count = HexFieldValue(line, 2, 2, ui);
        if (!count)
            return 0;
        // The count covers the address, the data and the checksum, and the
        // whole record must be on its line before a byte of it is stored.
        if (*count < uint32_t(addressBytes) + 1 || line.size() < 4 + 2 * size_t(*count))
            return recordFailure(ui, "Illegal Line found");
        const auto address = HexFieldValue(line, 4, 2 * addressBytes, ui);
        if (!address)
            return 0;
        uint32_t sum = *count;
        for (int i = 0; i < addressBytes; ++i)
            sum += (*address >> (8 * i)) & 0xFF;
        const uint32_t data = *count - uint32_t(addressBytes) - 1;
        highest = std::max(highest, uint64_t(*address) + data);
        if (highest > limit)
            return recordFailure(ui, "File exceeds Maximum Size");
        const size_t first = 4 + 2 * size_t(addressBytes);
        uint8_t* const bytes = data > 0 ? destination.span(qint64(*address), data) : nullptr;
        for (uint32_t i = 0; i < data; ++i) {
            const auto byte = HexFieldValue(line, first + 2 * size_t(i), 2, ui);
            if (!byte)
                return 0;
            bytes[i] = uint8_t(*byte);
            sum += *byte;
        }
        const auto checksum = HexFieldValue(line, 2 + 2 * size_t(*count), 2, ui);
        if (!checksum)
            return 0;
        if (((sum + *checksum) & 0xFF) != 0xFF)
            return recordFailure(ui, "Checksum Error");
    }
}

int32_t ReadSRecord(QIODevice& in, uint8_t* destination, qint64 capacity, UserInterface& ui)
{
    ErasedArea area = ErasedArea::over(destination, capacity);
    return ReadSRecord(in, area, ui);
}

int32_t ReadSRecord(const QString& path, ErasedArea& destination, UserInterface& ui)
{
    return readRecordFile(path, ui, [&](QIODevice& in) { return ReadSRecord(in, destination, ui); });
}

int32_t ReadSRecord(const QString& path, uint8_t* destination, qint64 capacity, UserInterface& ui)
{
    ErasedArea area = ErasedArea::over(destination, capacity);
    return ReadSRecord(path, area, ui);
}

bool WriteSRecord(QIODevice& out, const uint8_t* source, qint64 count)
{
    const int addressBytes = count > 0xFFFFFF ? 4 : count > 0xFFFF ? 3 : 2;
    const char kind = char('0' + addressBytes - 1);
    RecordOutput lines(out, 34 + (count / 16 + 1) * 48);
    lines.put("S00600004844521B\r\n", 18);
    for (uint32_t address = 0; count > 0; address += kRecordBytes, source += kRecordBytes) {
        const int k = int(std::min<qint64>(kRecordBytes, count));
        count -= k;
        if (allErased(source, k))
            continue;
        const uint32_t c = uint32_t(k + addressBytes + 1);
        uint32_t sum = c + (address & 0xFF) + ((address >> 8) & 0xFF) + ((address >> 16) & 0xFF) + (address >> 24);
        char* p = lines.room();
        char* const start = p;
        *p++ = 'S';
        *p++ = kind;
        p = putHexByte(p, c);
        for (int i = addressBytes - 1; i >= 0; --i)
            p = putHexByte(p, address >> (8 * i));
        p = encodeHexBytes(p, source, size_t(k), sum);
        p = putHexByte(p, 0xFF - (sum & 0xFF));
        *p++ = '\r';
        *p++ = '\n';
        lines.advance(int(p - start));
    }
    switch (addressBytes) {
    case 2: lines.put("S9030000FC\r\n", 12); break;
    case 3: lines.put("S804000000FB\r\n", 14); break;
    default: lines.put("S70500000000FA\r\n", 16); break;
    }
    return lines.finish();
}

bool WriteSRecord(const QString& path, const uint8_t* source, qint64 count)
{
    return writeReplacing(path, [&](QIODevice& out) { return WriteSRecord(out, source, count); });
}
