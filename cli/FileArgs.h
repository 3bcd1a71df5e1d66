#pragma once
// The files named on the command line: "-" (and /dev/stdin, /dev/stdout)
// for the standard streams, the format by --format or else by the table of
// file formats, and refusals that name the path and the system's reason
// before any work is done.

#include "buffers/DataFile.h"
#include "buffers/MemoryPage.h"

#include <QString>
#include <optional>

class CliSession;
class QIODevice;
class QTextStream;

// The format the option names (bin, hex, srec, cap); ByName when it is not
// given; nullopt after a usage error.
std::optional<DataFormat> formatOption(CliSession& s, const QString& option);

// IN can be read.
bool checkInput(CliSession& s, const QString& path);
// OUT can be written (an existing writable file, or a new one in its
// folder) and an existing regular file may be replaced (the overwrite
// question). Creates nothing.
bool checkOutput(CliSession& s, const QString& path);

// Opens IN into the page's buffer, refilled with 0xFF, and logs the Open;
// false when a failure was shown.
bool loadInput(CliSession& s, const QString& path, MemoryPage page, DataFormat format);
// IN's bytes as they are, for a command that reads them more than once;
// logs the Open; nullopt when a failure was shown.
std::optional<QByteArray> readInputFile(CliSession& s, const QString& path);
// Writes OUT once checkOutput has passed; false when a failure was shown.
// Standard output is flushed and checked before this says it was written.
bool writeOutput(CliSession& s, const QString& path, const uint8_t* data, qint64 count, DataFormat format);
// The same for bytes that are the file itself (a chip list, its text).
bool writeOutputBytes(CliSession& s, const QString& path, const QByteArray& bytes);
// The largest IN that readInputFile takes: a record file of the whole Flash buffer.
inline constexpr qint64 kInputFileLimit = qint64(64) * 1024 * 1024 * 4;
// The whole of IN (at most `limit` bytes, more is refused); nullopt once said why.
std::optional<QByteArray> readInputBytes(CliSession& s, const QString& path, qint64 limit);
// Flushes the text and the data written to standard output; the system's
// reason when they did not all reach it.
std::optional<QString> standardOutputFault(QTextStream& text, QIODevice* data);
