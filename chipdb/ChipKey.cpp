#include "chipdb/ChipKey.h"

namespace {
bool isBlank(char c) { return c >= 1 && c <= 32; }          // skipped between fields
bool endsField(char c) { return static_cast<unsigned char>(c) <= 32; }
} // namespace

QList<QByteArray> SplitChipKey(const QByteArray& key, char separator)
{
    QList<QByteArray> fields;
    const int n = key.size();
    auto at = [&](int i) -> char { return i < n ? key[i] : '\0'; };
    int p = 0;
    while (isBlank(at(p)))
        ++p;
    while (p < n && at(p) != '\0') {
        QByteArray field;
        if (at(p) == '"') {
            ++p;
            while (p < n && at(p) != '\0') {
                if (at(p) == '"') {
                    if (at(p + 1) == '"') {
                        field += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                field += at(p++);
            }
        } else {
            const int start = p;
            while (p < n && !endsField(at(p)) && at(p) != separator)
                ++p;
            field = key.mid(start, p - start);
        }
        fields.append(field);
        while (isBlank(at(p)))
            ++p;
        if (at(p) == separator) {
            if (p + 1 >= n || at(p + 1) == '\0')
                fields.append(QByteArray());
            do
                ++p;
            while (isBlank(at(p)));
        }
    }
    return fields;
}

QByteArray trimControl(const QByteArray& text)
{
    int b = 0;
    int e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32)
        --e;
    return text.mid(b, e - b);
}

ChipNames chipNames(const QByteArray& key)
{
    const QList<QByteArray> f = SplitChipKey(key);
    ChipNames names;
    if (f.size() > 0) names.type = trimControl(f[0]);
    if (f.size() > 1) names.manufacturer = trimControl(f[1]);
    if (f.size() > 2) names.model = trimControl(f[2]);
    return names;
}
