#include "chipdb/ChipTable.h"
#include "support/RecordingUi.h"
#include "support/TestChipEntry.h"
#include "support/QtPrinting.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray entries(int n, const char* prefix = "T,M,N")
{
    QByteArray bytes;
    for (int i = 0; i < n; ++i)
        bytes += entryBytes(makeChip({.key = prefix, .id = i + 1, .flash = uint32_t(i) * 10}));
    return bytes;
}

TEST(ChipEntryLayout, FieldsSitLittleEndianAtTheirOffsets)
{
    const ChipEntry e = makeChip({.key = "SPI_FLASH,WINBOND,W25Q64", .id = 0x00EF4017, .flash = 0x00800000,
                                  .page = 0x0100, .chipClass = 2, .subtype = 0x77, .eraseDelay = 0x1234,
                                  .eeprom = 0x0400, .eepromPage = 0x20, .interfaceCode = 2, .voltage = 1});
    const QByteArray b = entryBytes(e);
    ASSERT_EQ(b.size(), 68);
    EXPECT_EQ(b.left(25), QByteArray("SPI_FLASH,WINBOND,W25Q64\0", 25));
    EXPECT_EQ(b.mid(24, 24), QByteArray(24, '\0')) << "the key is NUL-padded";
    EXPECT_EQ(b.mid(48, 4), QByteArray("\x17\x40\xEF\x00", 4));
    EXPECT_EQ(b.mid(52, 4), QByteArray("\x00\x00\x80\x00", 4));
    EXPECT_EQ(b.mid(56, 2), QByteArray("\x00\x01", 2));
    EXPECT_EQ(b[58], '\x02');
    EXPECT_EQ(b[59], '\x77');
    EXPECT_EQ(b.mid(60, 2), QByteArray("\x34\x12", 2));
    EXPECT_EQ(b.mid(62, 2), QByteArray("\x00\x04", 2));
    EXPECT_EQ(b[64], '\x20');
    EXPECT_EQ(b[65], '\x00');
    EXPECT_EQ(b[66], '\x02');
    EXPECT_EQ(b[67], '\x01');

    // And raw bytes read back through the accessors.
    QByteArray raw(68, '\0');
    raw.replace(0, 5, "A,B,C");
    raw.replace(48, 4, QByteArray("\xFF\xFF\xFF\xFF", 4));
    raw.replace(52, 4, QByteArray("\x01\x02\x03\x84", 4));
    raw.replace(60, 2, QByteArray("\xFE\xFF", 2));
    ChipEntry r{};
    std::memcpy(&r, raw.constData(), 68);
    EXPECT_EQ(r.keyText(), "A,B,C");
    EXPECT_EQ(r.chipId(), -1) << "the identifier is signed";
    EXPECT_EQ(r.flashBytes(), 0x84030201u);
    EXPECT_EQ(r.eraseDelayValue(), 0xFFFE);
}

TEST(ChipEntryLayout, KeyHoldsAtMostFortySevenBytes)
{
    ChipEntry e = chipNamed("old");
    EXPECT_TRUE(e.setKeyText(QByteArray(47, 'k')));
    EXPECT_EQ(e.keyText().size(), 47);
    EXPECT_EQ(e.key[47], '\0');
    EXPECT_FALSE(e.setKeyText(QByteArray(48, 'x')));
    EXPECT_EQ(e.keyText(), QByteArray(47, 'k')) << "a refused key leaves the old one";

    // A key field without a NUL (a foreign file) is read to its end, no further.
    std::memset(e.key, 'z', sizeof e.key);
    EXPECT_EQ(e.keyText(), QByteArray(48, 'z'));
    EXPECT_FALSE(e.isEnd());
    e.key[0] = '\0';
    EXPECT_TRUE(e.isEnd());
}

class ChipListFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingUi ui;
    ChipTable table;
    QString path() const { return dir.filePath(QStringLiteral("ktr4180.Dat")); }
    void preload() { fillTable(table, {chipNamed("OLD,ONE,X"), chipNamed("OLD,TWO,Y"), chipNamed("OLD,THREE,Z")}); }
};

TEST_F(ChipListFile, MissingFileIsNoErrorAndChangesNothing)
{
    preload();
    EXPECT_TRUE(LoadChipList(table, path(), ui));
    EXPECT_EQ(table.count(), 3);
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(ChipListFile, EmptyFileGivesAnEmptyList)
{
    preload();
    ASSERT_TRUE(writeBytes(path(), QByteArray()));
    EXPECT_TRUE(LoadChipList(table, path(), ui));
    EXPECT_EQ(table.count(), 0);
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(ChipListFile, WholeEntriesAreTakenAndLeftoversCleared)
{
    preload();
    ASSERT_TRUE(writeBytes(path(), entries(2, "NEW,M,N")));
    EXPECT_TRUE(LoadChipList(table, path(), ui));
    EXPECT_EQ(table.count(), 2) << "the third entry of the old list must not survive";
    EXPECT_EQ(table[1].chipId(), 2);
    EXPECT_EQ(table[0].keyText(), "NEW,M,N");
    EXPECT_TRUE(table[2].isEnd());
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(ChipListFile, ListEndsAtTheFirstEndEntry)
{
    QByteArray bytes = entries(3);
    bytes[68] = '\0';
    ASSERT_TRUE(writeBytes(path(), bytes));
    EXPECT_TRUE(LoadChipList(table, path(), ui));
    EXPECT_EQ(table.count(), 1);
}

TEST_F(ChipListFile, LengthNotAMultipleOf68IsRefusedWhole)
{
    for (const int extra : {1, 67}) {
        SCOPED_TRACE(extra);
        ui.clear();
        preload();
        ASSERT_TRUE(writeBytes(path(), entries(2, "NEW,M,N") + QByteArray(extra, 'x')));
        EXPECT_FALSE(LoadChipList(table, path(), ui));
        EXPECT_EQ(table.count(), 3);
        EXPECT_EQ(table[0].keyText(), "OLD,ONE,X");
        ASSERT_EQ(ui.events.size(), 1u);
        EXPECT_EQ(ui.events[0].kind, RecordingUi::Event::Message);
        EXPECT_TRUE(ui.events[0].text.endsWith(QStringLiteral("|The configuration file was destroyed.")));
    }
    ChipTable fresh;
    ui.language = 0;
    ui.clear();
    EXPECT_FALSE(LoadChipList(fresh, path(), ui));
    EXPECT_EQ(fresh.count(), 0);
    EXPECT_TRUE(ui.events.at(0).text.endsWith(QStringLiteral("配置文件被破坏！")));
}

TEST_F(ChipListFile, OverlongListKeepsTheFirst2000AndSaysSo)
{
    QByteArray bytes = entries(2001, "BIG,M,N");
    ASSERT_TRUE(writeBytes(path(), bytes));
    EXPECT_TRUE(LoadChipList(table, path(), ui));
    EXPECT_EQ(table.count(), ChipTable::kCapacity);
    EXPECT_EQ(table[1999].chipId(), 2000);
    EXPECT_EQ(ui.logs(), QStringList{"The chip list holds more than 2000 chips; only the first 2000 were loaded."});

    // A full table followed by an end entry is a complete list.
    ui.clear();
    ASSERT_TRUE(writeBytes(path(), entries(2000) + QByteArray(68, '\0')));
    EXPECT_EQ(table.loadFile(path()), ChipTable::LoadResult::Loaded);
    EXPECT_TRUE(LoadChipList(table, path(), ui));
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(ChipListFile, UnreadableFileIsReportedAndChangesNothing)
{
    preload();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ktr4180.Dat")));
    EXPECT_EQ(table.loadFile(path()), ChipTable::LoadResult::Unreadable);
    EXPECT_FALSE(LoadChipList(table, path(), ui));
    EXPECT_EQ(ui.errors().size(), 1);
    EXPECT_EQ(table.count(), 3);
}

TEST_F(ChipListFile, SaveWritesTheEntriesAndOneEndEntry)
{
    preload();
    table[3] = chipNamed("AFTER,THE,END");
    table[3].setFlashBytes(0xABCDEF);
    ASSERT_TRUE(table.saveFile(path(), 2));
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_EQ(bytes.size(), 3 * 68);
    EXPECT_EQ(bytes.left(136), entryBytes(table[0]) + entryBytes(table[1]));
    EXPECT_EQ(bytes.mid(136, 20), QByteArray(20, '\0'));
    EXPECT_EQ(bytes.mid(156), entryBytes(table[2]).mid(20)) << "only the first 20 bytes are cleared";
    EXPECT_EQ(table.count(), 4) << "saving leaves the table alone";

    ChipTable back;
    EXPECT_TRUE(LoadChipList(back, path(), ui));
    EXPECT_EQ(back.count(), 2);
    EXPECT_EQ(back[1].keyText(), "OLD,TWO,Y");

    ASSERT_TRUE(table.saveFile(path(), 0));
    EXPECT_EQ(QFileInfo(path()).size(), 68);
    QString error;
    EXPECT_FALSE(table.saveFile(path(), ChipTable::kCapacity, &error)) << "no room for the end entry";
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QFileInfo(path()).size(), 68) << "a refused save keeps the old file";
    EXPECT_TRUE(table.saveFile(path(), ChipTable::kCapacity - 1));
    EXPECT_EQ(QFileInfo(path()).size(), 2000 * 68);
}

} // namespace
