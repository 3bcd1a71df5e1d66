#pragma once
// One run of the terminal front end: the global options, the programmer
// (real or simulated), the user interface and the program state.

#include "app/ProgramFiles.h"
#include "app/ProgramState.h"
#include "cli/TerminalUi.h"
#include "device/SimulatedProgrammer.h"

#include <QStringList>
#include <QTextStream>
#include <memory>
#include <optional>
#include <vector>

struct CliOptions {
    QString dbPath;                        // empty: beside the program
    int language = 2;
    std::optional<bool> answer;            // --yes / --no
    bool force = false;                    // --force: go on with a chip whose identifier differs
    bool simulate = false;
    QString simState;                      // --simulate=STATEFILE
    std::optional<QString> simChip;        // --sim-chip "T,M,N"
    bool simEmpty = false;
    bool simProtect = false;               // --sim-protect: the chip's block protection set
    std::vector<SimulatedProgrammer::Fault> faults;
    int simLatencyMs = 0;                  // --sim-latency MS: a delay per report
    bool trace = false;
    std::optional<QString> chip;           // --chip "T,M,N"
    std::optional<QString> chipId;         // --chip-id 0xEF4017
    QString productionLog;                 // --production-log FILE
    QString command;
    QStringList args;                      // the command's own words and options
};

// Parses the global options anywhere on the line; the first other word is
// the command. Returns an error text for bad usage.
std::optional<QString> parseCliOptions(const QStringList& arguments, CliOptions& options);

class CliSession {
public:
    CliSession(const CliOptions& options, const ProgramFiles& files, QTextStream& out, QTextStream& err,
               bool errIsTerminal);
    ~CliSession();

    const CliOptions& options() const { return options_; }
    const ProgramFiles& files() const { return files_; }
    QTextStream& out() { return out_; }
    QTextStream& err() { return err_; }
    TerminalUi& ui() { return ui_; }
    ProgramState& state() { return *state_; }
    SimulatedProgrammer* simulator() { return sim_; }

    QString chipListPath() const;
    // Loads the chip list (messages as at start-up); false when damaged.
    bool loadChips();
    // Puts the --sim-chip chip (or the first entry) into the simulated socket
    // and loads the state file; false with a message when that fails.
    bool prepareSimulator();
    // Applies --chip / --chip-id. Without either, a command that works on a
    // chip (identify) takes the chip the socket identifies, as Detection does,
    // and says which; nothing else is sent before. Returns the exit status:
    // 1 for a failure reported, 2 when the chip must be named.
    int chooseChip(bool identify);
    // The operations ask, after their probe, whether the socket holds the
    // chosen chip; a mismatch is the chip-protecting question.
    void checkSocketIdentity(class ChipOperations& operations);
    // Saves the simulator's state file if one was given.
    bool finish();

private:
    int identifyChip();

    CliOptions options_;
    ProgramFiles files_;
    QTextStream& out_;
    QTextStream& err_;
    TerminalUi ui_;
    std::unique_ptr<HidBackend> backend_;
    SimulatedProgrammer* sim_ = nullptr;
    std::unique_ptr<ProgramState> state_;
};

// Index of the first chip whose type, manufacturer and model equal the names
// (ASCII case ignored), or -1.
int findChipByNames(const ChipTable& table, const QString& namesCommaSeparated);
