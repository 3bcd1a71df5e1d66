#include "cli/Commands.h"

#include <array>

namespace {

const std::array kCommands = {
    CommandInfo{"list-chips", cmdListChips, "list-chips [TEXT]", true},
    CommandInfo{"import-chips", cmdImportChips, "import-chips IN.txt OUT.Dat", false},
    CommandInfo{"export-chips", cmdExportChips, "export-chips OUT.txt", true},
    CommandInfo{"probe", cmdProbe, "probe", true},
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
