#include "operations/EraseProcedure.h"

#include "app/UserInterface.h"
#include "chipdb/ChipEntry.h"
#include "device/BlockProtection.h"
#include "device/Programmer.h"
#include "operations/OperationFrame.h"

#include <algorithm>
#include <vector>

namespace {

// How the erase body ended.
enum class Erased { Done, Failed, Stopped, StillBusy };

// Whole chip at once, then a busy poll every 50 ms until the chip is ready,
// up to the bound; a chip busy all that time has not erased.
Erased eraseWholeChip(Programmer& programmer, UserInterface& ui, const ChipEntry& chip)
{
    const int delay = chip.eraseDelayValue();
    const int bound = eraseBusyPollBound(delay);
    ui.progressStart(delay, ProgressKind::Steps);
    if (!programmer.erase(kWholeChipErase))
        return Erased::Failed;
    for (int polls = 1;; ++polls) {
        ui.pause(kErasePollIntervalMs);
        bool busy = false;
        if (!programmer.pollStatus(busy))
            return Erased::Failed;
        if (!busy)
            return Erased::Done;
        if (polls >= bound)
            return Erased::StillBusy;
        ui.progressSet(std::min(polls, delay));
        ui.pumpEvents();
        if (ui.stopRequested())
            return Erased::Stopped;
    }
}

// One command pair or one Erase per page, from address 0 up.
template <typename ErasePage>
Erased eraseByPages(UserInterface& ui, const ChipEntry& chip, ErasePage erasePage)
{
    const uint32_t size = chip.flashBytes();
    const uint32_t page = chip.flashPage();
    if (page == 0)  // refused before the job starts; never loop on it
        return Erased::Done;
    for (uint32_t address = 0; address < size; address += page) {
        if (!erasePage(address))
            return Erased::Failed;
        ui.progressSet(address);
        ui.pumpEvents();
        if (ui.stopRequested() && address + page < size)
            return Erased::Stopped;
    }
    return Erased::Done;
}

Erased eraseBody(Programmer& programmer, UserInterface& ui, const ChipEntry& chip)
{
    const auto done = [](bool ok) { return ok ? Erased::Done : Erased::Failed; };
    switch (chip.chipClass) {
    case 0:
        return eraseWholeChip(programmer, ui, chip);
    case 1: case 3: case 4: case 5:
        ui.progressStart(chip.flashBytes(), ProgressKind::Steps);
        if (!programmer.openStream(0, kCmdOpenFlashStream))
            return Erased::Failed;
        return eraseByPages(ui, chip, [&](uint32_t address) {
            return programmer.erase(static_cast<uint16_t>(address % 65536));
        });
    case 6:
        ui.progressStart(chip.flashBytes(), ProgressKind::Steps);
        return eraseByPages(ui, chip, [&](uint32_t address) {
            static constexpr uint8_t kWriteEnable = 0x06;
            const uint8_t pageErase[4] = {0xDB, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address)};
            return programmer.sendRawSpi(&kWriteEnable, 1) && programmer.sendRawSpi(pageErase, 4);
        });
    case 2: case 7: case 8:
        ui.progressStart(0, ProgressKind::Steps);
        return done(programmer.erase(chip.eraseDelayValue()));
    default:
        ui.progressStart(0, ProgressKind::Steps);
        return Erased::Done;
    }
}

// The first stream block from address 0, as a read starts: a whole-chip
// protection shows there. Done when blank, Declined (said why) when not.
Outcome checkErased(Programmer& programmer, UserInterface& ui, const ChipEntry& chip)
{
    const int block = streamBlockSize(chip.flashPage());
    std::vector<uint8_t> bytes(std::size_t(block), 0xFF);
    if (!programmer.openStream(0, kCmdOpenFlashStream) || !programmer.readBlock(blockReportId(block), block, bytes.data()))
        return reportTransferFailure(ui, programmer);
    // Past the end of a small chip the block holds no memory.
    const auto end = bytes.begin() + std::min<qint64>(block, chip.flashBytes());
    const auto notBlank = std::find_if(bytes.begin(), end, [](uint8_t b) { return b != 0xFF; });
    if (notBlank == end)
        return Outcome::Done;
    QString text = ui.message(Msg::EraseNotBlank)
                       .arg(QString::asprintf("%Xh", unsigned(notBlank - bytes.begin())),
                            QString::asprintf("%02X", *notBlank));
    if (unlockMethodFor(chip) != UnlockMethod::None)
        text += QLatin1Char('\n') + ui.message(Msg::EraseSuggestUnprotect);
    ui.showError(text);
    return Outcome::Declined;
}

} // namespace

int eraseBusyPollBound(int eraseDelay)
{
    return kEraseBusyBoundFactor * (std::max(eraseDelay, 0) + 2);
}

Outcome eraseChipMemory(Programmer& programmer, UserInterface& ui, const ChipEntry& chip)
{
    ui.setStatus(ui.message(Msg::EraseFlash));
    switch (eraseBody(programmer, ui, chip)) {
    case Erased::Failed:
        return reportTransferFailure(ui, programmer);
    case Erased::Stopped:
        return reportStopped(ui, Msg::EraseStoppedPartly);
    case Erased::StillBusy: {
        const double seconds = eraseBusyPollBound(chip.eraseDelayValue()) * kErasePollIntervalMs / 1000.0;
        ui.progressSet(0);
        ui.progressEnd();
        ui.showError(ui.message(Msg::EraseStillBusy).arg(QString::number(seconds, 'g', 4)));
        return Outcome::Declined;
    }
    case Erased::Done:
        break;
    }
    ui.progressSet(0);
    ui.progressEnd();
    return checkErased(programmer, ui, chip);
}
