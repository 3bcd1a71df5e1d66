#include "app/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

TEST(ProgramFiles, PortableProgramKeepsEverythingBesideIt)
{
    QTemporaryDir dir;
    const ProgramFiles f = ProgramFiles::forProgramDir(dir.path(), dir.filePath(QStringLiteral("config")));
    EXPECT_FALSE(f.isInstalled());
    EXPECT_EQ(f.chipList(), dir.filePath(QStringLiteral("ktr4180.Dat")));
    EXPECT_EQ(f.writableChipList(), f.chipList());
    EXPECT_EQ(f.settings(), dir.filePath(QStringLiteral("ktr4180.ini")));
    EXPECT_EQ(f.fuseDescription(), dir.filePath(QStringLiteral("xml/0.xml")));
    EXPECT_EQ(f.chipListText(), dir.filePath(QStringLiteral("ktr4180.txt")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("config"))));
}

TEST(ProgramFiles, InstalledProgramReadsShippedDataAndWritesToTheUsersFolder)
{
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString share = root.filePath(QStringLiteral("share/ktr4180"));
    const QString config = root.filePath(QStringLiteral("home/.config/ktr4180"));
    QDir().mkpath(bin);
    QDir().mkpath(share);
    const ProgramFiles f = ProgramFiles::installed(bin, share, config);
    EXPECT_TRUE(f.isInstalled());
    EXPECT_EQ(f.chipList(), share + QStringLiteral("/ktr4180.Dat"));
    EXPECT_EQ(f.fuseDescription(), share + QStringLiteral("/xml/0.xml"));
    EXPECT_EQ(f.settings(), config + QStringLiteral("/ktr4180.ini"));
    EXPECT_EQ(f.chipListText(), config + QStringLiteral("/ktr4180.txt"));
    EXPECT_EQ(f.writableChipList(), config + QStringLiteral("/ktr4180.Dat"));
    // Once the user has saved an edited chip list, it is the one read.
    QDir().mkpath(config);
    QFile edited(f.writableChipList());
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
    edited.close();
    EXPECT_EQ(f.chipList(), config + QStringLiteral("/ktr4180.Dat"));
}

TEST(ProgramFiles, ReadOnlyProgramFolderCountsAsInstalled)
{
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner);
    const QString config = root.filePath(QStringLiteral("cfg"));
    const ProgramFiles f = ProgramFiles::forProgramDir(bin, config);
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (geteuid() == 0)
        GTEST_SKIP() << "every folder is writable for root";
    EXPECT_TRUE(f.isInstalled());
    EXPECT_EQ(f.dataDir(), root.filePath(QStringLiteral("share/ktr4180")));
    EXPECT_EQ(f.configDir(), config);
    EXPECT_TRUE(QDir(config).exists());
}

// The choice by layout holds for root too, for whom every folder is writable.
TEST(ProgramFiles, ShippedLayoutDecidesOverAWritableProgramFolder)
{
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString share = root.filePath(QStringLiteral("share/ktr4180"));
    const QString config = root.filePath(QStringLiteral("cfg"));
    QDir().mkpath(bin);
    QDir().mkpath(share);
    auto touch = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    };
    // An empty share folder is no shipped data: still a portable folder.
    EXPECT_FALSE(ProgramFiles::forProgramDir(bin, config).isInstalled());

    ASSERT_TRUE(touch(share + QStringLiteral("/ktr4180.Dat")));
    const ProgramFiles installed = ProgramFiles::forProgramDir(bin, config);
    EXPECT_TRUE(installed.isInstalled());
    EXPECT_EQ(installed.chipList(), share + QStringLiteral("/ktr4180.Dat"));
    EXPECT_EQ(installed.settings(), config + QStringLiteral("/ktr4180.ini"));

    // A chip list of its own makes the folder a portable copy again.
    ASSERT_TRUE(touch(bin + QStringLiteral("/ktr4180.Dat")));
    const ProgramFiles portable = ProgramFiles::forProgramDir(bin, config);
    EXPECT_FALSE(portable.isInstalled());
    EXPECT_EQ(portable.chipList(), bin + QStringLiteral("/ktr4180.Dat"));
}
