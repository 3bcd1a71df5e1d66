#include "cli/Commands.h"

#include <array>

namespace {

const std::array kCommands = {
    CommandInfo{"list-chips", cmdListChips, "list-chips [TEXT]", ChipNeed::List},
    CommandInfo{"import-chips", cmdImportChips, "import-chips IN.txt OUT.Dat", ChipNeed::None},
    CommandInfo{"export-chips", cmdExportChips, "export-chips OUT.txt", ChipNeed::List},
    CommandInfo{"probe", cmdProbe, "probe", ChipNeed::List},
    CommandInfo{"fuse-description", cmdFuseDescription, "fuse-description [FILE]", ChipNeed::None},
    CommandInfo{"fuses", cmdFuses, "fuses read | fuses write [--fuse N=0xVV ...] [--lock 0xVV] | fuses default", ChipNeed::Chosen},
    CommandInfo{"read", cmdRead, "read OUT [--eeprom]", ChipNeed::Chosen},
    CommandInfo{"blank", cmdBlank, "blank", ChipNeed::Chosen},
    CommandInfo{"erase", cmdErase, "erase", ChipNeed::Chosen},
    CommandInfo{"detect", cmdDetect, "detect", ChipNeed::List},
    CommandInfo{"write", cmdWrite, "write IN [--eeprom]", ChipNeed::Chosen},
    CommandInfo{"verify", cmdVerifyOrCompare, "verify IN [--eeprom] [--diff]", ChipNeed::Chosen},
    CommandInfo{"auto", cmdAuto, "auto IN [--eeprom-file IN] [--unprotect] [--id] [--sn VALUE [--sn-addr HEX] [--sn-mode inc|dec|none]] [--erase] [--write-flash] [--write-eeprom] [--verify] [--verify-eeprom] [--fuse [--lock 0xVV]]", ChipNeed::Chosen},
    CommandInfo{"unprotect", cmdUnprotect, "unprotect", ChipNeed::Chosen},
    CommandInfo{"convert", cmdConvert, "convert IN OUT [--eeprom]", ChipNeed::None},
};

} // namespace

const CommandInfo* findCommand(const QString& name)
{
    for (const CommandInfo& c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

QList<const CommandInfo*> allCommands()
{
    QList<const CommandInfo*> list;
    for (const CommandInfo& c : kCommands)
        list << &c;
    return list;
}
