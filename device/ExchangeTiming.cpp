#include "device/ExchangeTiming.h"

#include "device/Programmer.h"

#include <algorithm>
#include <chrono>

qint64 ExchangeTimes::median() const
{
    if (nanoseconds.empty())
        return 0;
    std::vector<qint64> sorted = nanoseconds;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t mid = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
}

qint64 ExchangeTimes::fastest() const
{
    return nanoseconds.empty() ? 0 : *std::min_element(nanoseconds.begin(), nanoseconds.end());
}

qint64 ExchangeTimes::slowest() const
{
    return nanoseconds.empty() ? 0 : *std::max_element(nanoseconds.begin(), nanoseconds.end());
}

ExchangeTimes timeExchanges(Programmer& programmer, int count)
{
    using Clock = std::chrono::steady_clock;
    ExchangeTimes times;
    times.asked = count;
    HidDevice& device = programmer.device();
    if (device.openProgrammer() != kOpenOk)
        return times;
    times.connected = true;
    for (int i = 1; i <= count; ++i) {
        bool busy = false;
        const Clock::time_point start = Clock::now();
        // A failed exchange closes the link; the rest would measure nothing.
        if (!programmer.pollStatus(busy)) {
            times.failedAt = i;
            break;
        }
        times.nanoseconds.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count());
    }
    device.close();
    return times;
}
