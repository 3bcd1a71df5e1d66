#include "operations/ChipRecordCheck.h"

#include "app/UserInterface.h"
#include "buffers/Buffers.h"
#include "chipdb/ChipEntry.h"

bool erasesByPage(uint8_t chipClass)
{
    switch (chipClass) {
    case 1: case 3: case 4: case 5: case 6: return true;
    default: return false;
    }
}

bool chipRecordUsable(const ChipEntry& chip, bool willErase)
{
    if (chip.flashBytes() > Buffers::kFlashCapacity || chip.eepromBytes() > Buffers::kEepromCapacity)
        return false;
    return !(willErase && erasesByPage(chip.chipClass) && chip.flashPage() == 0);
}

bool checkChipRecord(const ChipEntry& chip, bool willErase, UserInterface& ui)
{
    if (chipRecordUsable(chip, willErase))
        return true;
    ui.showError(ui.message(Msg::ChipRecordUnusable));
    return false;
}
