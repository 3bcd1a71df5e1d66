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

// Whether the four bytes at the serial number's address lie inside the chip
// (and so inside the buffer): a number the chip cannot hold is never written.
bool serialNumberFits(const SerialNumber& serial, const ChipEntry& chip);

// ApplySerialNumber: writes the value, extends the Flash data length to cover
// it and steps the value. Refuses (with a message, nothing changed) an address
// whose four bytes do not fit the chip.
bool ApplySerialNumber(SerialNumber& serial, Buffers& buffers, const ChipEntry& chip, UserInterface& ui);
