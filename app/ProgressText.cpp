#include "app/ProgressText.h"

#include <algorithm>
#include <cmath>

namespace {
// Below this the first blocks' timing says more about start-up than about the link.
constexpr qint64 kFirstReadingMs = 200;
}

std::optional<ProgressReading> readProgress(qint64 position, qint64 maximum, qint64 elapsedMs)
{
    if (elapsedMs < kFirstReadingMs || position <= 0 || maximum <= 0)
        return std::nullopt;
    const double rate = double(position) * 1000.0 / double(elapsedMs);
    const qint64 left = position >= maximum ? 0 : qint64(std::ceil(double(maximum - position) * 1000.0 / rate));
    return ProgressReading{rate, left};
}

QString rateText(double bytesPerSecond)
{
    if (bytesPerSecond < 1024.0)
        return QStringLiteral("%1 B").arg(qint64(bytesPerSecond));
    if (bytesPerSecond < 1024.0 * 1024.0)
        return QStringLiteral("%1 KiB").arg(qint64(bytesPerSecond / 1024.0));
    return QStringLiteral("%1 MiB").arg(bytesPerSecond / 1024.0 / 1024.0, 0, 'f', 1);
}

QString durationText(qint64 ms)
{
    const qint64 seconds = std::max<qint64>(0, (ms + 999) / 1000);
    if (seconds >= 3600)
        return QString::asprintf("%lld:%02lld:%02lld", seconds / 3600, (seconds / 60) % 60, seconds % 60);
    return QString::asprintf("%lld:%02lld", seconds / 60, seconds % 60);
}
