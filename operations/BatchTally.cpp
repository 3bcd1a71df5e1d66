#include "operations/BatchTally.h"

#include "app/MessageTable.h"

void BatchTally::restart()
{
    passed_ = 0;
    failed_ = 0;
    clock_.start();
}

void BatchTally::count(bool passed)
{
    ++(passed ? passed_ : failed_);
}

qint64 chipsPerHour(int chips, qint64 elapsedMs)
{
    constexpr qint64 kHourMs = 3600 * 1000;
    return elapsedMs > 0 ? (qint64(chips) * kHourMs + elapsedMs / 2) / elapsedMs : 0;
}

QString batchTallyText(int passed, int failed, qint64 elapsedMs, int languageIndex)
{
    return messageText(Msg::BatchTally, languageIndex)
        .arg(passed)
        .arg(failed)
        .arg(chipsPerHour(passed + failed, elapsedMs));
}
