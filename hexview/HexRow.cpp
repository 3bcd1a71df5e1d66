#include "hexview/HexRow.h"

#include <cstring>

namespace hexrow {

Cell cellAt(int column)
{
    if (column < kHexStart)
        return {Area::Hex, 0, 0};
    if (column < kHexEnd) {
        // Each byte owns its two digits and the space after them (byte 7 also the gap).
        int byte = (column - kHexStart) / 3;
        if (byte >= 8)
            byte = (column - kHexStart - 1) / 3;
        const int inByte = column - hexColumn(byte);
        return {Area::Hex, byte, inByte >= 1 ? 1 : 0};
    }
    if (column < kAsciiStart)
        return column == kHexEnd ? Cell{Area::Hex, kBytesPerRow - 1, 1} : Cell{Area::Ascii, 0, 0};
    if (column < kColumns)
        return {Area::Ascii, column - kAsciiStart, 0};
    return {Area::Ascii, kBytesPerRow - 1, 0};
}

char asciiOf(uint8_t byte)
{
    return byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
}

void formatRow(qint64 address, const uint8_t* bytes, int count, char* row)
{
    std::memset(row, ' ', kColumns);
    for (int i = kOffsetDigits - 1; i >= 0; --i) {
        row[i] = kHexDigits[address & 0xF];
        address >>= 4;
    }
    for (int i = 0; i < count; ++i) {
        char* hex = row + hexColumn(i);
        hex[0] = kHexDigits[bytes[i] >> 4];
        hex[1] = kHexDigits[bytes[i] & 0xF];
        row[asciiColumn(i)] = asciiOf(bytes[i]);
    }
}

void formatRuler(char* row)
{
    std::memset(row, ' ', kColumns);
    for (int i = 0; i < kBytesPerRow; ++i) {
        char* hex = row + hexColumn(i);
        hex[0] = '0';
        hex[1] = kHexDigits[i];
        row[asciiColumn(i)] = kHexDigits[i];
    }
}

}  // namespace hexrow
