#include "cli/TerminalUi.h"

#include "app/ProgressText.h"

#include <QDateTime>
#include <QThread>

TerminalUi::TerminalUi(QTextStream& err, int languageIndex, std::optional<bool> answer, bool force,
                       bool progressBar)
    : err_(err), language_(clampLanguage(languageIndex)), answer_(answer), force_(force), progressBar_(progressBar)
{
}

void TerminalUi::showError(const QString& text)
{
    ++failures_;
    err_ << text << Qt::endl;
}

bool TerminalUi::answered(const QString& text, std::optional<bool> answer, const char* option)
{
    if (answer) {
        err_ << text << (*answer ? " yes" : " no") << " (" << option << ')' << Qt::endl;
        return *answer;
    }
    unanswered_ = true;
    ++failures_;
    err_ << text << Qt::endl;
    return false;
}

bool TerminalUi::askYesNo(const QString& text)
{
    return answered(text, answer_, answer_.value_or(false) ? "--yes" : "--no");
}

bool TerminalUi::askChipMismatch(const QString& text)
{
    // --yes answers the questions about files and sizes, never this one.
    if (force_)
        return answered(text, true, "--force");
    if (answer_ == false)
        return answered(text, false, "--no");
    const bool yes = answered(text, std::nullopt, "");
    err_ << "Only --force goes on with this chip." << Qt::endl;
    return yes;
}

void TerminalUi::showInformation(const QString& text)
{
    if (informationShown_)
        err_ << text << Qt::endl;
}

void TerminalUi::showMessage(const QString&, const QString& text)
{
    err_ << text << Qt::endl;
}

void TerminalUi::setStatus(const QString& text) { status_ = text; }

void TerminalUi::setElapsed(const QString&) {}

void TerminalUi::log(const QString& text)
{
    err_ << logLine(counter_.prefix(), text, QDateTime::currentDateTime()) << Qt::endl;
}

void TerminalUi::pause(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void TerminalUi::progressStart(qint64 maximum, ProgressKind kind)
{
    progressKind_ = kind;
    progressMax_ = maximum;
    progressPos_ = 0;
    progressClock_.start();
    lastDrawMs_ = -1;
    drawProgress(true);
}

void TerminalUi::progressSet(qint64 position)
{
    progressPos_ = position;
    drawProgress(false);
}

void TerminalUi::progressEnd()
{
    if (progressBar_ && progressMax_ > 0) {
        err_ << "\r\033[K";
        err_.flush();
    }
    progressMax_ = 0;
}

void TerminalUi::drawProgress(bool force)
{
    if (!progressBar_ || progressMax_ <= 0)
        return;
    const qint64 now = progressClock_.elapsed();
    if (!force && lastDrawMs_ >= 0 && now - lastDrawMs_ < 100)
        return;
    lastDrawMs_ = now;
    // A job of unknown length has no rate to show, only its time.
    if (progressKind_ == ProgressKind::Steps) {
        err_ << QStringLiteral("\r%1 %2").arg(status_, durationText(now));
        err_.flush();
        return;
    }
    const double fraction = std::clamp(double(progressPos_) / double(progressMax_), 0.0, 1.0);
    constexpr int kWidth = 30;
    const int filled = int(fraction * kWidth);
    const double seconds = now / 1000.0;
    const double rate = seconds > 0 ? progressPos_ / 1024.0 / seconds : 0.0;
    const double left = (rate > 0 && fraction < 1.0) ? (progressMax_ - progressPos_) / 1024.0 / rate : 0.0;
    QString line = QStringLiteral("\r%1 [").arg(status_);
    line += QString(filled, QLatin1Char('#')) + QString(kWidth - filled, QLatin1Char('.'));
    line += QStringLiteral("] %1% %2 KiB/s %3 s left")
                .arg(int(fraction * 100), 3)
                .arg(rate, 0, 'f', 0)
                .arg(left, 0, 'f', 0);
    err_ << line;
    err_.flush();
}
