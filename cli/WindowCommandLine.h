#pragma once
// The window program's command line: help, version, the simulator options
// it shares with the terminal front end, and a data file to open after
// start-up. Kept beside the terminal's options because it hands the
// simulator options to the same parser.

#include "cli/CliSession.h"

#include <QCommandLineParser>

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

    const CliOptions& options() const { return options_; }
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
    QCommandLineOption simulate_;
    QCommandLineOption simChip_;
    QCommandLineOption simEmpty_;
    QCommandLineOption simFault_;
    QCommandLineOption simLatency_;
    QCommandLineOption simProtect_;
    QCommandLineOption simUnstable_;
    CliOptions options_;
    QString dataFile_;
    QString error_;
};
