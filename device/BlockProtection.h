#pragma once
// Block protection of an SPI flash (class 0) and the command sequence that
// clears it, sent as RawSpi transactions. Which sequence a chip understands
// follows one rule on its chip record:
//   - a model named "SST26..." or an identifier 0xBF26xx (the SST26 family
//     and its relabelled twins) keeps its protection in a block-protection
//     register: write enable (0x06), then global unlock (ULBPR, 0x98);
//   - subtype 1 ("SST flash", the SST25 byte/AAI parts): enable write status
//     register (EWSR, 0x50), then write status register 0 (0x01 0x00);
//   - every other class-0 chip: write enable (0x06), then write status
//     register 0 (0x01 0x00), which clears the BP bits.
// Chips of other classes have no such protection.

#include <cstdint>
#include <vector>

struct ChipEntry;

enum class UnlockMethod {
    None,               // not an SPI flash
    WriteStatus,        // WREN, WRSR 00
    EnableWriteStatus,  // EWSR, WRSR 00
    GlobalUnlock,       // WREN, ULBPR
};

UnlockMethod unlockMethodFor(const ChipEntry& chip);

// The transactions of a method, each one RawSpi report, in order.
std::vector<std::vector<uint8_t>> unlockSequence(UnlockMethod method);

// SPI flash commands the sequences and the simulated chip share.
inline constexpr uint8_t kSpiWriteEnable = 0x06;
inline constexpr uint8_t kSpiEnableWriteStatus = 0x50;
inline constexpr uint8_t kSpiWriteStatus = 0x01;
inline constexpr uint8_t kSpiGlobalUnlock = 0x98;
// BP0..BP3 of the status register.
inline constexpr uint8_t kStatusBlockProtectBits = 0x3C;
// The longest status-register write of the common parts (tW).
inline constexpr int kStatusWriteMs = 15;
