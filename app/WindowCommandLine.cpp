#include "app/WindowCommandLine.h"

#include <QFileInfo>

WindowCommandLine::WindowCommandLine(QString version)
    : version_(std::move(version)),
      help_({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help and ends.")),
      versionOption_(QStringLiteral("version"), QStringLiteral("Shows the program's version and ends."))
{
    parser_.setApplicationDescription(QStringLiteral("The window program of the KTR4180 USB programmer."));
    parser_.addOption(help_);
    parser_.addOption(versionOption_);
    for (const SimulatorOptionEntry& entry : simulatorOptionEntries()) {
        QCommandLineOption option(QString::fromLatin1(entry.name), QString::fromUtf8(entry.help));
        if (entry.valueName)
            option.setValueName(QString::fromLatin1(entry.valueName));
        parser_.addOption(option);
        simulatorOptions_.push_back(option);
    }
    parser_.addPositionalArgument(QStringLiteral("FILE"),
                                  QStringLiteral("A data file to open after start-up, as File > Open does."),
                                  QStringLiteral("[FILE]"));
}

WindowCommandLine::Action WindowCommandLine::parse(const QStringList& arguments)
{
    simulator_ = {};
    dataFile_.clear();
    error_.clear();
    // The parser knows no optional values: --simulate=STATEFILE is taken apart first.
    const bool parsed = parser_.parse(QStringList{QStringLiteral("ktr4180")} + expandSimulateShorthand(arguments));
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

    // An option given twice takes its values in order: the last one wins, as on the terminal.
    const std::span<const SimulatorOptionEntry> entries = simulatorOptionEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QStringList values = entries[i].valueName ? parser_.values(simulatorOptions_[i]) : QStringList();
        const qsizetype uses = entries[i].valueName ? values.size() : (parser_.isSet(simulatorOptions_[i]) ? 1 : 0);
        for (qsizetype k = 0; k < uses; ++k) {
            if (const SimulatorOptionResult bad = entries[i].apply(simulator_, values.value(k))) {
                error_ = *bad;
                return Action::Error;
            }
        }
    }
    if (const SimulatorOptionResult bad = checkSimulatorOptions(simulator_)) {
        error_ = *bad;
        return Action::Error;
    }
    return Action::Run;
}

QString WindowCommandLine::versionText() const
{
    return QStringLiteral("ktr4180 %1").arg(version_);
}
