#pragma once
// The simulated programmer's options, shared by the window program and the
// terminal front end: one table of names, values and help, the rule that
// they go with --simulate, and how they set the simulator up.

#include "device/SimulatedProgrammer.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <span>
#include <vector>

class ChipTable;

struct SimulatorOptions {
    bool simulate = false;
    QString state;                      // --sim-state FILE or --simulate=FILE
    std::optional<QString> chip;        // --sim-chip NAME
    bool empty = false;                 // --sim-empty
    bool protect = false;               // --sim-protect: the chip's block protection set
    std::vector<SimulatedProgrammer::Fault> faults;
    int latencyMs = 0;                  // --sim-latency MS: a delay per report
    std::optional<uint32_t> fillSeed;   // --sim-fill random[:SEED]
    int slowEraseMs = 0;                // --sim-slow-erase MS
    std::vector<uint32_t> unstable;     // --sim-unstable ADDR: bytes that read differently each time
};

// The error text for a bad value, or none.
using SimulatorOptionResult = std::optional<QString>;

struct SimulatorOptionEntry {
    const char* name;       // the long name, without dashes
    const char* valueName;  // nullptr for a switch
    const char* help;
    SimulatorOptionResult (*apply)(SimulatorOptions& options, const QString& value);
};

// Every simulator option, --simulate first, in the order of the help.
std::span<const SimulatorOptionEntry> simulatorOptionEntries();

// "--simulate=FILE" is "--simulate --sim-state=FILE"; words after "--" are
// left alone.
QStringList expandSimulateShorthand(const QStringList& words);

// The simulator's options need --simulate: the error text when one is given
// without it.
SimulatorOptionResult checkSimulatorOptions(const SimulatorOptions& options);

// Faults, pace, protection, fill, erase time and unstable bytes onto the
// simulator; the chip and the state file are the front end's to put in.
void configureSimulator(SimulatedProgrammer& simulator, const SimulatorOptions& options);

// The chip --sim-chip names, by the names the terminal's --chip takes (the
// model alone, "MANUFACTURER MODEL" or the whole key, in any case): its index,
// or -1 with `error` saying why (no such chip, the closest models, or the
// chips an ambiguous name fits).
int simulatedChipIndex(const ChipTable& table, const QString& name, QString& error);
