#include "app/IniFile.h"
#include "support/FileText.h"
#include "app/Settings.h"
#include "app/FileHistory.h"
#include "app/WindowPlacement.h"
#include "app/DialogPlacement.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// "[S]" and "key" lines in file order, values left out.
QStringList shape(const QString& text)
{
    QStringList out;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        out << line.section(QLatin1Char('='), 0, 0);
    return out;
}

struct SettingsTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("ktr4180.ini"));
    IniFile ini{path};
};

} // namespace

TEST_F(SettingsTest, NoFileGivesTheDefaultsAndWritesSerialMarker)
{
    Settings s;
    s.uid = 77;
    s.erase = true;
    ASSERT_TRUE(LoadSettings(ini, s));
    EXPECT_FALSE(s.formMax);
    EXPECT_EQ(s.formWidth, 700);
    EXPECT_EQ(s.formHeight, 500);
    EXPECT_EQ(s.formTop, 10);
    EXPECT_EQ(s.formLeft, 10);
    EXPECT_EQ(s.index1 + s.index2 + s.index3, 0);
    EXPECT_FALSE(s.deviceMenuVisible());
    EXPECT_EQ(s.speed, 0);
    EXPECT_EQ(s.language, 0);
    EXPECT_EQ(s.start, 0);
    EXPECT_EQ(s.uid, 1);
    EXPECT_FALSE(s.erase);
    EXPECT_EQ(fileText(path), QStringLiteral("[DEVICE]\nSN=1\n"));
}

TEST_F(SettingsTest, MaximisedWindowSkipsTheGeometryKeys)
{
    ASSERT_TRUE(putFile(path, "[Environment]\nFormMax=1\nFormTop=99\nFormLeft=98\nFormHeight=97\nFormWidth=96\n"));
    Settings s;
    ASSERT_TRUE(LoadSettings(ini, s));
    EXPECT_TRUE(s.formMax);
    EXPECT_EQ(s.formTop, 10);
    EXPECT_EQ(s.formWidth, 700);
    // Also behind the byte-order mark an editor may put first.
    for (const QByteArray& mark : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
        SCOPED_TRACE(mark.size());
        ASSERT_TRUE(putFile(path, mark + "[Environment]\nFormMax=0\nFormTop=99\nFormLeft=98\nFormHeight=97\nFormWidth=96\n"));
        Settings read;
        ASSERT_TRUE(LoadSettings(ini, read));
        EXPECT_EQ(read.formTop, 99);
        EXPECT_EQ(read.formLeft, 98);
        EXPECT_EQ(read.formHeight, 97);
        EXPECT_EQ(read.formWidth, 96);
    }
}

TEST_F(SettingsTest, ValuesAreReadWithTheirEncodings)
{
    ASSERT_TRUE(putFile(path, "[DEVICE]\nCONFIG=0\nchip=5\nLANGU=0x2\nSTART=4096\nUID=-3\nSPEED=9\n"
              "[OPTIONS]\nID=1\nWEPROM=1\nSN=1\nFUSE=7\n[CHIP]\nINDEX1=2\nINDEX2=$3\nINDEX3=x\n"));
    Settings s;
    ASSERT_TRUE(LoadSettings(ini, s));
    EXPECT_TRUE(s.deviceMenuVisible());
    EXPECT_EQ(s.language, 2);
    EXPECT_EQ(s.start, 4096);
    EXPECT_EQ(s.uid, -3);
    EXPECT_EQ(s.speed, 9);  // left for the window to resolve against the chip
    EXPECT_TRUE(s.id && s.writeEeprom && s.serialNumber && s.fuse);
    EXPECT_FALSE(s.erase || s.writeFlash || s.verifyFlash || s.verifyEeprom);
    EXPECT_EQ(s.index1, 2);
    EXPECT_EQ(s.index2, 3);
    EXPECT_EQ(s.index3, 0);
}

TEST_F(SettingsTest, LanguageOutsideTheThreeReadsAsSimplifiedChinese)
{
    for (const char* value : {"3", "-1", "abc", "0x10"}) {
        ASSERT_TRUE(putFile(path, QByteArray("[DEVICE]\nLANGU=") + value + "\n"));
        Settings s;
        s.language = 2;
        ASSERT_TRUE(LoadSettings(ini, s));
        EXPECT_EQ(s.language, 0) << value;
    }
}

TEST_F(SettingsTest, OneRunWritesSectionsAndKeysInTheProgramsOrder)
{
    Settings s;
    ASSERT_TRUE(LoadSettings(ini, s));
    s.start = 4096;
    s.erase = true;
    ASSERT_TRUE(SaveSettings(ini, s));
    const QStringList expected = {
        QStringLiteral("[DEVICE]"), QStringLiteral("SN"), QStringLiteral("START"), QStringLiteral("UID"),
        QStringLiteral("SPEED"), QStringLiteral("LANGU"),
        QStringLiteral("[Environment]"), QStringLiteral("FormHeight"), QStringLiteral("FormWidth"),
        QStringLiteral("FormTop"), QStringLiteral("FormLeft"), QStringLiteral("FormMax"),
        QStringLiteral("[CHIP]"), QStringLiteral("INDEX1"), QStringLiteral("INDEX2"), QStringLiteral("INDEX3"),
        QStringLiteral("[OPTIONS]"), QStringLiteral("ID"), QStringLiteral("ERASE"), QStringLiteral("WFLASH"),
        QStringLiteral("WEPROM"), QStringLiteral("VFLASH"), QStringLiteral("VEPROM"), QStringLiteral("SN"),
        QStringLiteral("FUSE")};
    const QString text = fileText(path);
    EXPECT_EQ(shape(text), expected) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("START=4096\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("ERASE=1\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("FormMax=0\n")));

    // The production log, once chosen, goes into a section of its own at the end.
    s.productionLog = QStringLiteral("/home/me/line 2.csv");
    ASSERT_TRUE(SaveSettings(ini, s));
    EXPECT_EQ(shape(fileText(path)), expected + QStringList({QStringLiteral("[PRODUCTION]"), QStringLiteral("LogFile")}));
    Settings back;
    ASSERT_TRUE(LoadSettings(ini, back));
    EXPECT_EQ(back.productionLog, s.productionLog);
}

TEST_F(SettingsTest, SavedValuesReadBackAndReadOnlyKeysAreNeverWritten)
{
    ASSERT_TRUE(putFile(path, "[DEVICE]\nCONFIG=1\nchip=0\n"));
    Settings s;
    ASSERT_TRUE(LoadSettings(ini, s));
    s.formMax = true;
    s.formWidth = 1009;
    s.index1 = 4;
    s.index2 = 1;
    s.index3 = 2;
    s.language = 1;
    s.speed = 3;
    s.start = -1;
    s.uid = 123456;
    s.verifyEeprom = true;
    s.config = false;
    ASSERT_TRUE(SaveSettings(ini, s));
    Settings back;
    ASSERT_TRUE(LoadSettings(ini, back));
    EXPECT_TRUE(back.formMax);
    EXPECT_EQ(back.index1, 4);
    EXPECT_EQ(back.index2, 1);
    EXPECT_EQ(back.index3, 2);
    EXPECT_EQ(back.language, 1);
    EXPECT_EQ(back.speed, 3);
    EXPECT_EQ(back.start, -1);
    EXPECT_EQ(back.uid, 123456);
    EXPECT_TRUE(back.verifyEeprom);
    EXPECT_TRUE(back.config);  // untouched by the save
    Settings geometry;
    ASSERT_TRUE(putFile(path, fileText(path).replace(QStringLiteral("FormMax=1"), QStringLiteral("FormMax=0")).toUtf8()));
    ASSERT_TRUE(LoadSettings(ini, geometry));
    EXPECT_EQ(geometry.formWidth, 1009);
}

TEST_F(SettingsTest, AFailedWriteStopsTheRunWithTheMessage)
{
    // A folder where the file should be: nothing can be written there.
    QDir(dir.path()).mkdir(QStringLiteral("ktr4180.ini"));
    Settings s;
    s.uid = 55;
    QString error;
    EXPECT_FALSE(LoadSettings(ini, s, &error));
    EXPECT_EQ(error, QStringLiteral("Unable to write to ") + path);
    EXPECT_EQ(s.uid, 55);  // read after the failed write: skipped
    error.clear();
    EXPECT_FALSE(SaveSettings(ini, s, &error));
    EXPECT_EQ(error, QStringLiteral("Unable to write to ") + path);
}

TEST_F(SettingsTest, FileHistoryKeepsFiveRecentFilesAndTheFolderAfterTheProgramsSections)
{
    Settings s;
    ASSERT_TRUE(LoadSettings(ini, s));
    ASSERT_TRUE(SaveSettings(ini, s));
    const QString before = fileText(path);
    FileHistory empty;
    empty.load(ini);
    ASSERT_TRUE(empty.save(ini));
    EXPECT_EQ(fileText(path), before) << "a run that opened no file leaves the file alone";

    FileHistory h;
    for (const char* name : {"/d/a.bin", "/d/b.hex", "/e/c.bin", "/d/a.bin", "/f/d.bin", "/f/e.bin", "/g/f.rom"})
        h.remember(QString::fromLatin1(name));
    const QStringList expected = {"/g/f.rom", "/f/e.bin", "/f/d.bin", "/d/a.bin", "/e/c.bin"};
    EXPECT_EQ(h.recent(), expected);
    EXPECT_EQ(h.folder(), QStringLiteral("/g"));
    ASSERT_TRUE(h.save(ini));
    EXPECT_TRUE(fileText(path).startsWith(before + QStringLiteral("[Files]\nFolder=/g\nRecent1=/g/f.rom\n")));
    FileHistory back;
    back.load(ini);
    EXPECT_EQ(back.recent(), expected);
    EXPECT_EQ(back.folder(), QStringLiteral("/g"));
}

TEST(WindowPlacement, StoredPlacementIsFittedIntoTheAvailableArea)
{
    const QRect laptop(0, 0, 1366, 768);
    const QRect belowPanel(0, 27, 1366, 741);  // a panel across the top
    const QMargins frame(4, 30, 4, 4);
    const struct {
        QRect placement;
        QMargins frame;
        QRect area;
        QRect fitted;
    } cases[] = {
        {{10, 10, 700, 500}, {}, laptop, {10, 10, 700, 500}},             // fits: unchanged
        {{5, 5, 1900, 1000}, {}, laptop, {0, 0, 1366, 768}},              // the desktop's size
        {{5, 5, 1900, 1000}, frame, belowPanel, {0, 27, 1358, 707}},      // with the frame, under the panel
        {{900, 600, 700, 500}, {}, laptop, {666, 268, 700, 500}},         // moved back in
        {{-300, -50, 700, 500}, frame, belowPanel, {0, 27, 700, 500}},    // off the top left
        {{1400, 900, 300, 200}, frame, belowPanel, {1058, 534, 300, 200}},
        {{100, 100, 200, 200}, {}, QRect(), {100, 100, 200, 200}},        // no screen known
    };
    for (const auto& c : cases) {
        const QRect got = fitIntoArea(c.placement, c.frame, c.area);
        EXPECT_EQ(got, c.fitted) << c.placement.x() << "," << c.placement.y() << " " << c.placement.width() << "x"
                                 << c.placement.height() << " -> " << got.x() << "," << got.y() << " " << got.width()
                                 << "x" << got.height();
    }
    // A window that cannot shrink enough keeps its title bar in the area.
    EXPECT_EQ(fitIntoArea({500, 500, 900, 900}, frame, belowPanel, {1000, 800}), QRect(358, 27, 1000, 800));
    EXPECT_EQ(fitIntoArea({500, 500, 900, 900}, frame, belowPanel, {1400, 800}), QRect(0, 27, 1400, 800));
    // Centred on the whole screen as designed, then kept in the area below the panel.
    EXPECT_EQ(centredFitted({1366, 741}, {}, laptop, belowPanel), QRect(0, 27, 1366, 741));
    EXPECT_EQ(centredFitted({700, 500}, {}, laptop, belowPanel), QRect(333, 134, 700, 500));
}

TEST(WindowPlacement, DialogStandsBesideWhatItPointsInto)
{
    const QRect area(0, 27, 1366, 741);
    const QMargins frame(4, 30, 4, 4);
    const struct {
        const char* what;
        QRect anchor;
        QSize size;
        QSize minimum;
        QRect placed;
    } cases[] = {
        {"room on the right", {200, 100, 600, 500}, {400, 500}, {}, {800, 100, 400, 500}},
        {"room on the left only", {600, 100, 700, 500}, {400, 500}, {}, {192, 100, 400, 500}},
        {"narrowed to the wider side", {250, 100, 800, 500}, {400, 500}, {200, 300}, {1050, 100, 308, 500}},
        {"narrowed on the left", {350, 100, 900, 500}, {400, 500}, {200, 300}, {0, 100, 342, 500}},
        {"too little room anywhere: at the edge that covers less", {100, 100, 1200, 500}, {400, 500}, {300, 300},
         {0, 100, 300, 500}},
        {"taller than the area below it", {100, 400, 600, 300}, {400, 600}, {}, {700, 134, 400, 600}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QRect got = placeBeside(c.anchor, c.size, frame, area, c.minimum);
        EXPECT_EQ(got, c.placed) << got.x() << "," << got.y() << " " << got.width() << "x" << got.height();
        const QRect outer(got.topLeft(), got.size() + QSize(frame.left() + frame.right(), frame.top() + frame.bottom()));
        EXPECT_TRUE(area.contains(outer));
        if (c.minimum.isEmpty() || got.width() > c.minimum.width()) {
            EXPECT_FALSE(outer.intersects(c.anchor));
        }
    }
}
