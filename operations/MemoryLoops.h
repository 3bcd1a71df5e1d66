#pragma once
// The block loops that move a chip memory through a stream: read, blank
// check, write and verify. One data report per page (at least 64 bytes);
// progress and the event pump after every block; the first failed transfer
// ends the loop with its message.

#include "buffers/MemoryPage.h"
#include "operations/Outcome.h"

#include <cstdint>
#include <QtGlobal>
#include <memory>
#include <optional>
#include <vector>

class Buffers;
class CompareReport;
class Programmer;
class UserInterface;
struct ChipEntry;

class MemoryLoops {
public:
    MemoryLoops(Programmer& programmer, UserInterface& ui) : programmer_(programmer), ui_(ui) {}

    // Any memory but Flash means the EEPROM. The chip is read into scratch
    // first, so a read that fails leaves buffer, data length and view alone;
    // a read that succeeds sets the trimmed data length and reloads the view.
    Outcome read(const ChipEntry& chip, MemoryPage memory, Buffers& buffers);
    // Reads the chip `reads` times and compares the reads into the report
    // (the first read as expected, the first other value a later read gave
    // as found). Done with the read taken in as read() does when all agree;
    // Declined with buffer, data length and view untouched when they differ.
    Outcome readAgreeing(const ChipEntry& chip, MemoryPage memory, Buffers& buffers, int reads,
                         CompareReport& report);
    // Declined (with "The chip is not empty.") at the first block holding a
    // byte other than 0xFF; firstUsed() then names that byte's address.
    Outcome blank(const ChipEntry& chip);
    std::optional<qint64> firstUsed() const { return firstUsed_; }
    // Rounds the data length up to whole pages (kept); Declined when the
    // data are larger than the chip and the user does not want them cut.
    // writtenUpTo() is the end of the blocks the last write sent.
    Outcome write(const ChipEntry& chip, MemoryPage memory, Buffers& buffers);
    qint64 writtenUpTo() const { return writtenUpTo_; }
    // Declined (with the first differing address) on a mismatch.
    Outcome verify(const ChipEntry& chip, MemoryPage memory, const Buffers& buffers);
    // The verify's bytes, read to the end whatever differs, into the report;
    // Declined when anything differs. Shows nothing of the differences.
    Outcome compare(const ChipEntry& chip, MemoryPage memory, const Buffers& buffers, CompareReport& report);

private:
    // Reads `count` bytes of the stream block by block into block_ and hands
    // each block's address to check(), whose false ends the walk as Declined.
    template <typename BlockCheck>
    Outcome walk(uint8_t streamCode, int block, qint64 count, BlockCheck check);
    // Reads the verify's blocks and hands each to check(address, expected,
    // count), whose false ends the walk as Declined.
    template <typename BlockCheck>
    Outcome walkAgainstBuffer(const ChipEntry& chip, MemoryPage memory, const Buffers& buffers, BlockCheck check);
    // The chip's memory into scratch; null after a failure or a stop, with
    // its message shown and `outcome` set.
    const uint8_t* readWhole(const ChipEntry& chip, MemoryPage memory, Outcome& outcome);
    // Read bytes into the buffer: the trimmed data length, the view reloaded.
    void takeIn(const ChipEntry& chip, MemoryPage memory, Buffers& buffers, const uint8_t* chipBytes);
    void endProgress();
    uint8_t* scratch(std::size_t size);

    Programmer& programmer_;
    UserInterface& ui_;
    std::vector<uint8_t> block_;
    std::unique_ptr<uint8_t[]> scratch_;  // a whole chip, read before it is taken in
    std::size_t scratchSize_ = 0;
    std::optional<qint64> firstUsed_;
    qint64 writtenUpTo_ = 0;
};

// The bytes a verify compares: the smaller of the chip's memory and the
// buffer's data length (whole blocks are read past it).
qint64 comparedBytes(const ChipEntry& chip, MemoryPage memory, const Buffers& buffers);

// Data length of read bytes: trailing 0xFF left out; a Flash length is then
// raised to even.
int32_t readDataLength(const uint8_t* data, qint64 total, bool flash);
