#include "cli/Commands.h"

#include <array>

namespace {

const std::array kCommands = {
    CommandInfo{"list-chips", cmdListChips, "list-chips [TEXT]", true},
    CommandInfo{"import-chips", cmdImportChips, "import-chips IN.txt OUT.Dat", false},
    CommandInfo{"export-chips", cmdExportChips, "export-chips OUT.txt", true},
    CommandInfo{"probe", cmdProbe, "probe", true},
    CommandInfo{"fuse-description", cmdFuseDescription, "fuse-description [FILE]", false},
    CommandInfo{"fuses", cmdFuses, "fuses read | fuses write [--fuse N=0xVV ...] [--lock 0xVV] | fuses default", true},
    CommandInfo{"read", cmdRead, "read OUT [--eeprom]", true},
    CommandInfo{"blank", cmdBlank, "blank", true},
    CommandInfo{"erase", cmdErase, "erase", true},
    CommandInfo{"detect", cmdDetect, "detect", true},
    CommandInfo{"write", cmdWrite, "write IN [--eeprom]", true},
    CommandInfo{"verify", cmdVerifyOrCompare, "verify IN [--eeprom] [--diff]", true},
    CommandInfo{"auto", cmdAuto, "auto IN [--eeprom-file IN] [--unprotect] [--id] [--sn VALUE [--sn-addr HEX] [--sn-mode inc|dec|none]] [--erase] [--write-flash] [--write-eeprom] [--verify] [--verify-eeprom] [--fuse]", true},
    CommandInfo{"unprotect", cmdUnprotect, "unprotect", true},
    CommandInfo{"convert", cmdConvert, "convert IN OUT [--eeprom]", false},
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
