#pragma once
// The log's line format: "%03d:" counter, text, " (", date and time, ")".

#include <QDateTime>
#include <QString>

class LogCounter {
public:
    // The counter formatted "%03d:", then counted up.
    QString prefix();
    int next() const { return next_; }

private:
    int next_ = 1;
};

// Short date and long time of the system's locale.
QString logDateTime(const QDateTime& when);
QString logLine(const QString& prefix, const QString& text, const QDateTime& when);
