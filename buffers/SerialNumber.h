#pragma once
// The serial number written into each chip by the auto sequence: a 4-byte
// value, least significant byte first, at an address of the Flash buffer.

#include <cstdint>

class Buffers;
struct ChipEntry;
class UserInterface;

struct SerialNumber {
    enum class Mode { Increment, Decrement, FillFile };  // RadioButton1, 2, 3

    int32_t address = 0;   // DEVICE/START
    int32_t value = 1;     // DEVICE/UID
    Mode mode = Mode::Increment;
};

// ApplySerialNumber: writes the value, may extend the Flash data length and
// steps the value. Refuses (with a message, nothing changed) an address whose
// four bytes do not fit the buffer.
bool ApplySerialNumber(SerialNumber& serial, Buffers& buffers, const ChipEntry& chip, UserInterface& ui);
