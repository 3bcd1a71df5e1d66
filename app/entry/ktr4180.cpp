// The window program: the main window over the USB programmer, or over the
// simulated one with --simulate.

#include "app/ProgramFiles.h"
#include "app/SimulatorOptions.h"
#include "app/WindowCommandLine.h"
#include "app/gui/Unit1.h"
#include "chipdb/ChipTable.h"
#include "device/HidapiBackend.h"
#include "device/SimulatedProgrammer.h"
#include "device/StateFileLock.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

namespace {

// Help, version and bad usage end the program before any window; -1 lets it go on.
int answerWithoutWindow(const WindowCommandLine& line, WindowCommandLine::Action action)
{
    switch (action) {
    case WindowCommandLine::Action::Help:
        QTextStream(stdout) << line.helpText() << Qt::flush;
        return 0;
    case WindowCommandLine::Action::Version:
        QTextStream(stdout) << line.versionText() << Qt::endl;
        return 0;
    case WindowCommandLine::Action::Error:
        QTextStream(stderr) << line.error() << "\n" << "Try 'ktr4180 --help' for more information.\n" << Qt::flush;
        return 2;
    case WindowCommandLine::Action::Run:
        break;
    }
    return -1;
}

// Help and the version are answered without a display: the window system is
// not opened for them. Anything else (Qt's own options among it) waits for
// the application object, which takes Qt's options off the line.
std::optional<int> answerBeforeWindowSystem(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    static const QStringList early = {QStringLiteral("-h"), QStringLiteral("--help"), QStringLiteral("--version")};
    if (std::none_of(arguments.begin(), arguments.end(), [](const QString& a) { return early.contains(a); }))
        return std::nullopt;
    QCoreApplication core(argc, argv);
    WindowCommandLine line{QStringLiteral(KTR_VERSION)};
    const WindowCommandLine::Action action = line.parse(arguments);
    if (action == WindowCommandLine::Action::Help || action == WindowCommandLine::Action::Version)
        return answerWithoutWindow(line, action);
    return std::nullopt;
}

// The chip of --sim-chip (or the list's first) in the simulated socket, and
// the memories of the state file, which this program holds until it ends.
bool prepareSimulator(SimulatedProgrammer& sim, StateFileLock& lock, const SimulatorOptions& options,
                      const ProgramFiles& files, QTextStream& err)
{
    configureSimulator(sim, options);
    if (!options.empty) {
        ChipTable table;
        table.loadFile(files.chipList());
        int index = 0;
        if (options.chip) {
            QString error;
            index = simulatedChipIndex(table, *options.chip, error);
            if (index < 0) {
                err << error << Qt::endl;
                return false;
            }
        }
        if (!table[index].isEnd())
            sim.insertChip(table[index]);
    }
    if (options.state.isEmpty())
        return true;
    QString error;
    if (!lock.acquire(options.state, &error)) {
        err << error << Qt::endl;
        return false;
    }
    if (!sim.loadState(options.state, &error)) {
        err << options.state << ": " << error << Qt::endl;
        return false;
    }
    return true;
}

int run(QApplication& app)
{
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    WindowCommandLine line{QStringLiteral(KTR_VERSION)};
    if (const int status = answerWithoutWindow(line, line.parse(arguments)); status >= 0)
        return status;
    const SimulatorOptions& options = line.simulator();
    const ProgramFiles files = ProgramFiles::forRunningProgram();
    std::unique_ptr<HidBackend> backend;
    SimulatedProgrammer* sim = nullptr;
    StateFileLock stateLock;
    if (options.simulate) {
        auto simulated = std::make_unique<SimulatedProgrammer>();
        sim = simulated.get();
        if (!prepareSimulator(*sim, stateLock, options, files, err))
            return 1;
        backend = std::move(simulated);
    } else {
        backend = std::make_unique<HidapiBackend>();
    }
    {
        TForm1 form(*backend, files);
        form.show();
        // The file named on the line opens once start-up is done, as File > Open would.
        if (!line.dataFile().isEmpty())
            QTimer::singleShot(0, &form, [&form, &line] { form.openDataFile(line.dataFile()); });
        app.exec();
    }
    QString error;
    if (sim && stateLock.held() && !sim->saveState(options.state, &error)) {
        err << options.state << ": " << error << Qt::endl;
        return 1;
    }
    return 0;
}

// The application icon in every size the desktop asks for, so small ones
// are drawn from their own picture rather than scaled down.
QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/appicon/%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

int main(int argc, char** argv)
{
    if (const auto status = answerBeforeWindowSystem(argc, argv))
        return *status;
    Q_INIT_RESOURCE(appicon);
    QApplication app(argc, argv);
    QApplication::setWindowIcon(applicationIcon());
    // Lets the desktop match the window with its launcher entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quibex.ktr4180"));
    // What escapes the window is shown in a box; the program then ends.
    try {
        return run(app);
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("KTR4180"), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QStringLiteral("KTR4180"), QString());
    }
    return 0;
}
