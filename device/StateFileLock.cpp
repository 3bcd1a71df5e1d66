#include "device/StateFileLock.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The process id the holder wrote into the lock file, if any.
QString holderOf(int fd)
{
    char text[32] = {};
    const ssize_t n = pread(fd, text, sizeof text - 1, 0);
    const QString pid = n > 0 ? QString::fromLatin1(text, int(n)).trimmed() : QString();
    return pid.isEmpty() ? QString() : QStringLiteral(" (process %1)").arg(pid);
}

} // namespace

bool StateFileLock::acquire(const QString& statePath, QString* error)
{
    release();
    const QString lockPath = lockPathFor(statePath);
    const QByteArray path = QFile::encodeName(lockPath);
    // The holder removes the lock file when it lets go, so a lock taken on a
    // file that was removed (or replaced) meanwhile holds nothing: try again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (error)
                *error = QStringLiteral("Cannot lock the simulator's state file %1: %2")
                             .arg(statePath, systemReason(errno));
            return false;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int why = errno;
            if (error) {
                *error = why == EWOULDBLOCK
                             ? QStringLiteral("The simulator's state file %1 is in use by another program%2; "
                                              "close that one first, or name another state file.")
                                   .arg(statePath, holderOf(fd))
                             : QStringLiteral("Cannot lock the simulator's state file %1: %2")
                                   .arg(statePath, systemReason(why));
            }
            ::close(fd);
            return false;
        }
        struct stat opened = {};
        struct stat named = {};
        if (fstat(fd, &opened) == 0 && stat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
            && opened.st_ino == named.st_ino) {
            // The holder's id only helps the message of a second program.
            const QByteArray pid = QByteArray::number(qint64(getpid())) + '\n';
            const bool noted = ftruncate(fd, 0) == 0 && pwrite(fd, pid.constData(), size_t(pid.size()), 0) == pid.size();
            Q_UNUSED(noted);
            fd_ = fd;
            lockPath_ = lockPath;
            return true;
        }
        ::close(fd);
    }
    if (error)
        *error = QStringLiteral("Cannot lock the simulator's state file %1: its lock file keeps changing").arg(statePath);
    return false;
}

void StateFileLock::release()
{
    if (fd_ < 0)
        return;
    // Removed while still held, so nobody can take a lock on it in between.
    ::unlink(QFile::encodeName(lockPath_).constData());
    ::close(fd_);
    fd_ = -1;
    lockPath_.clear();
}
