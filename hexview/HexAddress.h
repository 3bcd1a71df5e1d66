#pragma once
// The address typed into the go-to box: hexadecimal digits only, as every hex
// field of the program takes them.

#include <QString>
#include <QtGlobal>
#include <optional>

// The value of 1 to 15 hex digits (surrounding blanks ignored); nothing otherwise.
std::optional<qint64> parseHexAddress(const QString& text);
