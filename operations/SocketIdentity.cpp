#include "operations/SocketIdentity.h"

#include "app/UserInterface.h"
#include "chipdb/ChipEntry.h"
#include "chipdb/ChipKey.h"
#include "operations/SignatureCheck.h"

namespace {

// Classes the probe walks; chips of the others are not identified by it.
constexpr int kProbedClasses = 5;

uint32_t identifierOf(const uint8_t* probeId)
{
    return (uint32_t(probeId[1]) << 16) | (uint32_t(probeId[2]) << 8) | probeId[3];
}

} // namespace

bool socketMatchesChip(const uint8_t* probeId, const ChipEntry& chosen)
{
    // 24- and 93-series parts and the chips beyond the probe carry nothing to compare.
    if (chosen.chipId() == 0 || chosen.chipClass >= kProbedClasses)
        return true;
    return probeId[0] == chosen.chipClass + 1 && identifierOf(probeId) == uint32_t(chosen.chipId());
}

bool confirmSocketIdentity(const uint8_t* probeId, const ChipEntry& chosen, UserInterface& ui)
{
    if (socketMatchesChip(probeId, chosen))
        return true;
    const ChipNames names = chipNames(chosen.keyText());
    // The question ends as the signature check's does, the same in every language.
    const QString text = signatureText(probeId[1], probeId[2], probeId[3])
                         + QStringLiteral(" (%1 %2: ID = %3)")
                               .arg(QString::fromUtf8(names.manufacturer), QString::fromUtf8(names.model),
                                    QString::asprintf("0x%06X", unsigned(chosen.chipId())))
                         + QString::fromUtf8(" 不匹配,选择继续？");
    return ui.askChipMismatch(text);
}
