#pragma once
// Writing a whole file the user named without ever losing what was there: a
// regular file is replaced only once its successor is complete; a new file
// replaces nothing and is written in place, without the wait for the disk
// that a replacement takes, and removed again when writing fails; a FIFO, a
// device or a terminal is written where it is, since replacing it would
// leave a plain file in its place and nothing at the reader; a name of one
// of the program's own open streams (/dev/stdout, /dev/stderr,
// /proc/self/fd/N) is that stream, so that "> file" and ">> file" keep
// their meaning. An existing file in a folder that takes no new file is
// rewritten in place, but only once room for all of it has been reserved.

#include <QString>
#include <functional>
#include <optional>

class QIODevice;

enum class FileWrite {
    Written,
    NotOpened,  // the file could not be created or opened for writing
    Failed,     // writing failed; a regular file that existed is as it was
};

// `error`: the system's reason when the result is not Written.
FileWrite writeFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write,
                          QString* error = nullptr);

// Writes all `count` bytes: a device that took only part of them is asked
// for the rest, so that a full disk says so in the device's error string.
bool writeAll(QIODevice& out, const char* data, qint64 count);

// A target that exists and is not a regular file (a symbolic link counts as
// what it points to), or one of the program's own open streams.
bool isSpecialFile(const QString& path);

// True when lines added to `path` go at its end: a regular file, or none yet
// (a name of an own stream that leads to a file counts as that file, so
// ">> file" keeps what the file held). A pipe, a device or a terminal has no
// end to seek to and is written where it is.
bool appendsAtEnd(const QString& path);

// The descriptor a path names when it is one of the program's own open
// streams: /dev/stdin, /dev/stdout, /dev/stderr, /dev/fd/N,
// /proc/self/fd/N and /proc/<this process>/fd/N.
std::optional<int> ownStreamOf(const QString& path);
