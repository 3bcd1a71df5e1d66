#include "buffers/Buffers.h"

#include "chipdb/ChipEntry.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

void fill(ErasedArea& area, uint8_t value)
{
    if (value == 0xFF)
        area.erase();
    else
        std::memset(area.span(0, area.capacity()), value, size_t(area.capacity()));
}

uint32_t crcOfLength(const ErasedArea& area, int32_t length)
{
    const qint64 n = std::clamp<qint64>(length, 0, area.capacity());
    return crc32Of(area.bytes(0, n), n);
}

void takeViewEdits(ByteView* view, ErasedArea& area, qint64 chipBytes, int32_t& length)
{
    if (!view || !view->isModified())
        return;
    const qint64 n = std::min({chipBytes, view->byteCount(), area.capacity()});
    view->copyOut(area.span(0, n), n);
    length = static_cast<int32_t>(n);
    view->clearModified();
}

} // namespace

Buffers::Buffers() = default;

void Buffers::fillFlash(uint8_t value) { fill(flash_, value); }
void Buffers::fillEeprom(uint8_t value) { fill(eeprom_, value); }

void Buffers::reloadFlashView(const ChipEntry& chip)
{
    if (flashView_)
        flashView_->loadArea(flash_, std::min<qint64>(chip.flashBytes(), kFlashCapacity));
}

void Buffers::refreshFlashView(const ChipEntry& chip, qint64 from, qint64 count)
{
    if (flashView_)
        flashView_->reloadRange(flash_, std::min<qint64>(chip.flashBytes(), kFlashCapacity), from, count);
}

void Buffers::reloadEepromView(const ChipEntry& chip)
{
    if (eepromView_)
        eepromView_->loadArea(eeprom_, std::min<qint64>(chip.eepromBytes(), kEepromCapacity));
}

void Buffers::takeFlashViewEdits(const ChipEntry& chip)
{
    takeViewEdits(flashView_, flash_, chip.flashBytes(), flashLength_);
}

void Buffers::takeEepromViewEdits(const ChipEntry& chip)
{
    takeViewEdits(eepromView_, eeprom_, chip.eepromBytes(), eepromLength_);
}

uint32_t crc32Of(const uint8_t* data, qint64 count)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    while (count > 0) {
        const uInt chunk = static_cast<uInt>(std::min<qint64>(count, 1 << 30));
        crc = crc32(crc, data, chunk);
        data += chunk;
        count -= chunk;
    }
    return static_cast<uint32_t>(crc);
}

uint32_t Buffers::flashCrc() const { return crcOfLength(flash_, flashLength_); }
uint32_t Buffers::eepromCrc() const { return crcOfLength(eeprom_, eepromLength_); }
