#include "cli/WindowCommandLine.h"

#include <QFileInfo>

namespace {

const QString kSimulateWithState = QStringLiteral("--simulate=");

} // namespace

WindowCommandLine::WindowCommandLine(QString version)
    : version_(std::move(version)),
      help_({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help and ends.")),
      versionOption_(QStringLiteral("version"), QStringLiteral("Shows the program's version and ends.")),
      simulate_(QStringLiteral("simulate"),
                QStringLiteral("Works with the simulated programmer instead of the USB one. As "
                               "--simulate=STATEFILE the simulated chip's memories are loaded from "
                               "STATEFILE and saved to it at the end.")),
      simChip_(QStringLiteral("sim-chip"), QStringLiteral("The chip in the simulated socket (default: the chip list's first)."),
               QStringLiteral("TYPE,MANUFACTURER,MODEL")),
      simEmpty_(QStringLiteral("sim-empty"), QStringLiteral("Leaves the simulated socket empty.")),
      simFault_(QStringLiteral("sim-fault"),
                QStringLiteral("Makes the simulated programmer fail the Nth report of a kind, or be unplugged at it."),
                QStringLiteral("set@N|get@N|unplug@N")),
      simLatency_(QStringLiteral("sim-latency"),
                  QStringLiteral("The simulated programmer takes MS milliseconds for every report, as a real link does."),
                  QStringLiteral("MS")),
      simProtect_(QStringLiteral("sim-protect"),
                  QStringLiteral("The simulated chip starts with its block-protect bits set.")),
      simUnstable_(QStringLiteral("sim-unstable"),
                   QStringLiteral("The simulated chip's byte at ADDR reads differently each time, as through a poor "
                                  "contact; repeatable."),
                   QStringLiteral("ADDR"))
{
    parser_.setApplicationDescription(QStringLiteral("The window program of the KTR4180 USB programmer."));
    for (const QCommandLineOption* o :
         {&help_, &versionOption_, &simulate_, &simChip_, &simEmpty_, &simFault_, &simLatency_, &simProtect_, &simUnstable_})
        parser_.addOption(*o);
    parser_.addPositionalArgument(QStringLiteral("FILE"),
                                  QStringLiteral("A data file to open after start-up, as File > Open does."),
                                  QStringLiteral("[FILE]"));
}

WindowCommandLine::Action WindowCommandLine::parse(const QStringList& arguments)
{
    options_ = {};
    dataFile_.clear();
    error_.clear();
    // The parser knows no optional values: --simulate=STATEFILE is taken apart first.
    QStringList words{QStringLiteral("ktr4180")};
    QString simState;
    for (const QString& word : arguments) {
        if (word.startsWith(kSimulateWithState)) {
            simState = word.mid(kSimulateWithState.size());
            words << QStringLiteral("--simulate");
        } else {
            words << word;
        }
    }
    const bool parsed = parser_.parse(words);
    if (parser_.isSet(help_))
        return Action::Help;
    if (parser_.isSet(versionOption_))
        return Action::Version;
    if (!parsed) {
        error_ = parser_.errorText();
        return Action::Error;
    }
    const QStringList files = parser_.positionalArguments();
    if (files.size() > 1) {
        error_ = QStringLiteral("Only one data file can be opened: %1").arg(files.mid(1).join(QLatin1Char(' ')));
        return Action::Error;
    }
    if (!files.isEmpty())
        dataFile_ = QFileInfo(files.first()).absoluteFilePath();

    // The simulator options go through the terminal front end's own parser,
    // which checks them and their values.
    QStringList simulator;
    if (parser_.isSet(simulate_))
        simulator << (simState.isEmpty() ? QStringLiteral("--simulate") : kSimulateWithState + simState);
    if (parser_.isSet(simChip_))
        simulator << QStringLiteral("--sim-chip") << parser_.value(simChip_);
    if (parser_.isSet(simEmpty_))
        simulator << QStringLiteral("--sim-empty");
    for (const QString& fault : parser_.values(simFault_))
        simulator << QStringLiteral("--sim-fault") << fault;
    if (parser_.isSet(simLatency_))
        simulator << QStringLiteral("--sim-latency") << parser_.value(simLatency_);
    if (parser_.isSet(simProtect_))
        simulator << QStringLiteral("--sim-protect");
    for (const QString& address : parser_.values(simUnstable_))
        simulator << QStringLiteral("--sim-unstable") << address;
    if (const auto error = parseCliOptions(simulator, options_)) {
        error_ = *error;
        return Action::Error;
    }
    return Action::Run;
}

QString WindowCommandLine::versionText() const
{
    return QStringLiteral("ktr4180 %1").arg(version_);
}
