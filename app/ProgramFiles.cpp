#include "app/ProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

ProgramFiles::ProgramFiles(QString programDir, QString baseName)
    : dir_(programDir), dataDir_(programDir), configDir_(programDir), base_(std::move(baseName))
{
}

ProgramFiles::ProgramFiles(QString programDir, QString dataDir, QString configDir, QString baseName)
    : dir_(std::move(programDir)), dataDir_(std::move(dataDir)), configDir_(std::move(configDir)),
      base_(std::move(baseName))
{
}

ProgramFiles ProgramFiles::installed(QString programDir, QString dataDir, QString configDir, QString baseName)
{
    return ProgramFiles(std::move(programDir), std::move(dataDir), std::move(configDir), std::move(baseName));
}

ProgramFiles ProgramFiles::forProgramDir(const QString& programDir, const QString& configDir, const QString& baseName)
{
    const QString share = QDir::cleanPath(QDir(programDir).filePath(QStringLiteral("../share/ktr4180")));
    const QString listName = baseName + QStringLiteral(".Dat");
    // The shipped layout counts even where bin/ is writable (root, a package
    // unpacked into a user's folder): otherwise the chip list beside it is missed.
    const bool ownList = QFileInfo::exists(QDir(programDir).filePath(listName));
    const bool shipped = QFileInfo::exists(QDir(share).filePath(listName));
    if (ownList || (!shipped && QFileInfo(programDir).isWritable()))
        return ProgramFiles(programDir, baseName);
    QDir().mkpath(configDir);
    return installed(programDir, share, configDir, baseName);
}

ProgramFiles ProgramFiles::forRunningProgram()
{
    // One folder for the window program and the terminal front end alike:
    // the window program's own configuration folder.
    const QString config = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                               .filePath(QStringLiteral("ktr4180"));
    return forProgramDir(QCoreApplication::applicationDirPath(), config);
}

QString ProgramFiles::chipList() const
{
    const QString edited = writableChipList();
    if (configDir_ != dataDir_ && QFileInfo::exists(edited))
        return edited;
    return QDir(dataDir_).filePath(base_ + QStringLiteral(".Dat"));
}

QString ProgramFiles::installPrefix() const
{
    return isInstalled() ? QDir::cleanPath(QDir(dir_).filePath(QStringLiteral(".."))) : QString();
}

QString ProgramFiles::writableChipList() const { return QDir(configDir_).filePath(base_ + QStringLiteral(".Dat")); }
QString ProgramFiles::settings() const { return QDir(configDir_).filePath(base_ + QStringLiteral(".ini")); }
QString ProgramFiles::fuseDescription() const { return QDir(dataDir_).filePath(QStringLiteral("xml/0.xml")); }
QString ProgramFiles::chipListText() const { return QDir(configDir_).filePath(base_ + QStringLiteral(".txt")); }
