#include "cli/Cli.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    // The same places as the window program: beside bin/ for a build tree or
    // a portable copy, share/ktr4180 and the user's configuration when installed.
    return runCli(args, ProgramFiles::forRunningProgram(), out, err, isatty(fileno(stderr)) != 0);
}
