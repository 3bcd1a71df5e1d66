#pragma once
// Runs one of the text readers on fuzz input over a guarded destination and
// aborts on anything a reader must never do: write outside the capacity,
// give a result beyond it, fail silently or complain on success. What a
// successful read stored must come back unchanged through the writer.

#include "SilentUi.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>
#include <vector>

template <typename Reader, typename Writer>
void checkReader(const uint8_t* data, size_t size, Reader read, Writer write, int maxMessages)
{
    // The capacity follows the input's first byte so that the size limit is met often.
    const qint64 capacity = size == 0 ? 0 : qint64(data[0]) * 97;
    constexpr qint64 kGuard = 64;
    const auto guarded = [&] {
        std::vector<uint8_t> area(size_t(capacity + 2 * kGuard), 0xA5);
        std::fill(area.begin() + kGuard, area.end() - kGuard, 0xFF);
        return area;
    };
    const auto guardsIntact = [&](const std::vector<uint8_t>& area) {
        for (qint64 i = 0; i < kGuard; ++i)
            if (area[size_t(i)] != 0xA5 || area[size_t(capacity + kGuard + i)] != 0xA5)
                return false;
        return true;
    };

    std::vector<uint8_t> area = guarded();
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    SilentUi ui;
    const int32_t result = read(in, area.data() + kGuard, capacity, ui);
    if (result < 0 || result > capacity || !guardsIntact(area))
        std::abort();
    if ((result > 0 && ui.errors != 0) || ui.errors > maxMessages)
        std::abort();
    if (ui.errors != 0)
        return;

    QByteArray text;
    QBuffer out(&text);
    out.open(QIODevice::WriteOnly);
    if (!write(out, area.data() + kGuard, result))
        std::abort();
    out.close();
    QBuffer again(&text);
    again.open(QIODevice::ReadOnly);
    std::vector<uint8_t> copy = guarded();
    SilentUi quiet;
    const int32_t reread = read(again, copy.data() + kGuard, capacity, quiet);
    if (quiet.errors != 0 || reread > result || copy != area)
        std::abort();
}
