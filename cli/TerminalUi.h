#pragma once
// The user interface on a terminal: messages and log lines on stderr,
// questions answered by --yes / --no (the chip-protecting one only by
// --force, or No by --no), each answer shown; progress as a bar, as plain
// lines or not at all; -q leaves the errors and the questions.

#include "app/LogLine.h"
#include "app/UserInterface.h"

#include <QElapsedTimer>
#include <QTextStream>
#include <csignal>
#include <functional>
#include <optional>

class TerminalUi final : public UserInterface {
public:
    enum class ProgressStyle { None, Bar, Plain };

    struct Settings {
        int languageIndex = 2;
        std::optional<bool> answer;  // --yes / --no
        bool force = false;
        ProgressStyle progress = ProgressStyle::None;
        bool quiet = false;
        // Set from the SIGINT handler; never cleared while the program runs.
        const volatile std::sig_atomic_t* stop = nullptr;
    };

    TerminalUi(QTextStream& err, const Settings& settings);

    void showError(const QString& text) override;
    bool askYesNo(const QString& text) override;
    bool askChipMismatch(const QString& text) override;
    void showInformation(const QString& text) override;
    void showMessage(const QString& caption, const QString& text) override;
    void setStatus(const QString& text) override;
    void setElapsed(const QString& hhmmss) override;
    using UserInterface::progressStart;
    void progressStart(qint64 maximum, ProgressKind kind) override;
    void progressSet(qint64 position) override;
    void progressEnd() override;
    void log(const QString& text) override;
    void pumpEvents() override {}
    void pause(int milliseconds) override;
    void beep() override {}
    void setControlsEnabled(bool) override {}
    int languageIndex() const override { return settings_.languageIndex; }
    // The window's texts where they run into what follows, with a space.
    QString message(Msg id) const override;
    bool stopRequested() const override;

    // A line of the terminal's own that is no error (left out by -q).
    void note(const QString& text);
    // --log: every log line, question and error also goes there, dated; a
    // line that cannot be written is said once, naming `path`.
    void setLogFile(QTextStream* log, const QString& path)
    {
        logFile_ = log;
        logPath_ = path;
    }
    // A line could not be written to the --log file.
    bool logFailed() const { return logFailed_; }
    // Writes the run's first line to the log; false when it could not (said why).
    bool startLog(const QString& text)
    {
        toLogFile(text);
        return !logFailed_;
    }
    // What "Not connected" adds when the reason is known (access rights).
    void setNotConnectedHint(std::function<QString()> hint) { notConnectedHint_ = std::move(hint); }

    // While one lives, information boxes are not printed.
    class QuietInformation {
    public:
        explicit QuietInformation(TerminalUi& ui) : ui_(ui), before_(ui.informationShown_) { ui.informationShown_ = false; }
        ~QuietInformation() { ui_.informationShown_ = before_; }
        QuietInformation(const QuietInformation&) = delete;
        QuietInformation& operator=(const QuietInformation&) = delete;

    private:
        TerminalUi& ui_;
        bool before_;
    };

    // Something went wrong that the user was told about (an error box, or a
    // question nobody could answer).
    bool reportedFailure() const { return failures_ > 0; }
    int failureCount() const { return failures_; }
    // A question came up without --yes or --no.
    bool unansweredQuestion() const { return unanswered_; }
    QString lastStatus() const { return status_; }

private:
    void drawProgress(bool force);
    void clearProgressLine();
    // Plain progress ends with 100% once the job is known to have gone
    // through: at its log line or the next job's start, not at an error.
    void printFinishedProgress();
    void toLogFile(const QString& text);
    // The question with the answer a standing order gave it, or a failure
    // when none was given.
    // `unanswered`: the line that says what would have answered it.
    bool answered(const QString& text, std::optional<bool> answer, const char* option, Msg unanswered);

    QTextStream& err_;
    Settings settings_;
    bool informationShown_ = true;
    LogCounter counter_;
    int failures_ = 0;
    bool unanswered_ = false;
    QString status_;
    std::function<QString()> notConnectedHint_;
    QTextStream* logFile_ = nullptr;
    QString logPath_;
    bool logFailed_ = false;
    qint64 progressMax_ = 0;
    ProgressKind progressKind_ = ProgressKind::Bytes;  // Steps: time and a spinner, no rate
    qint64 progressPos_ = 0;
    bool progressShown_ = false;
    QElapsedTimer progressClock_;
    qint64 lastDrawMs_ = -1;
    qint64 lastPlain_ = -1;  // the last whole percent (or second) printed
    QString unfinishedPlain_;  // the status of a plain job that ended below 100%
    int spin_ = 0;
};
