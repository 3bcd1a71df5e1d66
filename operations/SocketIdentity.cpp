#include "operations/SocketIdentity.h"

#include "app/UserInterface.h"
#include "chipdb/ChipEntry.h"
#include "chipdb/ChipKey.h"
#include "device/Programmer.h"
#include "operations/OperationFrame.h"

namespace {

// Classes the probe walks.
constexpr int kProbedClasses = 5;

uint32_t identifierOf(const uint8_t* bytes)
{
    return (uint32_t(bytes[0]) << 16) | (uint32_t(bytes[1]) << 8) | bytes[2];
}

QString hexId(uint32_t id)
{
    return QString::asprintf("0x%06X", id);
}

QString nameOf(const ChipEntry& chip)
{
    const ChipNames names = chipNames(chip.keyText());
    return QString::fromUtf8(names.manufacturer) + QLatin1Char(' ') + QString::fromUtf8(names.model);
}

} // namespace

SocketCompare socketCompareFor(const ChipEntry& chosen)
{
    if (chosen.chipClass < kProbedClasses)
        return SocketCompare::Probe;
    if (isMicrocontroller(chosen) && chosen.chipId() != 0)
        return SocketCompare::Signature;
    return SocketCompare::None;
}

bool socketMatchesChip(const uint8_t* probeId, const ChipEntry& chosen)
{
    if (socketCompareFor(chosen) != SocketCompare::Probe)
        return true;
    // A chip without an identifier (24- and 93-series) is known by its class alone.
    return probeId[0] == chosen.chipClass + 1
           && (chosen.chipId() == 0 || identifierOf(probeId + 1) == uint32_t(chosen.chipId()));
}

bool confirmSocketIdentity(const uint8_t* probeId, const ChipEntry& chosen, UserInterface& ui)
{
    if (socketMatchesChip(probeId, chosen))
        return true;
    const QString text = ui.message(Msg::SocketChipMismatch)
                             .arg(QString::number(int(probeId[0]) - 1), hexId(identifierOf(probeId + 1)),
                                  nameOf(chosen), QString::number(chosen.chipClass),
                                  hexId(uint32_t(chosen.chipId())));
    return ui.askChipMismatch(text);
}

Outcome confirmSocketSignature(Programmer& programmer, UserInterface& ui, const ChipEntry& chosen)
{
    if (socketCompareFor(chosen) != SocketCompare::Signature)
        return Outcome::Done;
    uint8_t s[6] = {};
    if (!programmer.readSignature(s, 6))
        return reportTransferFailure(ui, programmer);
    const uint32_t signature = identifierOf(s);
    if (signature == uint32_t(chosen.chipId()))
        return Outcome::Done;
    const QString text = ui.message(Msg::SocketSignatureMismatch)
                             .arg(hexId(signature), nameOf(chosen), hexId(uint32_t(chosen.chipId())));
    return ui.askChipMismatch(text) ? Outcome::Done : Outcome::Declined;
}
