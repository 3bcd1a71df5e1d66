#include "operations/EraseProcedure.h"

#include "app/UserInterface.h"
#include "chipdb/ChipEntry.h"
#include "device/Programmer.h"
#include "operations/OperationFrame.h"

namespace {

// How the erase body ended.
enum class Erased { Done, Failed, Stopped };

// Whole chip at once, then busy polls: at most erase delay + 2 of them; a
// chip still busy after that is left to finish on its own.
Erased eraseWholeChip(Programmer& programmer, UserInterface& ui, const ChipEntry& chip)
{
    const int delay = chip.eraseDelayValue();
    ui.progressStart(delay, ProgressKind::Steps);
    if (!programmer.erase(kWholeChipErase))
        return Erased::Failed;
    int counter = 0;
    bool busy = false;
    do {
        ui.pause(kErasePollIntervalMs);
        if (!programmer.pollStatus(busy))
            return Erased::Failed;
        if (counter > delay)
            break;
        ++counter;
        ui.progressSet(counter);
        ui.pumpEvents();
        if (busy && ui.stopRequested())
            return Erased::Stopped;
    } while (busy);
    return Erased::Done;
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

} // namespace

Outcome eraseChipMemory(Programmer& programmer, UserInterface& ui, const ChipEntry& chip)
{
    ui.setStatus(ui.message(Msg::EraseFlash));
    switch (eraseBody(programmer, ui, chip)) {
    case Erased::Failed:
        return reportTransferFailure(ui, programmer);
    case Erased::Stopped:
        return reportStopped(ui, Msg::EraseStoppedPartly);
    case Erased::Done:
        break;
    }
    ui.progressSet(0);
    ui.progressEnd();
    return Outcome::Done;
}
