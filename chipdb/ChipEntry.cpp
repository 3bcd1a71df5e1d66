#include "chipdb/ChipEntry.h"

bool ChipEntry::setKeyText(const QByteArray& text)
{
    if (text.size() > kMaxKeyLength)
        return false;
    std::memset(key, 0, sizeof key);
    std::memcpy(key, text.constData(), static_cast<std::size_t>(text.size()));
    return true;
}
