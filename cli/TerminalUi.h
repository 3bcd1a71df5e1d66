#pragma once
// The user interface on a terminal: messages and log lines on stderr,
// questions answered by --yes / --no (the chip-protecting one only by
// --force, or No by --no), each answer shown; a progress bar when stderr is a tty.

#include "app/LogLine.h"
#include "app/UserInterface.h"

#include <QElapsedTimer>
#include <QTextStream>
#include <optional>

class TerminalUi final : public UserInterface {
public:
    TerminalUi(QTextStream& err, int languageIndex, std::optional<bool> answer, bool force, bool progressBar);

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
    int languageIndex() const override { return language_; }

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
    // The question with the answer a standing order gave it, or a failure
    // when none was given.
    bool answered(const QString& text, std::optional<bool> answer, const char* option);

    QTextStream& err_;
    int language_;
    std::optional<bool> answer_;
    bool force_;
    bool progressBar_;
    bool informationShown_ = true;
    LogCounter counter_;
    int failures_ = 0;
    bool unanswered_ = false;
    QString status_;
    qint64 progressMax_ = 0;
    ProgressKind progressKind_ = ProgressKind::Bytes;
    qint64 progressPos_ = 0;
    QElapsedTimer progressClock_;
    qint64 lastDrawMs_ = -1;
};
