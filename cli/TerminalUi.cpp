#include "cli/TerminalUi.h"

#include "app/ProgressText.h"

#include <QDateTime>
#include <QIODevice>
#include <QThread>

TerminalUi::TerminalUi(QTextStream& err, const Settings& settings) : err_(err), settings_(settings)
{
    settings_.languageIndex = clampLanguage(settings.languageIndex);
    if (settings_.quiet)
        settings_.progress = ProgressStyle::None;
}

bool TerminalUi::stopRequested() const
{
    return settings_.stop && *settings_.stop != 0;
}

QString TerminalUi::message(Msg id) const
{
    const QString text = UserInterface::message(id);
    const bool ascii = !text.isEmpty() && text.back().unicode() < 0x80;
    switch (id) {
    case Msg::Open:
    case Msg::UnknownChipId:
    case Msg::ChipWasDetected: return ascii ? text + QLatin1Char(' ') : text;
    case Msg::ChooseCompatibleType: return QLatin1Char('\n') + text;
    case Msg::ChipType: {
        const QString name = text.trimmed();
        return QLatin1Char('\n') + (name.back().isLetter() && name.back().unicode() < 0x80 ? name + QStringLiteral(": ") : name);
    }
    default: return text;
    }
}

void TerminalUi::toLogFile(const QString& text)
{
    if (!logFile_ || logFailed_)
        return;
    *logFile_ << QDateTime::currentDateTime().toString(Qt::ISODate) << ' '
                       << QString(text).replace(QLatin1Char('\n'), QLatin1String(" / ")) << Qt::endl;
    if (logFile_->status() == QTextStream::Ok)
        return;
    logFailed_ = true;
    clearProgressLine();
    err_ << message(Msg::CliCannotWriteFile) << logPath_ << '\n'
         << (logFile_->device() ? logFile_->device()->errorString() : QString()) << Qt::endl;
}

void TerminalUi::showError(const QString& text)
{
    unfinishedPlain_.clear();
    ++failures_;
    clearProgressLine();
    QString shown = text;
    if (text == message(Msg::NotConnected) && notConnectedHint_) {
        if (const QString hint = notConnectedHint_(); !hint.isEmpty())
            shown += QLatin1Char('\n') + hint;
    }
    err_ << shown << Qt::endl;
    toLogFile(QStringLiteral("error: ") + shown);
}

bool TerminalUi::answered(const QString& text, std::optional<bool> answer, const char* option, Msg unanswered)
{
    clearProgressLine();
    if (answer) {
        err_ << text << (*answer ? " yes" : " no") << " (" << option << ')' << Qt::endl;
        toLogFile(text + (*answer ? QStringLiteral(" yes (") : QStringLiteral(" no (")) + QLatin1String(option)
                  + QLatin1Char(')'));
        return *answer;
    }
    unanswered_ = true;
    ++failures_;
    err_ << text << '\n' << message(unanswered) << Qt::endl;
    toLogFile(QStringLiteral("error: ") + text);
    return false;
}

bool TerminalUi::askYesNo(const QString& text)
{
    return answered(text, settings_.answer, settings_.answer.value_or(false) ? "--yes" : "--no", Msg::CliYesAnswers);
}

bool TerminalUi::askChipMismatch(const QString& text)
{
    // --yes answers the questions about files and sizes, never this one.
    if (settings_.force)
        return answered(text, true, "--force", Msg::CliOnlyForceGoesOn);
    if (settings_.answer == false)
        return answered(text, false, "--no", Msg::CliOnlyForceGoesOn);
    return answered(text, std::nullopt, "", Msg::CliOnlyForceGoesOn);
}

void TerminalUi::note(const QString& text)
{
    if (settings_.quiet)
        return;
    clearProgressLine();
    err_ << text << Qt::endl;
}

void TerminalUi::showInformation(const QString& text)
{
    if (informationShown_)
        note(text);
}

void TerminalUi::showMessage(const QString&, const QString& text)
{
    note(text);
}

void TerminalUi::setStatus(const QString& text) { status_ = text; }

void TerminalUi::setElapsed(const QString&) {}

void TerminalUi::printFinishedProgress()
{
    if (!unfinishedPlain_.isEmpty() && !stopRequested())
        err_ << unfinishedPlain_ << " 100%" << Qt::endl;
    unfinishedPlain_.clear();
}

void TerminalUi::log(const QString& text)
{
    printFinishedProgress();
    const QString line = logLine(counter_.prefix(), text, QDateTime::currentDateTime());
    toLogFile(line);
    note(line);
}

void TerminalUi::pause(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void TerminalUi::progressStart(qint64 maximum, ProgressKind kind)
{
    printFinishedProgress();
    progressMax_ = maximum;
    progressPos_ = 0;
    progressKind_ = kind;
    progressClock_.start();
    lastDrawMs_ = -1;
    lastPlain_ = -1;
    spin_ = 0;
    drawProgress(true);
}

void TerminalUi::progressSet(qint64 position)
{
    progressPos_ = position;
    drawProgress(false);
}

void TerminalUi::progressEnd()
{
    if (settings_.progress == ProgressStyle::Plain && progressKind_ == ProgressKind::Bytes && progressMax_ > 0
        && lastPlain_ >= 0 && lastPlain_ < 100)
        unfinishedPlain_ = status_;
    clearProgressLine();
    progressMax_ = 0;
    progressKind_ = ProgressKind::Bytes;
}

void TerminalUi::clearProgressLine()
{
    if (!progressShown_)
        return;
    err_ << "\r\033[K";
    err_.flush();
    progressShown_ = false;
}

void TerminalUi::drawProgress(bool force)
{
    const ProgressStyle style = settings_.progress;
    const bool steps = progressKind_ == ProgressKind::Steps;
    // A job of unknown length moves by polls, which may come without a maximum.
    if (style == ProgressStyle::None || (progressMax_ <= 0 && !steps))
        return;
    const qint64 now = progressClock_.elapsed();
    const double fraction =
        progressMax_ > 0 ? std::clamp(double(progressPos_) / double(progressMax_), 0.0, 1.0) : 0.0;
    if (style == ProgressStyle::Plain) {
        // One line per whole percent, or per whole second when the length is unknown.
        const qint64 mark = steps ? now / 1000 : qint64(fraction * 100);
        // The bar's reset to 0 at the end is no progress.
        if (mark <= lastPlain_)
            return;
        lastPlain_ = mark;
        err_ << status_ << ' ' << (steps ? durationText(now) : QStringLiteral("%1%").arg(mark)) << Qt::endl;
        return;
    }
    if (!force && progressPos_ < progressMax_ && lastDrawMs_ >= 0 && now - lastDrawMs_ < 100)
        return;
    lastDrawMs_ = now;
    QString line = QStringLiteral("\r%1 ").arg(status_);
    if (steps) {
        static const char kSpinner[] = {'|', '/', '-', '\\'};
        line += QString(QLatin1Char(kSpinner[spin_++ % 4])) + QLatin1Char(' ')
                + message(Msg::ProgressElapsed).arg(durationText(now));
    } else {
        constexpr int kWidth = 30;
        const int filled = int(fraction * kWidth);
        line += QLatin1Char('[') + QString(filled, QLatin1Char('#')) + QString(kWidth - filled, QLatin1Char('.'))
                + QLatin1Char(']') + QStringLiteral(" %1%").arg(int(fraction * 100), 3);
        // The rate and time left once a first stretch has been timed.
        if (const auto reading = readProgress(progressPos_, progressMax_, now))
            line += QLatin1Char(' ')
                    + message(Msg::ProgressRateLeft).arg(rateText(reading->bytesPerSecond), durationText(reading->msLeft));
    }
    err_ << line << "\033[K";
    err_.flush();
    progressShown_ = true;
}
