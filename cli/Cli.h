#pragma once
// Runs the terminal front end on a command line; returns the exit status.

#include "app/ProgramFiles.h"

#include <QStringList>
#include <QTextStream>

// files: where the chip list, the settings and xml/ are, as the window
// program finds them.
int runCli(const QStringList& arguments, const ProgramFiles& files, QTextStream& out, QTextStream& err,
           bool errIsTerminal);
// Everything in programDir.
int runCli(const QStringList& arguments, const QString& programDir, QTextStream& out, QTextStream& err,
           bool errIsTerminal);
