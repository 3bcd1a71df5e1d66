#include "buffers/SerialNumber.h"

#include "app/UserInterface.h"
#include "buffers/Buffers.h"
#include "chipdb/ChipEntry.h"

bool serialNumberFits(const SerialNumber& serial, const ChipEntry& chip)
{
    const qint64 end = qint64(serial.address) + 4;
    return serial.address >= 0 && end <= qint64(chip.flashBytes()) && end <= Buffers::kFlashCapacity;
}

bool ApplySerialNumber(SerialNumber& serial, Buffers& buffers, const ChipEntry& chip, UserInterface& ui)
{
    if (!serialNumberFits(serial, chip)) {
        ui.showError(ui.message(Msg::SerialNumberOutsideChip));
        return false;
    }
    const int32_t a = serial.address;
    const uint32_t v = static_cast<uint32_t>(serial.value);
    uint8_t* at = buffers.flashArea().span(a, 4);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(v >> (8 * i));
    // The data length always covers the number, up to the chip's last byte:
    // a number left out of it would stay in the buffer and never reach the chip.
    const int32_t end = a + 4;
    if (buffers.flashLength() < end)
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
