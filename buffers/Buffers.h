#pragma once
// The Flash and EEPROM buffers with their data lengths, and the hand-over of
// their bytes to the views.

#include "buffers/ByteView.h"
#include "buffers/ErasedArea.h"

#include <cstdint>
#include <functional>

struct ChipEntry;

class Buffers {
public:
    static constexpr qint64 kFlashCapacity = 64 * 1024 * 1024;
    static constexpr qint64 kEepromCapacity = 8192;

    Buffers();

    // The buffers' bytes, 0xFF wherever nothing was stored: the program's
    // code takes spans of what it reads or writes, so a buffer costs memory
    // only up to the highest byte ever used.
    ErasedArea& flashArea() { return flash_; }
    const ErasedArea& flashArea() const { return flash_; }
    ErasedArea& eepromArea() { return eeprom_; }
    const ErasedArea& eepromArea() const { return eeprom_; }

    // A whole buffer as plain memory, every byte of it stored (64 MiB for the
    // Flash): for tests and tools that poke bytes by address.
    uint8_t* flash() { return flash_.span(0, kFlashCapacity); }
    const uint8_t* flash() const { return flash_.bytes(0, kFlashCapacity); }
    uint8_t* eeprom() { return eeprom_.span(0, kEepromCapacity); }
    const uint8_t* eeprom() const { return eeprom_.bytes(0, kEepromCapacity); }

    int32_t flashLength() const { return flashLength_; }
    int32_t eepromLength() const { return eepromLength_; }
    void setFlashLength(int32_t n) { flashLength_ = n; }
    void setEepromLength(int32_t n) { eepromLength_ = n; }

    // 0xFF costs nothing (the stored bytes are let go); any other value
    // stores the whole buffer.
    void fillFlash(uint8_t value = 0xFF);
    void fillEeprom(uint8_t value = 0xFF);

    // Views are optional (the terminal front end has none).
    void setFlashView(ByteView* view) { flashView_ = view; }
    void setEepromView(ByteView* view) { eepromView_ = view; }

    // The view shows the first Flash-size (EEPROM-size) bytes of the chip.
    void reloadFlashView(const ChipEntry& chip);
    // The same after a change of the Flash bytes [from, from + count) only:
    // the view's own edits of other bytes stay.
    void refreshFlashView(const ChipEntry& chip, qint64 from, qint64 count);
    void reloadEepromView(const ChipEntry& chip);
    // A modified Flash view goes back into the buffer, up to the chip's size,
    // and sets the data length.
    void takeFlashViewEdits(const ChipEntry& chip);
    // The same for the EEPROM view, up to the chip's EEPROM size.
    void takeEepromViewEdits(const ChipEntry& chip);

    // Told before a fill or a merge changes the Flash bytes [from, from +
    // count) and the data length, so that a window can keep them for undo.
    using ChangeWatch = std::function<void(qint64 from, qint64 count)>;
    void watchFlashChanges(ChangeWatch watch) { flashWatch_ = std::move(watch); }
    void flashAboutToChange(qint64 from, qint64 count) const
    {
        if (flashWatch_)
            flashWatch_(from, count);
    }

    // CRC-32 (as zip and most vendors compute it) of the data-length bytes.
    uint32_t flashCrc() const;
    uint32_t eepromCrc() const;

private:
    ErasedArea flash_{kFlashCapacity};
    ErasedArea eeprom_{kEepromCapacity};
    int32_t flashLength_ = 0;
    int32_t eepromLength_ = 0;
    ByteView* flashView_ = nullptr;
    ByteView* eepromView_ = nullptr;
    ChangeWatch flashWatch_;
};

// CRC-32 of a byte range.
uint32_t crc32Of(const uint8_t* data, qint64 count);
