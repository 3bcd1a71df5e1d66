// The window program: the main window over the USB programmer, or over the
// simulated one with --simulate.

#include "app/ProgramFiles.h"
#include "app/gui/Unit1.h"
#include "chipdb/ChipTable.h"
#include "cli/CliSession.h"
#include "device/HidapiBackend.h"
#include "device/SimulatedProgrammer.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QTextStream>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

constexpr char kUsage[] =
    "usage: ktr4180 [--simulate[=STATEFILE]] [--sim-chip \"TYPE,MANUFACTURER,MODEL\"] [--sim-empty]\n"
    "               [--sim-protect] [--sim-fault set@N|get@N|unplug@N] [--sim-latency MS]\n";

// The window program takes only the simulator's options of the terminal
// front end's set.
std::optional<QString> parseOptions(const QStringList& arguments, CliOptions& options)
{
    static const QStringList allowed = {QStringLiteral("--simulate"), QStringLiteral("--sim-chip"),
                                        QStringLiteral("--sim-empty"), QStringLiteral("--sim-fault"),
                                        QStringLiteral("--sim-latency"), QStringLiteral("--sim-protect")};
    for (const QString& word : arguments) {
        if (word.startsWith(QLatin1String("--")) && !allowed.contains(word.section(QLatin1Char('='), 0, 0)))
            return QStringLiteral("unknown option: ") + word;
    }
    if (const auto error = parseCliOptions(arguments, options))
        return error;
    if (!options.command.isEmpty())
        return QStringLiteral("unexpected argument: ") + options.command;
    if (!options.args.isEmpty())
        return QStringLiteral("unexpected argument: ") + options.args.first();
    return std::nullopt;
}

// The chip of --sim-chip (or the list's first) in the simulated socket, and
// the memories of the state file.
bool prepareSimulator(SimulatedProgrammer& sim, const CliOptions& options, const ProgramFiles& files, QTextStream& err)
{
    for (const auto& fault : options.faults)
        sim.addFault(fault);
    sim.setLatency(options.simLatencyMs);
    sim.setChipsArriveProtected(options.simProtect);
    if (!options.simEmpty) {
        ChipTable table;
        table.loadFile(files.chipList());
        int index = 0;
        if (options.simChip) {
            index = findChipByNames(table, *options.simChip);
            if (index < 0) {
                err << QStringLiteral("No chip named \"%1\" in the chip list.").arg(*options.simChip) << Qt::endl;
                return false;
            }
        }
        if (!table[index].isEnd())
            sim.insertChip(table[index]);
    }
    QString error;
    if (!options.simState.isEmpty() && !sim.loadState(options.simState, &error)) {
        err << options.simState << ": " << error << Qt::endl;
        return false;
    }
    return true;
}

int run(QApplication& app)
{
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    CliOptions options;
    if (const auto error = parseOptions(arguments, options)) {
        err << *error << '\n' << kUsage << Qt::flush;
        return 2;
    }
    const ProgramFiles files = ProgramFiles::forRunningProgram();
    std::unique_ptr<HidBackend> backend;
    SimulatedProgrammer* sim = nullptr;
    if (options.simulate) {
        auto simulated = std::make_unique<SimulatedProgrammer>();
        sim = simulated.get();
        if (!prepareSimulator(*sim, options, files, err))
            return 1;
        backend = std::move(simulated);
    } else {
        backend = std::make_unique<HidapiBackend>();
    }
    {
        TForm1 form(*backend, files);
        form.show();
        app.exec();
    }
    QString error;
    if (sim && !options.simState.isEmpty() && !sim->saveState(options.simState, &error)) {
        err << options.simState << ": " << error << Qt::endl;
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
