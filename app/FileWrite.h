#pragma once
// Writing a whole file the user named without ever losing what was there: a
// regular file is replaced only once its successor is complete; a new file
// replaces nothing and is written in place, without the wait for the disk
// that a replacement takes, and removed again when writing fails; a FIFO, a
// device or a terminal (/dev/stdout) is written where it is, since replacing
// it would leave a plain file in its place and nothing at the reader.

#include <QString>
#include <functional>

class QIODevice;

enum class FileWrite {
    Written,
    NotOpened,  // the file could not be created or opened for writing
    Failed,     // writing failed; a regular file that existed is as it was
};

FileWrite writeFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write,
                          QString* error = nullptr);

// A target that exists and is not a regular file (a symbolic link counts as what it points to).
bool isSpecialFile(const QString& path);
