#include "buffers/HexText.h"

#include "buffers/HexField.h"

QString hexText(const uint8_t* data, qint64 count)
{
    constexpr qint64 kPerLine = 16;
    QByteArray text;
    if (count <= 0)
        return {};
    text.resize(count * 3 - 1);
    char* p = text.data();
    for (qint64 i = 0; i < count; ++i) {
        if (i > 0)
            *p++ = i % kPerLine == 0 ? '\n' : ' ';
        p = putHexByte(p, data[i]);
    }
    return QString::fromLatin1(text);
}
