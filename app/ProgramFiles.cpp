#include "app/ProgramFiles.h"

#include <QCoreApplication>
#include <QDir>

ProgramFiles::ProgramFiles(QString programDir, QString baseName)
    : dir_(std::move(programDir)), base_(std::move(baseName))
{
}

ProgramFiles ProgramFiles::forRunningProgram()
{
    return ProgramFiles(QCoreApplication::applicationDirPath());
}

QString ProgramFiles::chipList() const { return QDir(dir_).filePath(base_ + QStringLiteral(".Dat")); }
QString ProgramFiles::settings() const { return QDir(dir_).filePath(base_ + QStringLiteral(".ini")); }
QString ProgramFiles::fuseDescription() const { return QDir(dir_).filePath(QStringLiteral("xml/0.xml")); }
QString ProgramFiles::chipListText() const { return QDir(dir_).filePath(base_ + QStringLiteral(".txt")); }
