#pragma once
// The commands of the terminal front end. Each returns the exit status:
// 0 success, 1 a failure it reported, 2 bad usage, 130 stopped by Ctrl+C.

#include <QStringList>
#include <vector>

class CliSession;

// The command's words (its own options are read from the session).
using CommandFunction = int (*)(CliSession& session, const QStringList& words);

// What a command needs before it runs.
enum class ChipNeed {
    None,    // neither the chip list nor a chip
    List,    // the chip list (and the simulated socket filled from it)
    Chosen,  // a chip to work on: the one named, else the one identified in the socket
};

// One option of the command line, for the parser and the help.
struct OptionSpec {
    const char* names;      // "c,chip": one-letter and long names, the long one last
    const char* valueName;  // nullptr for a switch
    const char* help;
};

struct CommandInfo {
    const char* name;
    CommandFunction run;
    const char* usage;      // the command's line in the help, its options included
    ChipNeed chips;
    const char* summary = "";
    std::vector<OptionSpec> options = {};  // the command's own options
    // The words after the command: plain ones required, "[X]" optional, "..."
    // any more. nullptr: the command counts them itself.
    const char* words = nullptr;
    // Runs before the chip list is loaded and anything is sent: checks the
    // options and the files named, so that bad usage or an OUT that cannot be
    // written stops the command before the chip is touched.
    CommandFunction prepare = nullptr;
    // More about the command for its --help, after the summary.
    const char* details = nullptr;
};

const CommandInfo* findCommand(const QString& name);
// Every command, in the order of the help.
QList<const CommandInfo*> allCommands();

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 130;

// Loads the fuse description for the chosen chip as a chip change in the
// window does; false when it is missing or was refused (message shown).
bool loadChipFuseDescription(CliSession& s);

// Command implementations, one group per file.
int cmdHelp(CliSession& s, const QStringList& words);
int cmdListChips(CliSession& s, const QStringList& words);
int cmdImportChips(CliSession& s, const QStringList& words);
int cmdExportChips(CliSession& s, const QStringList& words);
int cmdProbe(CliSession& s, const QStringList& words);
int cmdFuseDescription(CliSession& s, const QStringList& words);
int cmdFuses(CliSession& s, const QStringList& words);
int cmdRead(CliSession& s, const QStringList& words);
int cmdBlank(CliSession& s, const QStringList& words);
int cmdErase(CliSession& s, const QStringList& words);
int cmdDetect(CliSession& s, const QStringList& words);
int cmdWrite(CliSession& s, const QStringList& words);
int cmdVerify(CliSession& s, const QStringList& words);
int cmdAuto(CliSession& s, const QStringList& words);
int cmdConvert(CliSession& s, const QStringList& words);

int prepareRead(CliSession& s, const QStringList& words);
int prepareLoad(CliSession& s, const QStringList& words);
int prepareWrite(CliSession& s, const QStringList& words);
int prepareAuto(CliSession& s, const QStringList& words);
int prepareFuses(CliSession& s, const QStringList& words);
// verify, or with --diff the compare that lists every difference.
int cmdVerifyOrCompare(CliSession& s, const QStringList& words);
int cmdUnprotect(CliSession& s, const QStringList& words);
// write --preserve: its options checked, then the round.
int preparePreservingWrite(CliSession& s, const QStringList& words);
int cmdWritePreserving(CliSession& s, const QStringList& words);
// The check of the set-up.
int cmdDoctor(CliSession& s, const QStringList& words);
