#pragma once
// Loading a data file into a byte area and saving bytes to a file, in the
// format the table of file formats gives the name (or the content), unless
// the caller names one.

#include "app/FileWrite.h"
#include "buffers/FileFormats.h"

#include <QString>
#include <cstdint>

class ErasedArea;
class QIODevice;
class UserInterface;

// The new data length for the area, or 0 on failure (the message shown).
// Never writes beyond the capacity; stores no more of the area than the
// file's bytes reach. A file known by its content gets a log line saying
// which format was taken.
int32_t LoadFileIntoBuffer(const QString& path, ErasedArea& destination, UserInterface& ui,
                           DataFormat format = DataFormat::ByName);
int32_t LoadFileIntoBuffer(const QString& path, uint8_t* destination, qint64 capacity, UserInterface& ui,
                           DataFormat format = DataFormat::ByName);
// The same from a stream that need not be seekable (a pipe, standard input),
// known as `name` in the log; a raw stream is read to the capacity and one
// byte more at most.
int32_t LoadStreamIntoBuffer(QIODevice& in, ErasedArea& destination, UserInterface& ui, DataFormat format,
                             const QString& name = QStringLiteral("-"));

// Asks before replacing an existing file. True when the file was written;
// false when the user declined or writing failed (the message shown, with
// the system's reason). A failed save leaves an existing file as it was.
bool SaveBufferToFile(const QString& path, const uint8_t* source, qint64 count, UserInterface& ui,
                      DataFormat format = DataFormat::ByName);
// The writing of a save, for a caller that asked its question before: no
// question, no message; the system's reason in `error`.
FileWrite WriteBufferToFile(const QString& path, const uint8_t* source, qint64 count, DataFormat format,
                            QString* error = nullptr);
// Writes to an open stream (standard output); ByName writes raw bytes.
bool WriteBufferToStream(QIODevice& out, const uint8_t* source, qint64 count, DataFormat format);
