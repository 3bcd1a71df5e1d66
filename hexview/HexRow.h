#pragma once
// The text of one row of the hex view, in character cells of a fixed-pitch font:
//
//   OOOOOOOO  HH HH HH HH HH HH HH HH  HH HH HH HH HH HH HH HH  AAAAAAAAAAAAAAAA
//
// Offsets are 8 hexadecimal digits; the hex columns have a gap after 8 bytes;
// the ASCII column shows bytes outside 0x20..0x7E as '.'.

#include <QtGlobal>
#include <cstdint>

namespace hexrow {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kBytesPerRow = 16;
constexpr int kOffsetDigits = 8;
constexpr int kHexStart = kOffsetDigits + 2;
constexpr int kHexEnd = kHexStart + kBytesPerRow * 3;  // one past the last hex digit's cell
constexpr int kAsciiStart = kHexEnd + 2;
constexpr int kColumns = kAsciiStart + kBytesPerRow;

constexpr int hexColumn(int byteInRow) { return kHexStart + 3 * byteInRow + (byteInRow >= 8 ? 1 : 0); }
constexpr int asciiColumn(int byteInRow) { return kAsciiStart + byteInRow; }

enum class Area { Hex, Ascii };

struct Cell {
    Area area;
    int byte;    // 0..15
    int nibble;  // 0 = high, 1 = low; always 0 in the ASCII area
};

// The cell a click at `column` means; columns off the byte cells snap to the nearest one.
Cell cellAt(int column);

// Fills `row` (kColumns cells) with the row's text for `count` (0..16) bytes at `address`.
void formatRow(qint64 address, const uint8_t* bytes, int count, char* row);

// Fills `row` (kColumns cells) with the column ruler: "00 01 ... 0F" over the hex
// columns and "0123456789ABCDEF" over the ASCII column.
void formatRuler(char* row);

char asciiOf(uint8_t byte);

}  // namespace hexrow
