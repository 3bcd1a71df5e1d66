#pragma once
// The commands of the terminal front end. Each returns the exit status:
// 0 success, 1 a failure it reported, 2 bad usage.

#include <QStringList>

class CliSession;

using CommandFunction = int (*)(CliSession& session, const QStringList& args);

// What a command needs before it runs.
enum class ChipNeed {
    None,    // neither the chip list nor a chip
    List,    // the chip list (and the simulated socket filled from it)
    Chosen,  // a chip to work on: the one named, else the one identified in the socket
};

struct CommandInfo {
    const char* name;
    CommandFunction run;
    const char* usage;
    ChipNeed chips;
};

const CommandInfo* findCommand(const QString& name);
// Every command, for the usage text.
QList<const CommandInfo*> allCommands();

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Loads the fuse description for the chosen chip as a chip change in the
// window does; false when it is missing or was refused (message shown).
bool loadChipFuseDescription(CliSession& s);

// Command implementations, one group per file.
int cmdListChips(CliSession& s, const QStringList& args);
int cmdImportChips(CliSession& s, const QStringList& args);
int cmdExportChips(CliSession& s, const QStringList& args);
int cmdProbe(CliSession& s, const QStringList& args);
int cmdFuseDescription(CliSession& s, const QStringList& args);
int cmdFuses(CliSession& s, const QStringList& args);
int cmdRead(CliSession& s, const QStringList& args);
int cmdBlank(CliSession& s, const QStringList& args);
int cmdErase(CliSession& s, const QStringList& args);
int cmdDetect(CliSession& s, const QStringList& args);
int cmdWrite(CliSession& s, const QStringList& args);
int cmdVerify(CliSession& s, const QStringList& args);
int cmdAuto(CliSession& s, const QStringList& args);
int cmdConvert(CliSession& s, const QStringList& args);
// verify, or with --diff the compare that lists every difference.
int cmdVerifyOrCompare(CliSession& s, const QStringList& args);
int cmdUnprotect(CliSession& s, const QStringList& args);
