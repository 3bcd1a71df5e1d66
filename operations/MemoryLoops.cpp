#include "operations/MemoryLoops.h"

#include "app/UserInterface.h"
#include "buffers/Buffers.h"
#include "chipdb/ChipEntry.h"
#include "device/BlockProtection.h"
#include "device/Programmer.h"
#include "operations/CompareReport.h"
#include "operations/OperationFrame.h"

#include <algorithm>
#include <cstring>

namespace {

// One memory of the chip and the buffer that stands for it.
struct Area {
    bool flash;
    uint8_t streamCode;
    qint64 chipSize;
    int pageSize;
    int block;  // page size, at least 64
    uint8_t reportId;
    qint64 capacity;  // of the buffer
};

Area areaOf(const ChipEntry& chip, MemoryPage memory)
{
    Area a{};
    a.flash = memory == MemoryPage::Flash;
    a.streamCode = a.flash ? kCmdOpenFlashStream : kCmdOpenEepromStream;
    a.chipSize = a.flash ? qint64(chip.flashBytes()) : qint64(chip.eepromBytes());
    a.pageSize = a.flash ? chip.flashPage() : chip.eepromPageSize;
    a.block = streamBlockSize(a.pageSize);
    a.reportId = blockReportId(a.block);
    a.capacity = a.flash ? Buffers::kFlashCapacity : Buffers::kEepromCapacity;
    return a;
}

// The buffer's bytes that the blocks up to `count` take, as far as the
// buffer reaches.
const uint8_t* blockSource(const Buffers& buffers, const Area& a, qint64 count)
{
    const ErasedArea& area = a.flash ? buffers.flashArea() : buffers.eepromArea();
    return area.bytes(0, std::min((count + a.block - 1) / a.block * a.block, a.capacity));
}

QString statusText(UserInterface& ui, bool flash, Msg flashText, const char* eepromText)
{
    // The EEPROM texts are the same in every language.
    return flash ? ui.message(flashText) : QString::fromUtf8(eepromText);
}

} // namespace

int32_t readDataLength(const uint8_t* data, qint64 total, bool flash)
{
    qint64 n = total;
    while (n > 0 && data[n - 1] == 0xFF)
        --n;
    if (flash && (n & 1))
        ++n;
    return static_cast<int32_t>(n);
}

uint8_t* MemoryLoops::scratch(std::size_t size)
{
    // Kept from read to read: fresh pages for every read cost more than the read.
    if (!scratch_ || size > scratchSize_) {
        scratchSize_ = std::max<std::size_t>(size, 1);
        scratch_ = std::make_unique_for_overwrite<uint8_t[]>(scratchSize_);
    }
    return scratch_.get();
}

void MemoryLoops::endProgress()
{
    ui_.progressSet(0);
    ui_.progressEnd();
}

const uint8_t* MemoryLoops::readWhole(const ChipEntry& chip, MemoryPage memory, Outcome& outcome)
{
    const Area a = areaOf(chip, memory);
    ui_.setStatus(statusText(ui_, a.flash, Msg::ReadFlash, "读出 Eeprom ..."));
    ui_.progressStart(a.chipSize);
    if (!programmer_.openStream(0, a.streamCode)) {
        outcome = reportTransferFailure(ui_, programmer_);
        return nullptr;
    }
    // The last block comes whole; only the chip's size of it is data.
    const qint64 blocks = (a.chipSize + a.block - 1) / a.block;
    uint8_t* const chipBytes = scratch(std::size_t(blocks * a.block));
    for (qint64 address = 0; address < a.chipSize; address += a.block) {
        if (!programmer_.readBlock(a.reportId, a.block, chipBytes + address)) {
            outcome = reportTransferFailure(ui_, programmer_);
            return nullptr;
        }
        ui_.progressSet(address);
        ui_.pumpEvents();
        // Nothing read so far reaches the buffer.
        if (ui_.stopRequested()) {
            outcome = reportStopped(ui_);
            return nullptr;
        }
    }
    outcome = Outcome::Done;
    return chipBytes;
}

void MemoryLoops::takeIn(const ChipEntry& chip, MemoryPage memory, Buffers& buffers, const uint8_t* chipBytes)
{
    const Area a = areaOf(chip, memory);
    const int32_t length = readDataLength(chipBytes, a.chipSize, a.flash);
    if (a.flash) {
        buffers.flashArea().write(0, chipBytes, a.chipSize);
        buffers.setFlashLength(length);
        buffers.reloadFlashView(chip);
    } else {
        buffers.eepromArea().write(0, chipBytes, a.chipSize);
        buffers.setEepromLength(length);
        buffers.reloadEepromView(chip);
    }
}

Outcome MemoryLoops::read(const ChipEntry& chip, MemoryPage memory, Buffers& buffers)
{
    Outcome outcome = Outcome::Done;
    const uint8_t* const chipBytes = readWhole(chip, memory, outcome);
    if (!chipBytes)
        return outcome;
    takeIn(chip, memory, buffers, chipBytes);
    endProgress();
    return Outcome::Done;
}

Outcome MemoryLoops::readAgreeing(const ChipEntry& chip, MemoryPage memory, Buffers& buffers, int reads,
                                  CompareReport& report)
{
    const std::size_t size = std::size_t(areaOf(chip, memory).chipSize);
    std::vector<uint8_t> first;
    // The first differing value any later read gave, where one differed.
    std::vector<uint8_t> other;
    for (int n = 0; n < reads; ++n) {
        Outcome outcome = Outcome::Done;
        const uint8_t* const bytes = readWhole(chip, memory, outcome);
        if (!bytes)
            return outcome;
        if (n == 0) {
            first.assign(bytes, bytes + size);
            continue;
        }
        if (std::memcmp(bytes, first.data(), size) == 0)
            continue;
        if (other.empty())
            other = first;
        for (std::size_t i = 0; i < size; ++i)
            if (bytes[i] != first[i] && other[i] == first[i])
                other[i] = bytes[i];
    }
    report.start(qint64(size), false);
    if (!other.empty())
        report.add(0, first.data(), other.data(), size);
    report.finish();
    // Reads that disagree hold nothing to keep.
    if (report.equal())
        takeIn(chip, memory, buffers, first.data());
    endProgress();
    return report.equal() ? Outcome::Done : Outcome::Declined;
}

Outcome MemoryLoops::blank(const ChipEntry& chip)
{
    const Area a = areaOf(chip, MemoryPage::Flash);
    firstUsed_.reset();
    ui_.setStatus(ui_.message(Msg::BankFlash));
    const Outcome outcome = walk(a.streamCode, a.block, a.chipSize, [&](qint64 address) {
        // The whole block counts, also past the end of the chip.
        const auto used = std::find_if(block_.begin(), block_.end(), [](uint8_t b) { return b != 0xFF; });
        if (used == block_.end())
            return true;
        firstUsed_ = address + (used - block_.begin());
        return false;
    });
    if (outcome == Outcome::Declined)
        ui_.showError(ui_.message(Msg::ChipNotEmpty));
    return outcome;
}

Outcome MemoryLoops::write(const ChipEntry& chip, MemoryPage memory, Buffers& buffers)
{
    const Area a = areaOf(chip, memory);
    writtenUpTo_ = 0;
    ui_.setStatus(statusText(ui_, a.flash, Msg::WriteFlash, "编程 Eeprom ..."));
    qint64 length = a.flash ? buffers.flashLength() : buffers.eepromLength();
    if (a.pageSize > 0 && length % a.pageSize != 0) {
        // Whole pages go to the chip, and the data length says so from now
        // on; it never reaches past the buffer.
        length = std::min((length / a.pageSize + 1) * a.pageSize, a.capacity);
        if (a.flash)
            buffers.setFlashLength(static_cast<int32_t>(length));
        else
            buffers.setEepromLength(static_cast<int32_t>(length));
    }
    qint64 count = length;
    if (a.chipSize < length) {
        if (!ui_.askYesNo(ui_.message(Msg::FileLargerThanChip)))
            return Outcome::Declined;
        count = a.chipSize;
    }
    const uint8_t* const source = blockSource(buffers, a, count);
    ui_.progressStart(count);
    if (!programmer_.openStream(0, a.streamCode))
        return reportTransferFailure(ui_, programmer_);
    for (qint64 address = 0; address < count; address += a.block) {
        const uint8_t* data = source + address;
        if (address + a.block > a.capacity) {
            // The last block reaches past the buffer: erased bytes there.
            block_.assign(std::size_t(a.block), 0xFF);
            std::memcpy(block_.data(), data, std::size_t(a.capacity - address));
            data = block_.data();
        }
        if (!programmer_.writeBlock(a.reportId, a.block, data))
            return reportTransferFailure(ui_, programmer_);
        writtenUpTo_ = std::min(address + a.block, count);
        ui_.progressSet(address);
        ui_.pumpEvents();
        if (ui_.stopRequested() && address + a.block < count)
            return reportStopped(ui_, Msg::WriteStoppedPartly);
    }
    // A 24-series EEPROM is still busy with its last page.
    if (chip.chipClass == kClass24Eeprom)
        ui_.pause(100);
    endProgress();
    return Outcome::Done;
}

template <typename BlockCheck>
Outcome MemoryLoops::walk(uint8_t streamCode, int block, qint64 count, BlockCheck check)
{
    ui_.progressStart(count);
    if (!programmer_.openStream(0, streamCode))
        return reportTransferFailure(ui_, programmer_);
    block_.resize(std::size_t(block));
    for (qint64 address = 0; address < count; address += block) {
        if (!programmer_.readBlock(blockReportId(block), block, block_.data()))
            return reportTransferFailure(ui_, programmer_);
        if (!check(address)) {
            endProgress();
            return Outcome::Declined;
        }
        ui_.progressSet(address);
        ui_.pumpEvents();
        if (ui_.stopRequested())
            return reportStopped(ui_);
    }
    endProgress();
    return Outcome::Done;
}

template <typename BlockCheck>
Outcome MemoryLoops::walkAgainstBuffer(const ChipEntry& chip, MemoryPage memory, const Buffers& buffers,
                                       BlockCheck check)
{
    const Area a = areaOf(chip, memory);
    ui_.setStatus(statusText(ui_, a.flash, Msg::VerifyFlash, "校验 Eeprom ..."));
    const qint64 count = comparedBytes(chip, memory, buffers);
    const uint8_t* const source = blockSource(buffers, a, count);
    return walk(a.streamCode, a.block, count, [&](qint64 address) {
        // Whole blocks are compared, as far as the buffer reaches.
        const std::size_t n = std::size_t(std::min<qint64>(a.block, a.capacity - address));
        return check(address, source + address, n);
    });
}

Outcome MemoryLoops::verify(const ChipEntry& chip, MemoryPage memory, const Buffers& buffers)
{
    qint64 where = 0;
    const Outcome outcome =
        walkAgainstBuffer(chip, memory, buffers, [&](qint64 address, const uint8_t* expected, std::size_t n) {
            if (std::memcmp(expected, block_.data(), n) == 0)
                return true;
            const auto at = std::mismatch(block_.begin(), block_.begin() + qint64(n), expected).first;
            where = address + (at - block_.begin());
            return false;
        });
    if (outcome == Outcome::Declined)
        ui_.showError(ui_.message(Msg::FlashCheckErrorAddress) + QString::asprintf("%Xh", static_cast<unsigned>(where)));
    return outcome;
}

Outcome MemoryLoops::compare(const ChipEntry& chip, MemoryPage memory, const Buffers& buffers,
                             CompareReport& report)
{
    report.start(comparedBytes(chip, memory, buffers), unlockMethodFor(chip) != UnlockMethod::None);
    // Every block to the end, whatever the first ones held.
    const Outcome walked =
        walkAgainstBuffer(chip, memory, buffers, [&](qint64 address, const uint8_t* expected, std::size_t n) {
            report.add(address, expected, block_.data(), n);
            return true;
        });
    report.finish();
    if (walked != Outcome::Done)
        return walked;
    return report.equal() ? Outcome::Done : Outcome::Declined;
}

qint64 comparedBytes(const ChipEntry& chip, MemoryPage memory, const Buffers& buffers)
{
    const bool flash = memory == MemoryPage::Flash;
    const uint32_t chipSize = flash ? chip.flashBytes() : chip.eepromBytes();
    const uint32_t length = static_cast<uint32_t>(flash ? buffers.flashLength() : buffers.eepromLength());
    return std::min(chipSize, length);
}
