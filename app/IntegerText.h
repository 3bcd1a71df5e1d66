#pragma once
// Integer text as the chip list, the settings and the hexadecimal fields take
// it: optional blanks and sign, then decimal digits, or hexadecimal digits
// after "$", "0x" or "0X". Hexadecimal takes up to 32 bits (FFFFFFFF is -1).

#include <QString>
#include <cstdint>
#include <optional>

std::optional<int32_t> parseInteger(const QString& text);
int32_t parseIntegerOr(const QString& text, int32_t fallback);
// "0x" + text, the rule of the hexadecimal entry fields.
std::optional<int32_t> parseHexField(const QString& text);
// Accepts 0-9, a-f, A-F and backspace: the key filter of hexadecimal fields.
bool isHexFieldKey(QChar c);
