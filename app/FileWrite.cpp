#include "app/FileWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool isSpecialFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

namespace {

FileWrite fail(FileWrite how, const QFileDevice& file, QString* error)
{
    if (error)
        *error = file.errorString();
    return how;
}

} // namespace

FileWrite writeFileSafely(const QString& path, const std::function<bool(QIODevice&)>& write, QString* error)
{
    if (isSpecialFile(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return fail(FileWrite::NotOpened, file, error);
        if (!write(file))
            return fail(FileWrite::Failed, file, error);
        file.close();
        return file.error() == QFileDevice::NoError ? FileWrite::Written : fail(FileWrite::Failed, file, error);
    }
    if (!QFileInfo::exists(path)) {
        QFile fresh(path);
        if (fresh.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            const bool written = write(fresh) && fresh.flush();
            fresh.close();
            if (written && fresh.error() == QFileDevice::NoError)
                return FileWrite::Written;
            const FileWrite failed = fail(FileWrite::Failed, fresh, error);
            fresh.remove();
            return failed;
        }
    }
    QSaveFile file(path);
    // A folder that takes no new file still lets its existing files be rewritten.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return fail(FileWrite::NotOpened, file, error);
    // Flushed here: the commit would replace the old file even when the last
    // buffered bytes could not be written (disk full, file size limit).
    if (!write(file) || !file.flush()) {
        file.cancelWriting();
        return fail(FileWrite::Failed, file, error);
    }
    if (!file.commit())
        return fail(FileWrite::Failed, file, error);
    return FileWrite::Written;
}
