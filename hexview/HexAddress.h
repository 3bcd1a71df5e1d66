#pragma once
// The address typed into the go-to box: hexadecimal digits only, as every hex
// field of the program takes them.

#include <QString>
#include <QtGlobal>
#include <optional>

// 0..15 for 0-9, a-f, A-F; -1 for anything else.
int hexDigitValue(QChar c);

// The value of 1 to 15 hex digits (surrounding blanks ignored); nothing otherwise.
std::optional<qint64> parseHexAddress(const QString& text);
