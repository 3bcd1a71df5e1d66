#pragma once
// One run of the terminal front end: the options, the programmer (real or
// simulated), the user interface and the program state.

#include "app/ProgramFiles.h"
#include "app/ProgramState.h"
#include "cli/Cli.h"
#include "cli/CommandLine.h"
#include "cli/TerminalUi.h"
#include "device/SimulatedProgrammer.h"
#include "device/StateFileLock.h"
#include "device/UsbSetup.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <memory>

class CliSession {
public:
    CliSession(const CliOptions& options, const ProgramFiles& files, const CliStreams& streams);
    ~CliSession();

    const CliOptions& options() const { return options_; }
    const ProgramFiles& files() const { return files_; }
    QTextStream& out() { return out_; }
    QTextStream& err() { return err_; }
    TerminalUi& ui() { return ui_; }
    ProgramState& state() { return *state_; }
    SimulatedProgrammer* simulator() { return sim_; }
    // The data of "-"; null when there is none.
    QIODevice* dataIn() const { return dataIn_; }
    QIODevice* dataOut() const { return dataOut_; }
    QString message(Msg id) const { return ui_.message(id); }
    bool stopRequested() const { return ui_.stopRequested(); }

    // The command's own options by long name: given at all, the last value, all values.
    bool isSet(const QString& name) const { return options_.commandOptions.contains(name); }
    QString value(const QString& name) const;
    QStringList values(const QString& name) const { return options_.commandOptions.value(name); }
    // Bad usage a command found: says what was wrong; returns the exit status 2.
    int usageError(const QString& text);
    QString takeUsageError() { return std::exchange(usageError_, QString()); }

    // --log: false when the file cannot be opened (said why).
    bool openLog();
    QString chipListPath() const;
    // Loads the chip list (messages as at start-up); false when damaged.
    bool loadChips();
    // Puts the --sim-chip chip (or the first entry) into the simulated socket,
    // takes the state file for this run and loads it; false with a message
    // when that fails (another program holding the state file among it).
    bool prepareSimulator();
    // Applies --chip / --chip-id. Without either, a command that works on a
    // chip (identify) takes the chip the socket identifies, as Detection does,
    // and says which; nothing else is sent before. Returns the exit status:
    // 1 for a failure reported, 2 when the chip must be named.
    int chooseChip(bool identify);
    // Saves the simulator's state file if this run holds one.
    bool finish();
    // Where the check of the set-up looks at the system.
    UsbSetupPaths systemPaths() const;

private:
    int identifyChip();
    // The entry a name on the command line means; -1 once it said why.
    int chipNamed(const QString& name);
    QString notConnectedHint() const;

    CliOptions options_;
    ProgramFiles files_;
    QTextStream& out_;
    QTextStream& err_;
    QIODevice* dataIn_;
    QIODevice* dataOut_;
    const UsbSetupPaths* system_;
    QFile logFile_;
    QTextStream logStream_;
    TerminalUi ui_;
    std::unique_ptr<HidBackend> backend_;
    SimulatedProgrammer* sim_ = nullptr;
    StateFileLock stateLock_;
    std::unique_ptr<ProgramState> state_;
    QString usageError_;
};
