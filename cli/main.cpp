#include "cli/Cli.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// Ctrl+C asks the running job to stop between two reports; a second one
// ends the program at once (the handler is reset by the first).
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onInterrupt(int)
{
    stopRequested = 1;
}

void catchSignals()
{
    // A file size limit (ulimit -f) makes a write fail with its reason
    // instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QFile standardOutput;
    QFile standardInput;
    standardOutput.open(stdout, QIODevice::WriteOnly);
    standardInput.open(stdin, QIODevice::ReadOnly);
    QTextStream out(&standardOutput);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    catchSignals();
    // The same places as the window program: beside bin/ for a build tree or
    // a portable copy, share/ktr4180 and the user's configuration when installed.
    const CliStreams streams{out, err, isatty(fileno(stderr)) != 0, &standardInput, &standardOutput, &stopRequested};
    int status = runCli(args, ProgramFiles::forRunningProgram(), streams);
    // The close reports what the last flush could not (a full file system
    // over the network); runCli checked the flush itself.
    standardOutput.close();
    if (std::fclose(stdout) != 0 && status == 0) {
        std::fprintf(stderr, "ktr4180-cli: -: %s\n", std::strerror(errno));
        status = 1;
    }
    return status;
}
