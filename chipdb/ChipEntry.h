#pragma once
// One chip of the chip list: a fixed 68-byte record, exactly as it lies in
// the chip-list file (multi-byte fields little-endian).

#include <QByteArray>
#include <array>
#include <cstdint>
#include <cstring>

#pragma pack(push, 1)
struct ChipEntry {
    static constexpr int kKeySize = 48;      // NUL-terminated, at most 47 bytes of text
    static constexpr int kMaxKeyLength = kKeySize - 1;

    char key[kKeySize];          // "type,manufacturer,model[,association]"
    uint8_t id[4];               // signed 32-bit JEDEC identifier
    uint8_t flashSize[4];        // unsigned 32-bit, bytes
    uint8_t flashPageSize[2];    // unsigned 16-bit
    uint8_t chipClass;           // 0 SPI flash, 1 24-series, 2 93-series, 3 95-series, 4 25-series, 5..8
    uint8_t subtype;
    uint8_t eraseDelay[2];       // unsigned 16-bit
    uint8_t eepromSize[2];       // unsigned 16-bit, 0 = no data EEPROM
    uint8_t eepromPageSize;
    uint8_t reserved;
    uint8_t interfaceCode;       // 1 ZIF socket, 2 ISP header, 0 none
    uint8_t voltageCode;         // 0 "3.3V", 1 "5.0V"

    int32_t chipId() const { return static_cast<int32_t>(le32(id)); }
    uint32_t flashBytes() const { return le32(flashSize); }
    uint16_t flashPage() const { return le16(flashPageSize); }
    uint16_t eraseDelayValue() const { return le16(eraseDelay); }
    uint16_t eepromBytes() const { return le16(eepromSize); }

    void setChipId(int32_t v) { put32(id, static_cast<uint32_t>(v)); }
    void setFlashBytes(uint32_t v) { put32(flashSize, v); }
    void setFlashPage(uint16_t v) { put16(flashPageSize, v); }
    void setEraseDelay(uint16_t v) { put16(eraseDelay, v); }
    void setEepromBytes(uint16_t v) { put16(eepromSize, v); }

    // The key text up to its NUL (or all 48 bytes when there is none).
    QByteArray keyText() const { return QByteArray(key, static_cast<int>(strnlen(key, kKeySize))); }
    // Stores a key; false (and nothing stored) when it does not fit 47 bytes.
    bool setKeyText(const QByteArray& text);
    // The list ends at the first entry whose first byte is zero.
    bool isEnd() const { return key[0] == 0; }

private:
    static uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
    static uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
    static void put32(uint8_t* p, uint32_t v) { p[0] = v & 0xFF; p[1] = (v >> 8) & 0xFF; p[2] = (v >> 16) & 0xFF; p[3] = v >> 24; }
    static void put16(uint8_t* p, uint16_t v) { p[0] = v & 0xFF; p[1] = v >> 8; }
};
#pragma pack(pop)

static_assert(sizeof(ChipEntry) == 68, "a chip entry is 68 bytes on disk");
static_assert(alignof(ChipEntry) == 1);

// Class codes the chip list names.
enum ChipClass : uint8_t {
    kClassSpiFlash = 0,
    kClass24Eeprom = 1,
    kClass93Eeprom = 2,
    kClass95Eeprom = 3,
    kClass25Eeprom = 4,
};

// A microcontroller-type chip: a class beyond the five memory families, with
// a data EEPROM. Such a chip carries a signature and fuse and lock bytes.
inline bool isMicrocontroller(const ChipEntry& chip)
{
    return chip.chipClass > kClass25Eeprom && chip.eepromBytes() != 0;
}
