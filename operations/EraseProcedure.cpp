#include "operations/EraseProcedure.h"

#include "app/UserInterface.h"
#include "chipdb/ChipEntry.h"
#include "device/Programmer.h"
#include "operations/OperationFrame.h"

namespace {

// Whole chip at once, then busy polls: at most erase delay + 2 of them; a
// chip still busy after that is left to finish on its own.
bool eraseWholeChip(Programmer& programmer, UserInterface& ui, const ChipEntry& chip)
{
    const int delay = chip.eraseDelayValue();
    ui.progressStart(delay);
    if (!programmer.erase(kWholeChipErase))
        return false;
    int counter = 0;
    bool busy = false;
    do {
        ui.pause(kErasePollIntervalMs);
        if (!programmer.pollStatus(busy))
            return false;
        if (counter > delay)
            break;
        ++counter;
        ui.progressSet(counter);
        ui.pumpEvents();
    } while (busy);
    return true;
}

// One command pair or one Erase per page, from address 0 up.
template <typename ErasePage>
bool eraseByPages(UserInterface& ui, const ChipEntry& chip, ErasePage erasePage)
{
    const uint32_t size = chip.flashBytes();
    const uint32_t page = chip.flashPage();
    if (page == 0)  // refused before the job starts; never loop on it
        return true;
    for (uint32_t address = 0; address < size; address += page) {
        if (!erasePage(address))
            return false;
        ui.progressSet(address);
        ui.pumpEvents();
    }
    return true;
}

bool eraseBody(Programmer& programmer, UserInterface& ui, const ChipEntry& chip)
{
    switch (chip.chipClass) {
    case 0:
        return eraseWholeChip(programmer, ui, chip);
    case 1: case 3: case 4: case 5:
        ui.progressStart(chip.flashBytes());
        if (!programmer.openStream(0, kCmdOpenFlashStream))
            return false;
        return eraseByPages(ui, chip, [&](uint32_t address) {
            return programmer.erase(static_cast<uint16_t>(address % 65536));
        });
    case 6:
        ui.progressStart(chip.flashBytes());
        return eraseByPages(ui, chip, [&](uint32_t address) {
            static constexpr uint8_t kWriteEnable = 0x06;
            const uint8_t pageErase[4] = {0xDB, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address)};
            return programmer.sendRawSpi(&kWriteEnable, 1) && programmer.sendRawSpi(pageErase, 4);
        });
    case 2: case 7: case 8:
        ui.progressStart(0);
        return programmer.erase(chip.eraseDelayValue());
    default:
        ui.progressStart(0);
        return true;
    }
}

} // namespace

Outcome eraseChipMemory(Programmer& programmer, UserInterface& ui, const ChipEntry& chip)
{
    ui.setStatus(ui.message(Msg::EraseFlash));
    if (!eraseBody(programmer, ui, chip))
        return reportTransferFailure(ui);
    ui.progressSet(0);
    ui.progressEnd();
    return Outcome::Done;
}
