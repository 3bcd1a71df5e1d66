#include "app/IniFile.h"
#include "support/FileText.h"
#include "support/OrdinaryUserFileAccess.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct IniFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("t.ini"));
};

} // namespace

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault)
{
    IniFile ini(path);
    EXPECT_FALSE(ini.readString(QStringLiteral("A"), QStringLiteral("k")));
    EXPECT_EQ(ini.readInteger(QStringLiteral("A"), QStringLiteral("k"), 7), 7);
    ASSERT_TRUE(putFile(path, "[A]\nother=1\n"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("A"), QStringLiteral("k"), 7), 7);
    EXPECT_EQ(ini.readInteger(QStringLiteral("B"), QStringLiteral("other"), 7), 7);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("never.ini"))));
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToCaseAndBlanksAroundAreIgnored)
{
    ASSERT_TRUE(putFile(path, "[Device]\n  Speed = 3 \n[OPTIONS]\nsn=1\n"));
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger(QStringLiteral("DEVICE"), QStringLiteral("SPEED"), 0), 3);
    EXPECT_TRUE(ini.readBool(QStringLiteral("options"), QStringLiteral("SN"), false));
    // Writing under another spelling replaces the value, not adds a key.
    ASSERT_TRUE(ini.writeInteger(QStringLiteral("DEVICE"), QStringLiteral("speed"), 5));
    EXPECT_EQ(ini.readInteger(QStringLiteral("device"), QStringLiteral("Speed"), 0), 5);
    EXPECT_EQ(fileText(path).count(QStringLiteral("peed")), 1);
}

TEST_F(IniFileTest, IntegersAcceptHexadecimalAndFallBackOnBadText)
{
    ASSERT_TRUE(putFile(path, "[D]\na=0x2\nb=0X1F\nc=$10\nd=abc\ne=\nf=0x\ng=-12\nh=12abc\n"));
    IniFile ini(path);
    const auto read = [&](const char* key) { return ini.readInteger(QStringLiteral("D"), QLatin1String(key), -99); };
    EXPECT_EQ(read("a"), 2);
    EXPECT_EQ(read("b"), 31);
    EXPECT_EQ(read("c"), 16);
    EXPECT_EQ(read("d"), -99);
    EXPECT_EQ(read("e"), -99);
    EXPECT_EQ(read("f"), -99);
    EXPECT_EQ(read("g"), -12);
    EXPECT_EQ(read("h"), -99);
}

TEST_F(IniFileTest, BooleansAreAnyNonZeroIntegerAndWrittenAsOneOrZero)
{
    ASSERT_TRUE(putFile(path, "[O]\na=2\nb=0\nc=x\n"));
    IniFile ini(path);
    EXPECT_TRUE(ini.readBool(QStringLiteral("O"), QStringLiteral("a"), false));
    EXPECT_FALSE(ini.readBool(QStringLiteral("O"), QStringLiteral("b"), true));
    EXPECT_TRUE(ini.readBool(QStringLiteral("O"), QStringLiteral("c"), true));
    ASSERT_TRUE(ini.writeBool(QStringLiteral("O"), QStringLiteral("a"), false));
    ASSERT_TRUE(ini.writeBool(QStringLiteral("O"), QStringLiteral("d"), true));
    EXPECT_EQ(fileText(path), QStringLiteral("[O]\na=0\nb=0\nc=x\nd=1\n"));
}

TEST_F(IniFileTest, KeysAndSectionsKeepTheOrderOfFirstWrite)
{
    IniFile ini(path);
    ASSERT_TRUE(ini.writeInteger(QStringLiteral("DEVICE"), QStringLiteral("SN"), 1));
    ASSERT_TRUE(ini.writeInteger(QStringLiteral("Environment"), QStringLiteral("FormHeight"), 500));
    ASSERT_TRUE(ini.writeInteger(QStringLiteral("DEVICE"), QStringLiteral("START"), 4096));
    ASSERT_TRUE(ini.writeInteger(QStringLiteral("DEVICE"), QStringLiteral("SN"), 1));
    ASSERT_TRUE(ini.writeInteger(QStringLiteral("Environment"), QStringLiteral("FormMax"), 0));
    EXPECT_EQ(fileText(path), QStringLiteral("[DEVICE]\nSN=1\nSTART=4096\n[Environment]\nFormHeight=500\nFormMax=0\n"));
}

TEST_F(IniFileTest, ForeignLinesCommentsAndBlankLinesSurviveAWrite)
{
    ASSERT_TRUE(putFile(path, "; kept\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"));
    IniFile ini(path);
    ASSERT_TRUE(ini.writeString(QStringLiteral("A"), QStringLiteral("z"), QStringLiteral("new")));
    // A new key goes after the section's last key, before the blank line,
    // and the file's line ends are kept.
    EXPECT_EQ(fileText(path), QStringLiteral("; kept\r\n[A]\r\nx=1\r\nz=new\r\n\r\n[B]\r\ny=2\r\n"));
    EXPECT_EQ(ini.readString(QStringLiteral("B"), QStringLiteral("y"), QString()), QStringLiteral("2"));
}

TEST_F(IniFileTest, BytesThatAreNotUtf8SurviveAWrite)
{
    // A comment and a foreign value in GBK ("配置" and "中文"), as older tools leave them.
    const QByteArray gbkComment = "; \xC5\xE4\xD6\xC3\r\n";
    const QByteArray gbkValue = "name=\xD6\xD0\xCE\xC4\r\n";
    ASSERT_TRUE(putFile(path, gbkComment + "[DEVICE]\r\n" + gbkValue + "LANGU=1\r\n"));
    IniFile ini(path);
    ASSERT_TRUE(ini.writeInteger(QStringLiteral("DEVICE"), QStringLiteral("LANGU"), 2));
    ASSERT_TRUE(ini.writeString(QStringLiteral("Files"), QStringLiteral("Folder"), QStringLiteral("/home/用户")));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), gbkComment + "[DEVICE]\r\n" + gbkValue + "LANGU=2\r\n[Files]\r\nFolder=/home/\xE7\x94\xA8\xE6\x88\xB7\r\n");
    EXPECT_EQ(ini.readString(QStringLiteral("files"), QStringLiteral("FOLDER"), QString()), QStringLiteral("/home/用户"));
}

TEST_F(IniFileTest, AByteOrderMarkIsSkippedAndKeptAtTheStart)
{
    const QByteArray mark = "\xEF\xBB\xBF";
    ASSERT_TRUE(putFile(path, mark + "[DEVICE]\r\nLANGU=1\r\n[CHIP]\r\nINDEX1=3\r\n"));
    IniFile ini(path);
    EXPECT_EQ(ini.readInteger(QStringLiteral("DEVICE"), QStringLiteral("LANGU"), 0), 1);
    EXPECT_EQ(ini.readInteger(QStringLiteral("CHIP"), QStringLiteral("INDEX1"), 0), 3);
    // The first section is found, not added again below.
    ASSERT_TRUE(ini.writeInteger(QStringLiteral("DEVICE"), QStringLiteral("LANGU"), 2));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), mark + "[DEVICE]\r\nLANGU=2\r\n[CHIP]\r\nINDEX1=3\r\n");
}

TEST_F(IniFileTest, EveryReadSeesTheFileAsItIsNow)
{
    IniFile ini(path);
    ASSERT_TRUE(putFile(path, "[A]\nk=1\n"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("A"), QStringLiteral("k"), 0), 1);
    ASSERT_TRUE(putFile(path, "[A]\nk=2\n"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("A"), QStringLiteral("k"), 0), 2);
}

TEST_F(IniFileTest, ValueWithLineBreakStaysOnOneLine)
{
    IniFile ini(path);
    ASSERT_TRUE(ini.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("one\ntwo")));
    EXPECT_EQ(ini.readString(QStringLiteral("A"), QStringLiteral("k"), QString()), QStringLiteral("one two"));
    EXPECT_FALSE(ini.readString(QStringLiteral("A"), QStringLiteral("two")));
}

TEST_F(IniFileTest, FailedWriteSaysWhereAndLeavesTheFileWhole)
{
    // A folder in the file's place cannot be replaced by a file.
    QDir(dir.path()).mkdir(QStringLiteral("t.ini"));
    IniFile blocked(path);
    EXPECT_FALSE(blocked.writeInteger(QStringLiteral("A"), QStringLiteral("k"), 2));
    EXPECT_EQ(blocked.writeError(), QStringLiteral("Unable to write to ") + path);

    // A read-only file in a read-only folder: neither replaced nor written in place.
    const QString sub = dir.filePath(QStringLiteral("sub"));
    const QString other = dir.filePath(QStringLiteral("sub/u.ini"));
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    ASSERT_TRUE(putFile(other, "[A]\nk=1\n"));
    const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto enterable = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    const auto keep = qScopeGuard([&] {
        QFile::setPermissions(sub, readable | enterable | QFile::WriteOwner);
        QFile::setPermissions(other, readable | QFile::WriteOwner);
    });
    ASSERT_TRUE(QFile::setPermissions(other, readable));
    ASSERT_TRUE(QFile::setPermissions(sub, readable | enterable));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readable | enterable | QFile::WriteOwner));
    IniFile readOnly(other);
    bool written = true;
    {
        // Root may write anywhere: the write is made with an ordinary user's rights.
        const OrdinaryUserFileAccess ordinary;
        ASSERT_TRUE(ordinary.active());
        written = readOnly.writeInteger(QStringLiteral("A"), QStringLiteral("k"), 2);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(fileText(other), QStringLiteral("[A]\nk=1\n"));
    EXPECT_EQ(QDir(sub).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("u.ini")}) << "no leftovers";
}

TEST_F(IniFileTest, WriteIntoAFolderThatCannotExistFails)
{
    // A regular file where the folder should be.
    ASSERT_TRUE(putFile(dir.filePath(QStringLiteral("plain")), "x"));
    IniFile ini(dir.filePath(QStringLiteral("plain/sub/t.ini")));
    EXPECT_FALSE(ini.writeInteger(QStringLiteral("A"), QStringLiteral("k"), 1));
    EXPECT_TRUE(ini.writeError().endsWith(QStringLiteral("plain/sub/t.ini")));
}
