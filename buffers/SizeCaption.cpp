#include "buffers/SizeCaption.h"

#include "chipdb/ChipEntry.h"

SizeCaption flashSizeCaption(const ChipEntry& chip, int32_t flashLength)
{
    return {QStringLiteral("FLASH:%1 BUFFER:%2").arg(chip.flashBytes()).arg(flashLength),
            int64_t(chip.flashBytes()) < int64_t(flashLength)};
}

SizeCaption eepromSizeCaption(const ChipEntry& chip, int32_t eepromLength)
{
    return {QStringLiteral("EEPROM:%1 BUFFER:%2").arg(chip.eepromBytes()).arg(eepromLength),
            int64_t(chip.eepromBytes()) < int64_t(eepromLength)};
}
