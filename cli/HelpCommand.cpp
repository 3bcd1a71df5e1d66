#include "cli/CliSession.h"
#include "cli/Commands.h"

int cmdHelp(CliSession& s, const QStringList& words)
{
    if (words.isEmpty()) {
        s.out() << cliHelpText();
        return kExitOk;
    }
    const CommandInfo* command = findCommand(words[0]);
    if (!command)
        return s.usageError(QStringLiteral("unknown command '%1'").arg(words[0]));
    s.out() << commandHelpText(*command);
    return kExitOk;
}
