#pragma once
// The Flash and EEPROM buffers with their data lengths, and the hand-over of
// their bytes to the views.

#include "buffers/ByteView.h"

#include <cstdint>
#include <memory>

struct ChipEntry;

class Buffers {
public:
    static constexpr qint64 kFlashCapacity = 64 * 1024 * 1024;
    static constexpr qint64 kEepromCapacity = 8192;

    Buffers();

    uint8_t* flash() { return flash_.get(); }
    const uint8_t* flash() const { return flash_.get(); }
    uint8_t* eeprom() { return eeprom_.get(); }
    const uint8_t* eeprom() const { return eeprom_.get(); }

    int32_t flashLength() const { return flashLength_; }
    int32_t eepromLength() const { return eepromLength_; }
    void setFlashLength(int32_t n) { flashLength_ = n; }
    void setEepromLength(int32_t n) { eepromLength_ = n; }

    void fillFlash(uint8_t value = 0xFF);
    void fillEeprom(uint8_t value = 0xFF);

    // Views are optional (the terminal front end has none).
    void setFlashView(ByteView* view) { flashView_ = view; }
    void setEepromView(ByteView* view) { eepromView_ = view; }

    // The view shows the first Flash-size (EEPROM-size) bytes of the chip.
    void reloadFlashView(const ChipEntry& chip);
    void reloadEepromView(const ChipEntry& chip);
    // A modified Flash view goes back into the buffer, up to the chip's size,
    // and sets the data length.
    void takeFlashViewEdits(const ChipEntry& chip);

    // CRC-32 (as zip and most vendors compute it) of the data-length bytes.
    uint32_t flashCrc() const;
    uint32_t eepromCrc() const;

private:
    std::unique_ptr<uint8_t[]> flash_;
    std::unique_ptr<uint8_t[]> eeprom_;
    int32_t flashLength_ = 0;
    int32_t eepromLength_ = 0;
    ByteView* flashView_ = nullptr;
    ByteView* eepromView_ = nullptr;
};

// A work area of `size` bytes of 0xFF, on large pages where it is large: a
// whole buffer's worth costs no second of page faults.
std::unique_ptr<uint8_t[]> blankArea(qint64 size);

// CRC-32 of a byte range.
uint32_t crc32Of(const uint8_t* data, qint64 count);
