#pragma once
// Intel HEX files: the reader takes record types 00 to 05 with their
// checksums, the writer puts 32-byte data records, extended linear address
// records at 64 KiB boundaries, and leaves out records of nothing but 0xFF.

#include <QString>
#include <cstdint>
#include <string_view>

class ErasedArea;
class QIODevice;
class UserInterface;

// The highest end address (address + count) over all data records, or 0
// when the read failed (the message shown; what was stored stays). Never
// writes outside the destination's capacity (destination[0, capacity)).
int32_t ReadIntelHex(const QString& path, ErasedArea& destination, UserInterface& ui);
int32_t ReadIntelHex(QIODevice& in, ErasedArea& destination, UserInterface& ui);
int32_t ReadIntelHex(const QString& path, uint8_t* destination, qint64 capacity, UserInterface& ui);
int32_t ReadIntelHex(QIODevice& in, uint8_t* destination, qint64 capacity, UserInterface& ui);

// A whole record of type 00 to 05 with its checksum right, as a line of a
// file holds it (its line end cut off): how a file is known by its content.
bool isIntelHexRecord(std::string_view line);

// True when the whole file was written. The path form replaces an existing
// file only once the new one is complete.
bool WriteIntelHex(const QString& path, const uint8_t* source, qint64 count);
bool WriteIntelHex(QIODevice& out, const uint8_t* source, qint64 count);
