#pragma once
// Finding a run of bytes in a buffer, forward or backward, and the two ways
// the user writes what to find: hexadecimal bytes or text.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

enum class SearchKind { HexBytes, Text };

// The bytes of a search text. Hex bytes: pairs of hexadecimal digits, blanks
// between them allowed ("EB 3C 90", "eb3c90"); an odd digit count or any
// other character gives nothing. Text: its UTF-8 bytes. An empty text gives
// nothing either.
std::optional<QByteArray> searchPattern(const QString& text, SearchKind kind);

// Start of the first match at or after `from`, or -1.
qint64 findForward(const uint8_t* data, qint64 count, const QByteArray& pattern, qint64 from);
// Start of the last match that starts before `before`, or -1.
qint64 findBackward(const uint8_t* data, qint64 count, const QByteArray& pattern, qint64 before);
