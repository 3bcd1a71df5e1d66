#pragma once
// The files named on the command line: "-" for standard input or output, the
// format by --format or else by the extension, and refusals that name the
// path and the system's reason before any work is done.

#include "buffers/DataFile.h"
#include "buffers/MemoryPage.h"

#include <QString>
#include <optional>

class CliSession;

// The format the option names (bin, hex, srec, cap); ByName when it is not
// given; nullopt after a usage error.
std::optional<DataFormat> formatOption(CliSession& s, const QString& option);

// IN can be read.
bool checkInput(CliSession& s, const QString& path);
// OUT can be written (an existing file, or a new one in its folder) and an
// existing regular file may be replaced (the overwrite question). Creates nothing.
bool checkOutput(CliSession& s, const QString& path);

// Opens IN into the page's buffer, refilled with 0xFF, and logs the Open;
// false when a failure was shown.
bool loadInput(CliSession& s, const QString& path, MemoryPage page, DataFormat format);
// IN's bytes as they are, for a command that reads them more than once;
// logs the Open; nullopt when a failure was shown.
std::optional<QByteArray> readInputBytes(CliSession& s, const QString& path);
// Writes OUT once checkOutput has passed; false when a failure was shown.
bool writeOutput(CliSession& s, const QString& path, const uint8_t* data, qint64 count, DataFormat format);
