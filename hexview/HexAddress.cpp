#include "hexview/HexAddress.h"

std::optional<qint64> parseHexAddress(const QString& text)
{
    const QString digits = text.trimmed();
    // 15 digits keep every value inside a signed 64-bit address.
    if (digits.isEmpty() || digits.size() > 15)
        return std::nullopt;
    for (const QChar c : digits) {
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!hex)
            return std::nullopt;
    }
    return digits.toLongLong(nullptr, 16);
}
