#pragma once
// The count of a batch: chips passed and failed since batch programming was
// switched on, and the chips per hour that makes.

#include <QElapsedTimer>
#include <QString>

class BatchTally {
public:
    void restart();
    void count(bool passed);
    int passed() const { return passed_; }
    int failed() const { return failed_; }
    qint64 elapsedMs() const { return clock_.isValid() ? clock_.elapsed() : 0; }

private:
    int passed_ = 0;
    int failed_ = 0;
    QElapsedTimer clock_;
};

// Chips per hour, rounded; 0 before any time has passed.
qint64 chipsPerHour(int chips, qint64 elapsedMs);
// "Passed N, failed M, R chips/hour" in a language.
QString batchTallyText(int passed, int failed, qint64 elapsedMs, int languageIndex);
