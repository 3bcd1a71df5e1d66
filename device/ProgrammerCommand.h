#pragma once
// Command codes of the programmer and the numbering of its data reports.

#include <cstdint>

enum ProgrammerCommand : uint8_t {
    kCmdReadSignature = 0x01,
    kCmdErase = 0x02,
    kCmdReadConfig = 0x03,
    kCmdWriteFuses = 0x04,
    kCmdWriteLock = 0x06,
    kCmdOpenFlashStream = 0x07,
    kCmdOpenEepromStream = 0x08,
    kCmdSetup = 0x09,
    kCmdFinish = 0x0A,
    kCmdReadId = 0x0B,
    kCmdPollStatus = 0x0C,
    kCmdRawSpi = 0x0D,
};

inline constexpr int kCommandReportSize = 64;
inline constexpr uint8_t kCommandReportId = 0x01;
inline constexpr uint16_t kWholeChipErase = 0x8000;
inline constexpr uint8_t kSetupByte19 = 0x1E;

// A stream block is one page, but never less than 64 bytes.
constexpr int streamBlockSize(int pageSize) { return pageSize < 64 ? 64 : pageSize; }

// Report number of a data report carrying one block of the given size.
constexpr uint8_t blockReportId(int blockSize)
{
    switch (blockSize) {
    case 64: return 0x02;
    case 128: return 0x03;
    case 256: return 0x04;
    case 512: return 0x05;
    case 264: return 0x06;
    case 528: return 0x07;
    default: return 0x02;
    }
}
