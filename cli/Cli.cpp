#include "cli/Cli.h"

#include "cli/CliSession.h"
#include "cli/Commands.h"

namespace {

void printUsage(QTextStream& err)
{
    err << "usage: ktr4180-cli [options] COMMAND [arguments]\n"
           "options: --db FILE, --lang 0|1|2, --yes, --no, --force, --simulate[=STATEFILE], --sim-chip \"T,M,N\",\n"
           "         --sim-empty, --sim-protect, --sim-fault set@N|get@N|unplug@N, --sim-latency MS, --trace,\n"
           "         --chip \"T,M,N\", --chip-id ID, --production-log FILE\n"
           "commands:\n";
    for (const CommandInfo* c : allCommands())
        err << "  " << c->usage << '\n';
    err.flush();
}

} // namespace

int runCli(const QStringList& arguments, const QString& programDir, QTextStream& out, QTextStream& err,
           bool errIsTerminal)
{
    return runCli(arguments, ProgramFiles(programDir), out, err, errIsTerminal);
}

int runCli(const QStringList& arguments, const ProgramFiles& files, QTextStream& out, QTextStream& err,
           bool errIsTerminal)
{
    CliOptions options;
    if (const auto error = parseCliOptions(arguments, options)) {
        err << *error << Qt::endl;
        printUsage(err);
        return kExitUsage;
    }
    const CommandInfo* command = findCommand(options.command);
    if (!command) {
        if (!options.command.isEmpty())
            err << "unknown command: " << options.command << Qt::endl;
        printUsage(err);
        return kExitUsage;
    }
    CliSession session(options, files, out, err, errIsTerminal);
    if (command->chips != ChipNeed::None) {
        if (!session.loadChips() || !session.prepareSimulator())
            return kExitFailed;
        if (const int chosen = session.chooseChip(command->chips == ChipNeed::Chosen); chosen != kExitOk)
            return chosen;
    }
    int status = command->run(session, options.args);
    if (status == kExitUsage) {
        err << "usage: ktr4180-cli " << command->usage << Qt::endl;
        return status;
    }
    if (!session.finish() && status == kExitOk)
        status = kExitFailed;
    out.flush();
    err.flush();
    return status;
}
