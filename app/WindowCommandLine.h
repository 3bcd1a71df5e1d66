#pragma once
// The window program's command line: help, version, the simulator options
// it shares with the terminal front end, and a data file to open after
// start-up.

#include "app/SimulatorOptions.h"

#include <QCommandLineParser>
#include <vector>

class WindowCommandLine {
public:
    enum class Action {
        Run,      // start the window
        Help,     // helpText() on stdout, exit 0
        Version,  // versionText() on stdout, exit 0
        Error,    // error() on stderr, exit 2
    };

    explicit WindowCommandLine(QString version);

    // The words after the program name.
    Action parse(const QStringList& arguments);

    const SimulatorOptions& simulator() const { return simulator_; }
    // The data file named on the line, made absolute; empty when none.
    const QString& dataFile() const { return dataFile_; }
    const QString& error() const { return error_; }
    // The help text needs the application object (it names the program).
    QString helpText() const { return parser_.helpText(); }
    QString versionText() const;

private:
    QString version_;
    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption versionOption_;
    std::vector<QCommandLineOption> simulatorOptions_;  // in the order of their table
    SimulatorOptions simulator_;
    QString dataFile_;
    QString error_;
};
