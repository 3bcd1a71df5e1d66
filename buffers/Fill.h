#pragma once
// The fill dialog's work on the Flash buffer: a constant byte, a constant
// 16-bit word (low byte first) or random bytes over an inclusive range.

#include <QString>
#include <cstdint>

class Buffers;
class ByteView;
class UserInterface;

enum class FillKind { Byte, Word, Random };  // RadioButton1, 2, 3

// The dialog's four field texts, hexadecimal without prefix.
struct FillFields {
    QString byteValue;  // Edit1
    QString wordValue;  // Edit2
    QString start;      // Edit3
    QString end;        // Edit4, inclusive
};

// The random fill's generator: linear congruential, 15-bit values.
class FillRandom {
public:
    // Seeding draws one value and drops it.
    explicit FillRandom(uint32_t seed) : state_(seed) { next(); }
    uint32_t next()
    {
        state_ = state_ * 22695477u + 1u;
        return (state_ >> 16) & 0x7FFF;
    }

private:
    uint32_t state_;
};

// The dialog's OK. Every field must hold a hexadecimal value and the range
// must lie in the buffer with its start not above its end; otherwise the
// message is shown, nothing changes, and the result is false (the dialog
// stays open). On success the Flash data length becomes end + 1 and `view`,
// when given, is loaded with the buffer's first end + 1 bytes, the filled
// range at its own offsets. The random fill is seeded with `seed`.
bool FillFlash(Buffers& buffers, FillKind kind, const FillFields& fields, uint32_t seed, UserInterface& ui,
               ByteView* view = nullptr);
// The same seeded from the clock's seconds, as the dialog does.
bool FillFlash(Buffers& buffers, FillKind kind, const FillFields& fields, UserInterface& ui,
               ByteView* view = nullptr);

// ToolFillClick: the text Edit4 gets each time the dialog opens, the chip's
// last address in upper-case hexadecimal ("FFF" for 4096 bytes).
QString fillEndText(uint32_t chipFlashBytes);
