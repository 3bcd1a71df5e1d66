#include "buffers/SRecord.h"

#include "app/UserInterface.h"
#include "buffers/ErasedArea.h"
#include "buffers/HexBlocks.h"
#include "buffers/RecordLines.h"
#include "buffers/RecordOutput.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace {

// "S", the type, the byte count and 255 bytes of address, data and checksum.
constexpr int kLongestLine = 2 + 2 * (1 + 255);
constexpr int kRecordBytes = 16;

// The record's count byte and its address, data and checksum bytes, decoded;
// the sum of them all. False when the line holds no whole record of digits.
struct Decoded {
    uint8_t bytes[256];  // count, then address, data and checksum
    uint32_t sum = 0;
    size_t count() const { return bytes[0]; }
};

bool decodeRecord(std::string_view line, Decoded& d)
{
    if (line.size() < 4 || line[0] != 'S')
        return false;
    d.sum = 0;
    if (!decodeHexBytes(line.data() + 2, 1, d.bytes, d.sum))
        return false;
    return line.size() >= 4 + 2 * d.count() && decodeHexBytes(line.data() + 4, d.count(), d.bytes + 1, d.sum);
}

// Address bytes of each record type that carries one, 0 for the others.
size_t addressBytesOf(char type)
{
    switch (type) {
    case '0': case '1': case '5': case '9': return 2;
    case '2': case '6': case '8': return 3;
    case '3': case '7': return 4;
    default: return 0;
    }
}

uint64_t addressOf(const Decoded& d, size_t addressBytes)
{
    uint64_t address = 0;
    for (size_t i = 1; i <= addressBytes; ++i)
        address = (address << 8) | d.bytes[i];
    return address;
}

// An S1, S2 or S3 record as nearly every line of a file is: digits only,
// the whole record on its line, its checksum right, inside the capacity.
// Stores it and gives true; anything else gives false having changed
// nothing, and the line is read again field by field, which finds the
// fault and reports it.
bool storeDataRecord(std::string_view line, uint64_t limit, uint64_t& highest, ErasedArea& area)
{
    if (line.size() < 4 || line[1] < '1' || line[1] > '3')
        return false;
    const size_t addressBytes = size_t(line[1] - '0') + 1;
    Decoded d;
    if (!decodeRecord(line, d) || d.count() < addressBytes + 1 || (d.sum & 0xFF) != 0xFF)
        return false;
    const uint64_t address = addressOf(d, addressBytes);
    const size_t data = d.count() - addressBytes - 1;
    const uint64_t end = std::max(highest, address + data);
    if (end > limit)
        return false;
    highest = end;
    if (data > 0)
        std::memcpy(area.span(qint64(address), qint64(data)), d.bytes + 1 + addressBytes, data);
    return true;
}

// The number an S5 or S6 record gives, when the line is a whole one with
// its checksum right; other tools' files may end with it instead of an
// end record. A faulty one is passed over as the record kinds not stored are.
std::optional<uint64_t> countRecord(std::string_view line)
{
    const size_t addressBytes = addressBytesOf(line.size() > 1 ? line[1] : 0);
    Decoded d;
    if ((line[1] != '5' && line[1] != '6') || !decodeRecord(line, d) || d.count() != addressBytes + 1
        || (d.sum & 0xFF) != 0xFF)
        return std::nullopt;
    return addressOf(d, addressBytes);
}

} // namespace

bool isSRecord(std::string_view line)
{
    if (line.size() < 4 || line.size() > size_t(kLongestLine))
        return false;
    const size_t addressBytes = addressBytesOf(line[1]);
    Decoded d;
    return addressBytes > 0 && decodeRecord(line, d) && d.count() >= addressBytes + 1 && (d.sum & 0xFF) == 0xFF;
}

int32_t ReadSRecord(QIODevice& in, ErasedArea& destination, UserInterface& ui)
{
    const uint64_t limit = uint64_t(std::clamp<qint64>(destination.capacity(), 0, std::numeric_limits<int32_t>::max()));
    RecordLines lines(in, kLongestLine);
    RecordPlace place{ui};
    uint64_t highest = 0;
    uint64_t dataRecords = 0;
    // The count record that ended the records so far, and its line.
    bool countLast = false;
    uint64_t lastCount = 0;
    qint64 countLine = 0;
    for (;;) {
        std::string_view line;
        const RecordLines::Status status = lines.next(line);
        place.line = lines.lineNumber();
        if (status == RecordLines::Status::End) {
            // Without an end record, a count record that agrees is the file's end.
            if (countLast && lastCount == dataRecords)
                return int32_t(highest);
            if (countLast) {
                place.line = countLine;
                return place.fail(QStringLiteral("the count record says %1 data records, the file holds %2 "
                                                 "(the file may be cut off)")
                                      .arg(lastCount)
                                      .arg(dataRecords));
            }
            return recordFailure(ui, QStringLiteral("File Read Operation Failed: no S7, S8 or S9 end record and "
                                                    "no S5 or S6 count record after line %1 (the file may be cut off)")
                                         .arg(lines.lineNumber()));
        }
        if (status == RecordLines::Status::TooLong)
            return refuseLongLine(place, lines);
        if (storeDataRecord(line, limit, highest, destination)) {
            ++dataRecords;
            countLast = false;
            continue;
        }
        if (line[0] != 'S')
            return place.fail(QStringLiteral("Illegal Line found (an S-record starts with \"S\")"));
        const char kind = line.size() > 1 ? line[1] : '\0';
        if (kind == '7' || kind == '8' || kind == '9')
            return int32_t(highest);
        if (kind == '5' || kind == '6') {
            const std::optional<uint64_t> count = countRecord(line);
            countLast = count.has_value();
            lastCount = count.value_or(0);
            countLine = place.line;
            continue;
        }
        if (kind != '1' && kind != '2' && kind != '3')
            continue;  // header and unknown records carry nothing to store
        countLast = false;
        const int addressBytes = kind - '0' + 1;
        const auto count = HexFieldValue(line, 2, 2, place);
        if (!count)
            return 0;
        // The count covers the address, the data and the checksum, and the
        // whole record must be on its line before a byte of it is stored.
        if (*count < uint32_t(addressBytes) + 1 || line.size() < 4 + 2 * size_t(*count))
            return place.fail(QStringLiteral("Illegal Line found (the record is shorter than its byte count)"));
        const auto address = HexFieldValue(line, 4, 2 * addressBytes, place);
        if (!address)
            return 0;
        uint32_t sum = *count;
        for (int i = 0; i < addressBytes; ++i)
            sum += (*address >> (8 * i)) & 0xFF;
        const uint32_t data = *count - uint32_t(addressBytes) - 1;
        if (uint64_t(*address) + data > limit)
            return refuseBeyondCapacity(place, std::max<uint64_t>(*address, limit), destination.capacity());
        highest = std::max(highest, uint64_t(*address) + data);
        const size_t first = 4 + 2 * size_t(addressBytes);
        uint8_t* const bytes = data > 0 ? destination.span(qint64(*address), data) : nullptr;
        for (uint32_t i = 0; i < data; ++i) {
            const auto byte = HexFieldValue(line, first + 2 * size_t(i), 2, place);
            if (!byte)
                return 0;
            bytes[i] = uint8_t(*byte);
            sum += *byte;
        }
        const auto checksum = HexFieldValue(line, 2 + 2 * size_t(*count), 2, place);
        if (!checksum)
            return 0;
        if (((sum + *checksum) & 0xFF) != 0xFF)
            return place.fail(QStringLiteral("Checksum Error"));
        ++dataRecords;
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
