#pragma once
// Files that are the image itself: raw bytes, and capsules, whose image
// follows a 2048-byte header. Both read the whole file or nothing: a file
// larger than the destination is refused before a byte is stored, a
// stream after at most the capacity and one byte more.

#include <QByteArray>
#include <QtGlobal>
#include <cstdint>

class ErasedArea;
class QIODevice;
class UserInterface;

inline constexpr qint64 kCapsuleHeader = 2048;

// The bytes read, or 0 for a file too big (the message shown).
int32_t ReadRawImage(QIODevice& in, ErasedArea& destination, UserInterface& ui);
// With its header (hasCapsuleHeader), the bytes after it; else as raw. The
// whole file, header included, counts against the capacity.
int32_t ReadCapsuleImage(QIODevice& in, ErasedArea& destination, UserInterface& ui);
bool WriteRawImage(QIODevice& out, const uint8_t* source, qint64 count);

// The file begins with a capsule header as the UEFI capsule header lays it
// out: its header size (little-endian at offset 16) is 2048 and the image
// size it gives (at offset 24, header included) fits the file's size.
bool hasCapsuleHeader(const QByteArray& head, qint64 fileSize);
