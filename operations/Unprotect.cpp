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

QString unprotectEffect(const ChipEntry& chip, int languageIndex)
{
    switch (unlockMethodFor(chip)) {
    case UnlockMethod::WriteStatus:
        return messageText(Msg::UnprotectClearsStatus, languageIndex);
    case UnlockMethod::EnableWriteStatus:
        return messageText(Msg::UnprotectClearsSst25Status, languageIndex);
    case UnlockMethod::GlobalUnlock:
        return messageText(Msg::UnprotectClearsSst26Lock, languageIndex);
    case UnlockMethod::None:
        break;
    }
    return {};
}
