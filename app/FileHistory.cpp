#include "app/FileHistory.h"

#include "app/IniFile.h"

#include <QFileInfo>

namespace {

const QString kSection = QStringLiteral("Files");
const QString kFolder = QStringLiteral("Folder");

QString recentKey(int i)
{
    return QStringLiteral("Recent%1").arg(i + 1);
}

} // namespace

void FileHistory::remember(const QString& path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    folder_ = info.absolutePath();
    recent_.removeAll(absolute);
    recent_.prepend(absolute);
    while (recent_.size() > kRecentCount)
        recent_.removeLast();
}

void FileHistory::load(const IniFile& file)
{
    folder_ = file.readString(kSection, kFolder, QString());
    recent_.clear();
    for (int i = 0; i < kRecentCount; ++i) {
        const QString path = file.readString(kSection, recentKey(i), QString());
        if (!path.isEmpty() && !recent_.contains(path))
            recent_ << path;
    }
}

bool FileHistory::save(IniFile& file) const
{
    if (folder_.isEmpty() && recent_.isEmpty() && !file.readString(kSection, kFolder))
        return true;
    if (!file.writeString(kSection, kFolder, folder_))
        return false;
    for (int i = 0; i < kRecentCount; ++i)
        if (!file.writeString(kSection, recentKey(i), recent_.value(i)))
            return false;
    return true;
}
