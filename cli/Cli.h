#pragma once
// Runs the terminal front end on a command line; returns the exit status.

#include "app/ProgramFiles.h"

#include <QStringList>
#include <QTextStream>
#include <csignal>

class QIODevice;
struct UsbSetupPaths;

// Where the front end talks: text on out and err, the data of "-" on dataIn
// and dataOut (none: "-" is refused), the flag a SIGINT handler sets, and
// where `doctor` looks at the system (none: the running system).
struct CliStreams {
    QTextStream& out;
    QTextStream& err;
    bool errIsTerminal = false;
    QIODevice* dataIn = nullptr;
    QIODevice* dataOut = nullptr;
    const volatile std::sig_atomic_t* stop = nullptr;
    const UsbSetupPaths* system = nullptr;
};

// files: where the chip list, the settings and xml/ are, as the window
// program finds them.
int runCli(const QStringList& arguments, const ProgramFiles& files, const CliStreams& streams);
int runCli(const QStringList& arguments, const ProgramFiles& files, QTextStream& out, QTextStream& err,
           bool errIsTerminal);
// Everything in programDir.
int runCli(const QStringList& arguments, const QString& programDir, QTextStream& out, QTextStream& err,
           bool errIsTerminal);
