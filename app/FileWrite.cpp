#include "app/FileWrite.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<int> ownStreamOf(const QString& path)
{
    const QString p = QDir::cleanPath(path);
    std::optional<int> fd;
    if (p == QLatin1String("/dev/stdin"))
        fd = 0;
    else if (p == QLatin1String("/dev/stdout"))
        fd = 1;
    else if (p == QLatin1String("/dev/stderr"))
        fd = 2;
    static const QRegularExpression named(QStringLiteral("^/(?:dev|proc/(self|[0-9]+))/fd/([0-9]+)$"));
    if (const QRegularExpressionMatch m = named.match(p); !fd && m.hasMatch()) {
        const QString process = m.captured(1);
        if (!process.isEmpty() && process != QLatin1String("self") && process.toLongLong() != qint64(::getpid()))
            return std::nullopt;
        bool ok = false;
        const int n = m.captured(2).toInt(&ok);
        if (ok)
            fd = n;
    }
    if (fd && ::fcntl(*fd, F_GETFD) == -1)
        return std::nullopt;
    return fd;
}

bool writeAll(QIODevice& out, const char* data, qint64 count)
{
    for (qint64 done = 0; done < count;) {
        const qint64 n = out.write(data + done, count - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool isSpecialFile(const QString& path)
{
    if (ownStreamOf(path))
        return true;
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

namespace {

FileWrite fail(FileWrite how, const QString& reason, QString* error)
{
    if (error)
        *error = reason;
    return how;
}

FileWrite failErrno(FileWrite how, int number, QString* error)
{
    return fail(how, QString::fromLocal8Bit(std::strerror(number)), error);
}

// Writes through a descriptor of its own, so that an appending stream appends.
FileWrite writeOwnStream(int fd, const std::function<bool(QIODevice&)>& write, QString* error)
{
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    QFile file;
    if (copy < 0)
        return failErrno(FileWrite::NotOpened, errno, error);
    if (!file.open(copy, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(copy);
        return fail(FileWrite::NotOpened, file.errorString(), error);
    }
    if (!write(file) || file.error() != QFileDevice::NoError)
        return fail(FileWrite::Failed, file.errorString(), error);
    return FileWrite::Written;
}

FileWrite writeWhereItIs(const QString& path, const std::function<bool(QIODevice&)>& write, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(FileWrite::NotOpened, file.errorString(), error);
    if (!write(file))
        return fail(FileWrite::Failed, file.errorString(), error);
    file.close();
    return file.error() == QFileDevice::NoError ? FileWrite::Written : fail(FileWrite::Failed, file.errorString(), error);
}

// A new file: removed again when it could not be written whole.
std::optional<FileWrite> writeNew(const QString& path, const std::function<bool(QIODevice&)>& write, QString* error)
{
    QFile fresh(path);
    if (!fresh.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return std::nullopt;
    bool written = write(fresh) && fresh.flush();
    QString reason = fresh.errorString();
    if (written) {
        fresh.close();
        written = fresh.error() == QFileDevice::NoError;
        reason = fresh.errorString();
    }
    if (written)
        return FileWrite::Written;
    fresh.close();
    fresh.remove();
    return fail(FileWrite::Failed, reason, error);
}

// An existing file in a folder that takes no new file: the new content is
// made in memory first, room for all of it is reserved in the file, and
// only then is it written over the old, so that a full disk or a size limit
// leaves the old file as it was.
FileWrite writeInPlace(const QString& path, const std::function<bool(QIODevice&)>& write, QString* error)
{
    QByteArray content;
    QBuffer buffer(&content);
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer))
        return fail(FileWrite::Failed, buffer.errorString(), error);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return failErrno(FileWrite::NotOpened, errno, error);
    const auto failed = [&](int number) {
        ::close(fd);
        return failErrno(FileWrite::Failed, number, error);
    };
    struct stat old {};
    if (::fstat(fd, &old) != 0)
        return failed(errno);
    const off_t size = off_t(content.size());
    // A size limit stops writes beyond it even inside an old, longer file.
    if (rlimit limit{}; ::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
                        && rlim_t(size) > limit.rlim_cur)
        return failed(EFBIG);
    if (size > 0) {
        if (const int refused = ::posix_fallocate(fd, 0, size); refused != 0) {
            // What a refused reservation may have added goes again.
            struct stat now {};
            if (::fstat(fd, &now) == 0 && now.st_size != old.st_size && ::ftruncate(fd, old.st_size) != 0)
                return failed(errno);
            return failed(refused);
        }
    }
    for (off_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, content.constData() + done, size_t(size - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failed(n < 0 ? errno : EIO);
        done += n;
    }
    if ((size < old.st_size && ::ftruncate(fd, size) != 0) || ::fsync(fd) != 0)
        return failed(errno);
    if (::close(fd) != 0)
        return failErrno(FileWrite::Failed, errno, error);
    return FileWrite::Written;
}

bool folderTakesNoNewFile(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0
           && ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

} // namespace

FileWrite writeFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write, QString* error)
{
    if (const std::optional<int> fd = ownStreamOf(path))
        return writeOwnStream(*fd, write, error);
    if (isSpecialFile(path))
        return writeWhereItIs(path, write, error);
    if (!QFileInfo::exists(path)) {
        if (const std::optional<FileWrite> written = writeNew(path, write, error))
            return *written;
    }
    // Unbuffered: every write is checked where it happens. A buffered one
    // that the disk cut short at the close would still be committed.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (QFileInfo(path).isFile() && folderTakesNoNewFile(path))
            return writeInPlace(path, write, error);
        return fail(FileWrite::NotOpened, file.errorString(), error);
    }
    if (!write(file) || file.error() != QFileDevice::NoError) {
        // Taken before the cancel puts its own words in place of the reason.
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(FileWrite::Failed, reason, error);
    }
    if (!file.commit())
        return fail(FileWrite::Failed, file.errorString(), error);
    return FileWrite::Written;
}

bool appendsAtEnd(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}
