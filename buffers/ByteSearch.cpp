#include "buffers/ByteSearch.h"

#include "buffers/HexField.h"

#include <algorithm>
#include <functional>
#include <iterator>

std::optional<QByteArray> searchPattern(const QString& text, SearchKind kind)
{
    if (kind == SearchKind::Text) {
        const QByteArray bytes = text.toUtf8();
        return bytes.isEmpty() ? std::nullopt : std::optional(bytes);
    }
    QByteArray bytes;
    int high = -1;
    for (const QChar c : text) {
        if (c.isSpace()) {
            if (high >= 0)
                return std::nullopt;  // a digit alone between blanks
            continue;
        }
        const int digit = c.unicode() < 0x80 ? hexdigits::kValue[c.unicode()] : -1;
        if (digit < 0)
            return std::nullopt;
        if (high < 0) {
            high = digit;
        } else {
            bytes += char((high << 4) | digit);
            high = -1;
        }
    }
    if (high >= 0 || bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

qint64 findForward(const uint8_t* data, qint64 count, const QByteArray& pattern, qint64 from)
{
    const auto* p = reinterpret_cast<const uint8_t*>(pattern.constData());
    const qint64 n = pattern.size();
    if (n == 0 || from < 0 || from > count - n)
        return -1;
    const uint8_t* end = data + count;
    const uint8_t* at = std::search(data + from, end, std::boyer_moore_horspool_searcher(p, p + n));
    return at == end ? -1 : at - data;
}

qint64 findBackward(const uint8_t* data, qint64 count, const QByteArray& pattern, qint64 before)
{
    const auto* p = reinterpret_cast<const uint8_t*>(pattern.constData());
    const qint64 n = pattern.size();
    const qint64 lastStart = std::min(before - 1, count - n);
    if (n == 0 || lastStart < 0)
        return -1;
    // The pattern reversed, searched from the last possible end backwards.
    using Back = std::reverse_iterator<const uint8_t*>;
    const Back first(data + lastStart + n);
    const Back last(data);
    const Back at = std::search(first, last, std::boyer_moore_horspool_searcher(Back(p + n), Back(p)));
    return at == last ? -1 : (at.base() - data) - n;
}
