#include "app/LogLine.h"

#include <QLocale>

QString LogCounter::prefix()
{
    return QString::asprintf("%03d:", next_++);
}

QString logDateTime(const QDateTime& when)
{
    const QLocale locale = QLocale::system();
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + when.time().toString(QStringLiteral("HH:mm:ss"));
}

QString logLine(const QString& prefix, const QString& text, const QDateTime& when)
{
    return prefix + text + QStringLiteral(" (") + logDateTime(when) + QLatin1Char(')');
}
