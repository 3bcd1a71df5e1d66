#pragma once
// The terminal front end's command line: the global options (anywhere on the
// line), the command and the command's own options, parsed by
// QCommandLineParser; the help and version texts made from the same tables.

#include "app/SimulatorOptions.h"

#include <QHash>
#include <QStringList>
#include <optional>
#include <vector>

struct CommandInfo;

// How progress is shown on stderr.
enum class ProgressMode {
    Auto,   // a bar on a terminal, nothing otherwise
    Bar,
    Plain,  // a line per whole percent, for scripts and pipes
    None,
};

struct CliOptions {
    QString dbPath;                        // empty: beside the program
    int language = 2;
    std::optional<bool> answer;            // --yes / --no
    bool force = false;                    // --force: go on with a chip whose identifier differs
    SimulatorOptions simulator;            // --simulate and the --sim-... options
    bool trace = false;
    std::optional<QString> chip;           // --chip NAME
    std::optional<QString> chipId;         // --chip-id 0xEF4017
    bool quiet = false;                    // -q: errors only
    ProgressMode progress = ProgressMode::Auto;
    QString logFile;                       // --log FILE
    QString productionLog;                 // --production-log FILE
    bool help = false;
    bool helpAll = false;                  // --help-all: with every command's own options
    bool version = false;
    QString command;
    QStringList args;                      // the command's words
    // The command's own options by long name, with their values in the
    // order given (a switch has one empty value a use).
    QHash<QString, QStringList> commandOptions;
};

// Parses a whole command line. Returns the error text for bad usage, naming
// the option, value or command that was wrong.
std::optional<QString> parseCliOptions(const QStringList& arguments, CliOptions& options);

QString cliVersionText();
// The program's help: usage, commands, options, examples.
QString cliHelpText();
QString cliHelpAllText();
QString commandHelpText(const CommandInfo& command);
// One line: "usage: ktr4180-cli ..." for the command, or the whole program.
QString usageLine(const CommandInfo* command);
