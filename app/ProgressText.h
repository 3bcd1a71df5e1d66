#pragma once
// What a front end shows beside a running job's progress: the rate and the
// time left of a transfer, or the time taken so far by a job of unknown length.

#include <QString>
#include <QtGlobal>
#include <optional>

struct ProgressReading {
    double bytesPerSecond;
    qint64 msLeft;
};

// The reading of a transfer at `position` of `maximum` bytes after
// `elapsedMs`; none until a first stretch has been timed.
std::optional<ProgressReading> readProgress(qint64 position, qint64 maximum, qint64 elapsedMs);

// "512 B", "850 KiB", "1.5 MiB" of a byte count per second (no "/s").
QString rateText(double bytesPerSecond);
// "0:07", "12:05", "1:02:03".
QString durationText(qint64 ms);
