#include "buffers/SerialNumber.h"

#include "app/UserInterface.h"
#include "buffers/Buffers.h"
#include "chipdb/ChipEntry.h"

bool ApplySerialNumber(SerialNumber& serial, Buffers& buffers, const ChipEntry& chip, UserInterface& ui)
{
    const int32_t a = serial.address;
    if (a < 0 || qint64(a) + 4 > Buffers::kFlashCapacity) {
        ui.showError(ui.message(Msg::SerialAddressOutOfRange));
        return false;
    }
    const uint32_t v = static_cast<uint32_t>(serial.value);
    uint8_t* at = buffers.flashArea().span(a, 4);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(v >> (8 * i));
    // Four bytes ending exactly at the chip's last byte do not extend it.
    const int32_t end = a + 4;
    if (uint32_t(end) < chip.flashBytes() && buffers.flashLength() < end)
        buffers.setFlashLength(end);
    switch (serial.mode) {
    case SerialNumber::Mode::Increment:
        // A 32-bit field: past the largest value it wraps.
        serial.value = static_cast<int32_t>(v + 1u);
        break;
    case SerialNumber::Mode::Decrement:
        if (serial.value > 0)
            --serial.value;
        break;
    case SerialNumber::Mode::FillFile:
        break;
    }
    return true;
}
