#pragma once
// The user interface on a terminal: messages and log lines on stderr,
// questions answered by --yes / --no, a progress bar when stderr is a tty.

#include "app/LogLine.h"
#include "app/UserInterface.h"

#include <QElapsedTimer>
#include <QTextStream>
#include <optional>

class TerminalUi final : public UserInterface {
public:
    TerminalUi(QTextStream& err, int languageIndex, std::optional<bool> answer, bool progressBar);

    void showError(const QString& text) override;
    bool askYesNo(const QString& text) override;
    void showInformation(const QString& text) override;
    void showMessage(const QString& caption, const QString& text) override;
    void setStatus(const QString& text) override;
    void setElapsed(const QString& hhmmss) override;
    void progressStart(qint64 maximum) override;
    void progressSet(qint64 position) override;
    void progressEnd() override;
    void log(const QString& text) override;
    void pumpEvents() override {}
    void pause(int milliseconds) override;
    void beep() override {}
    void setControlsEnabled(bool) override {}
    int languageIndex() const override { return language_; }

    // Something went wrong that the user was told about (an error box, or a
    // question nobody could answer).
    bool reportedFailure() const { return failures_ > 0; }
    int failureCount() const { return failures_; }
    // A question came up without --yes or --no.
    bool unansweredQuestion() const { return unanswered_; }
    QString lastStatus() const { return status_; }

private:
    void drawProgress(bool force);

    QTextStream& err_;
    int language_;
    std::optional<bool> answer_;
    bool progressBar_;
    LogCounter counter_;
    int failures_ = 0;
    bool unanswered_ = false;
    QString status_;
    qint64 progressMax_ = 0;
    qint64 progressPos_ = 0;
    QElapsedTimer progressClock_;
    qint64 lastDrawMs_ = -1;
};
