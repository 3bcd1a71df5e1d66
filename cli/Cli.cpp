#include "cli/Cli.h"

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/FileArgs.h"

namespace {

// What the program printed must have reached standard output: a full disk
// or a closed pipe is a failure, never an exit 0.
int withOutputChecked(int status, const CliStreams& io, int language)
{
    // A run that failed has said why; a write to standard output among them.
    const std::optional<QString> fault = standardOutputFault(io.out, io.dataOut);
    if (fault && status == kExitOk) {
        io.err << messageText(Msg::CliCannotWriteFile, language) << "-\n" << *fault << Qt::endl;
        return kExitFailed;
    }
    io.err.flush();
    return status;
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
    return runCli(arguments, files, CliStreams{out, err, errIsTerminal});
}

int runCli(const QStringList& arguments, const ProgramFiles& files, const CliStreams& io)
{
    CliOptions options;
    if (const auto error = parseCliOptions(arguments, options)) {
        io.err << "ktr4180-cli: " << *error << '\n' << usageLine(findCommand(options.command)) << Qt::endl;
        return kExitUsage;
    }
    const CommandInfo* command = findCommand(options.command);
    if (options.help || options.version) {
        io.out << (options.version   ? cliVersionText()
                   : options.helpAll ? cliHelpAllText()
                   : command         ? commandHelpText(*command)
                                     : cliHelpText());
        return withOutputChecked(kExitOk, io, options.language);
    }
    if (!command) {
        io.err << "ktr4180-cli: no command given\n"
               << usageLine(nullptr) << "\n\"ktr4180-cli --help\" lists the commands and options." << Qt::endl;
        return kExitUsage;
    }
    CliSession session(options, files, io);
    if (!session.openLog())
        return kExitFailed;
    int status = command->prepare ? command->prepare(session, options.args) : kExitOk;
    if (status == kExitOk && command->chips != ChipNeed::None) {
        if (!session.loadChips() || !session.prepareSimulator())
            return kExitFailed;
        status = session.chooseChip(command->chips == ChipNeed::Chosen);
        if (status != kExitOk)
            return status;
    }
    if (status == kExitOk)
        status = command->run(session, options.args);
    if (status == kExitUsage) {
        if (const QString error = session.takeUsageError(); !error.isEmpty())
            io.err << "ktr4180-cli: " << error << '\n';
        io.err << usageLine(command) << Qt::endl;
        return status;
    }
    if (!session.finish() && status == kExitOk)
        status = kExitFailed;
    if (session.ui().logFailed() && status == kExitOk)
        status = kExitFailed;
    // A job Ctrl+C ended is no ordinary failure.
    if (session.stopRequested() && status != kExitOk)
        status = kExitStopped;
    return withOutputChecked(status, io, options.language);
}
