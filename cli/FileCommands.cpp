#include "cli/CliSession.h"
#include "cli/Commands.h"

#include "buffers/OpenSave.h"

// convert IN OUT [--eeprom]: an Open of IN into the buffer, then a Save of
// the loader's data length to OUT, each with the window's messages.
int cmdConvert(CliSession& s, const QStringList& args)
{
    QStringList paths;
    MemoryPage page = MemoryPage::Flash;
    for (const QString& a : args) {
        if (a == QLatin1String("--eeprom"))
            page = MemoryPage::Eeprom;
        else if (a.startsWith(QLatin1String("--")))
            return kExitUsage;
        else
            paths << a;
    }
    if (paths.size() != 2)
        return kExitUsage;
    TerminalUi& ui = s.ui();
    const int failuresBefore = ui.failureCount();
    if (loadIntoBuffer(s.state().buffers(), page, paths[0], ui) != OpenOutcome::Loaded
        || ui.failureCount() != failuresBefore)
        return kExitFailed;
    return saveFromBuffer(s.state().buffers(), page, paths[1], ui) ? kExitOk : kExitFailed;
}
