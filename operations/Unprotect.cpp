#include "operations/Unprotect.h"

#include "app/UserInterface.h"
#include "device/BlockProtection.h"
#include "device/Programmer.h"
#include "operations/OperationFrame.h"

Outcome clearBlockProtection(Programmer& programmer, UserInterface& ui, const ChipEntry& chip)
{
    const auto sequence = unlockSequence(unlockMethodFor(chip));
    if (sequence.empty())
        return Outcome::Refused;
    ui.setStatus(ui.message(Msg::UnprotectFlash));
    for (const std::vector<uint8_t>& transaction : sequence)
        if (!programmer.sendRawSpi(transaction.data(), int(transaction.size())))
            return reportTransferFailure(ui, programmer);
    // A command sent while the status register is still being written is
    // ignored by the chip: the erase that follows in the auto sequence would be lost.
    ui.pause(kStatusWriteMs);
    return Outcome::Done;
}
