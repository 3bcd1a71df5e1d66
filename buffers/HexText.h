#pragma once
// Bytes as hexadecimal text for the clipboard: two upper-case digits a byte,
// blanks between them, a new line after every 16.

#include <QString>
#include <cstdint>

QString hexText(const uint8_t* data, qint64 count);
