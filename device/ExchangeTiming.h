#pragma once
// How long one command exchange with the programmer takes: a set and a get
// of 64 bytes each, timed over a run of PollStatus commands (which change
// nothing on the chip), the link opened and closed around them.

#include <QtGlobal>

#include <vector>

class Programmer;

struct ExchangeTimes {
    static constexpr int kDefaultCount = 20;

    bool connected = false;  // the link opened
    int asked = 0;
    int failedAt = 0;        // the exchange that failed, counted from 1; 0 when none did
    std::vector<qint64> nanoseconds;  // each exchange that completed

    // Middle value of the completed exchanges (the mean of the two middle
    // ones for an even count); 0 when none completed.
    qint64 median() const;
    qint64 fastest() const;
    qint64 slowest() const;
};

ExchangeTimes timeExchanges(Programmer& programmer, int count = ExchangeTimes::kDefaultCount);
