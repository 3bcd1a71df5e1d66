#include "operations/SignatureCheck.h"

#include "app/UserInterface.h"
#include "chipdb/ChipEntry.h"
#include "device/Programmer.h"
#include "operations/OperationFrame.h"

QString signatureText(uint8_t s0, uint8_t s1, uint8_t s2)
{
    return QString::asprintf("ID = 0x%2X%2X%02X", s0, s1, s2);
}

Outcome checkSignature(Programmer& programmer, UserInterface& ui, const ChipEntry& chip)
{
    uint8_t s[6] = {};
    if (!programmer.readSignature(s, 6))
        return reportTransferFailure(ui, programmer);
    const int32_t read = (int32_t(s[0]) << 16) | (int32_t(s[1]) << 8) | s[2];
    if (read == chip.chipId())
        return Outcome::Done;
    // The question reads the same in every language.
    const QString text = signatureText(s[0], s[1], s[2]) + QString::fromUtf8(" 不匹配,选择继续？");
    return ui.askChipMismatch(text) ? Outcome::Done : Outcome::Declined;
}
