// The commands that look into a chip rather than program it: the compare
// that lists every difference (verify --diff) and the clearing of an SPI
// flash's block protection.

#include "cli/CliSession.h"
#include "cli/CommandFiles.h"
#include "cli/Commands.h"
#include "cli/JsonResults.h"

#include "operations/ChipOperations.h"
#include "operations/Unprotect.h"

int cmdVerifyOrCompare(CliSession& s, const QStringList& words)
{
    const bool json = s.isSet(QStringLiteral("json"));
    if (!s.isSet(QStringLiteral("diff")) && !json)
        return cmdVerify(s, words);
    // Declined, and so exit 1, when anything differs.
    return withLoadedFile(s, words, [&s, json](ChipOperations& ops, MemoryPage page) {
        ops.compareChip(page);
        const CompareReport* report = ops.lastCompare();
        if (!report)
            return;
        if (json) {
            QJsonObject result = compareJson(*report);
            result[QStringLiteral("chip")] = chipJson(s.state().currentChip());
            printJson(s, result);
            return;
        }
        for (const QString& line : compareReportLines(*report, s.ui().languageIndex()))
            s.out() << line << '\n';
    });
}

int cmdUnprotect(CliSession& s, const QStringList&)
{
    // Said before anything is sent: what the chip loses with its protection.
    if (const QString effect = unprotectEffect(s.state().currentChip(), s.ui().languageIndex()); !effect.isEmpty())
        s.ui().note(effect);
    ChipOperations ops = s.state().chipOperations();
    ops.unprotectChip();
    if (ops.lastOutcome() == Outcome::Done)
        return kExitOk;
    return s.stopRequested() ? kExitStopped : kExitFailed;
}
