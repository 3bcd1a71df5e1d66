#include "device/BlockProtection.h"

#include "chipdb/ChipEntry.h"
#include "chipdb/ChipKey.h"

namespace {

constexpr uint8_t kSstSubtype = 1;

bool isSst26Family(const ChipEntry& chip)
{
    const uint32_t id = static_cast<uint32_t>(chip.chipId());
    return chipNames(chip.keyText()).model.toUpper().startsWith("SST26") || (id & 0xFFFFFF00u) == 0x00BF2600u;
}

} // namespace

UnlockMethod unlockMethodFor(const ChipEntry& chip)
{
    if (chip.chipClass != kClassSpiFlash)
        return UnlockMethod::None;
    // SST26 parts carry the SST subtype too; their register decides first.
    if (isSst26Family(chip))
        return UnlockMethod::GlobalUnlock;
    if (chip.subtype == kSstSubtype)
        return UnlockMethod::EnableWriteStatus;
    return UnlockMethod::WriteStatus;
}

std::vector<std::vector<uint8_t>> unlockSequence(UnlockMethod method)
{
    switch (method) {
    case UnlockMethod::WriteStatus:
        return {{kSpiWriteEnable}, {kSpiWriteStatus, 0x00}};
    case UnlockMethod::EnableWriteStatus:
        return {{kSpiEnableWriteStatus}, {kSpiWriteStatus, 0x00}};
    case UnlockMethod::GlobalUnlock:
        return {{kSpiWriteEnable}, {kSpiGlobalUnlock}};
    case UnlockMethod::None:
        break;
    }
    return {};
}
