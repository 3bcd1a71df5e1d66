#include "buffers/Buffers.h"

#include "chipdb/ChipEntry.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sys/mman.h>

namespace {

// Large pages for the Flash buffer: filling 64 MiB page by page costs half
// a second of page faults on a virtual machine, in every start of a program.
void adviseLargePages(uint8_t* area, qint64 size)
{
    constexpr uintptr_t kPage = 4096;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(area) + kPage - 1) & ~(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(area) + uintptr_t(size)) & ~(kPage - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

} // namespace

std::unique_ptr<uint8_t[]> blankArea(qint64 size)
{
    std::unique_ptr<uint8_t[]> area(new uint8_t[size_t(size)]);
    adviseLargePages(area.get(), size);
    std::memset(area.get(), 0xFF, size_t(size));
    return area;
}

Buffers::Buffers()
    : flash_(blankArea(kFlashCapacity)), eeprom_(blankArea(kEepromCapacity))
{
}

void Buffers::fillFlash(uint8_t value) { std::memset(flash_.get(), value, kFlashCapacity); }
void Buffers::fillEeprom(uint8_t value) { std::memset(eeprom_.get(), value, kEepromCapacity); }

void Buffers::reloadFlashView(const ChipEntry& chip)
{
    if (flashView_)
        flashView_->loadBytes(flash_.get(), std::min<qint64>(chip.flashBytes(), kFlashCapacity));
}

void Buffers::reloadEepromView(const ChipEntry& chip)
{
    if (eepromView_)
        eepromView_->loadBytes(eeprom_.get(), std::min<qint64>(chip.eepromBytes(), kEepromCapacity));
}

void Buffers::takeFlashViewEdits(const ChipEntry& chip)
{
    if (!flashView_ || !flashView_->isModified())
        return;
    const qint64 n = std::min({qint64(chip.flashBytes()), flashView_->byteCount(), kFlashCapacity});
    flashView_->copyOut(flash_.get(), n);
    flashLength_ = static_cast<int32_t>(n);
    flashView_->clearModified();
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

uint32_t Buffers::flashCrc() const
{
    return crc32Of(flash_.get(), std::clamp<qint64>(flashLength_, 0, kFlashCapacity));
}

uint32_t Buffers::eepromCrc() const
{
    return crc32Of(eeprom_.get(), std::clamp<qint64>(eepromLength_, 0, kEepromCapacity));
}
