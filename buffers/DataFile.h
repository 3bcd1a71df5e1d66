#pragma once
// Loading a data file into a byte area and saving bytes to a file, the
// format chosen by the file name's extension (raw, capsule, Intel HEX,
// S-records).

#include <QString>
#include <cstdint>

class ErasedArea;
class UserInterface;

// The new data length for the area, or 0 on failure (the message shown).
// Never writes beyond the capacity; stores no more of the area than the
// file's bytes reach.
int32_t LoadFileIntoBuffer(const QString& path, ErasedArea& destination, UserInterface& ui);
int32_t LoadFileIntoBuffer(const QString& path, uint8_t* destination, qint64 capacity, UserInterface& ui);

// Asks before replacing an existing file. True when the file was written;
// false when the user declined or writing failed (the message shown). A
// failed save leaves an existing file as it was.
bool SaveBufferToFile(const QString& path, const uint8_t* source, qint64 count, UserInterface& ui);
