#pragma once
// Runs the terminal front end on a command line; returns the exit status.

#include <QStringList>
#include <QTextStream>

int runCli(const QStringList& arguments, const QString& programDir, QTextStream& out, QTextStream& err,
           bool errIsTerminal);
