#include "fuses/FuseState.h"
#include "support/RecordingUi.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A small description: three fuse bytes and a lock byte.
//   byte 0 "LOW"  default 0x62, bits 0..1 named, bit 7 CKDIV8
//   byte 1 "HIGH" default 0xD9, bit 5 SPIEN, bit 7 RSTDISBL, bit 3 EESAVE
//   byte 2 "EXT"  default 0xFF, no bits named
//   byte 3 "LOCK" default 0xFC
const char* kDescription = R"(
<ZFPART>
  <FUSEBYTES>3 bytes</FUSEBYTES>
  <FUSE0>
    <NAME>LOW</NAME><DEFAULT>0x62</DEFAULT>
    <TEXT0><MASK>0x01</MASK><VALUE>0x00</VALUE><TEXT>Bit zero programmed</TEXT><CNTEXT>位零</CNTEXT></TEXT0>
    <TEXT1><MASK>48</MASK><VALUE>0x10</VALUE><TEXT>Start-up one</TEXT></TEXT1>
    <TEXT2><MASK>0x130</MASK><VALUE>0x20</VALUE><TEXT>Start-up two</TEXT></TEXT2>
    <TEXT3><MASK>0x80</MASK><VALUE>0x00</VALUE><TEXT>Divide by 8</TEXT></TEXT3>
    <BIT0><NAME>CKSEL0</NAME></BIT0><BIT1><NAME>CKSEL1</NAME></BIT1><BIT7><NAME>CKDIV8</NAME></BIT7>
  </FUSE0>
  <FUSE1>
    <NAME>HIGH</NAME><DEFAULT>0xD9</DEFAULT>
    <TEXT0><MASK>0x08</MASK><VALUE>0x00</VALUE><TEXT>Keep EEPROM</TEXT></TEXT0>
    <BIT3><NAME>EESAVE</NAME></BIT3><BIT5><NAME>SPIEN</NAME></BIT5><BIT7><NAME>RSTDISBL</NAME></BIT7>
  </FUSE1>
  <FUSE2><NAME>EXT</NAME><DEFAULT>255</DEFAULT></FUSE2>
  <FUSE3>
    <NAME>LOCK</NAME><DEFAULT>0xFC</DEFAULT>
    <TEXT0><MASK>0x03</MASK><VALUE>0x00</VALUE><TEXT>Locked</TEXT></TEXT0>
  </FUSE3>
  <OscCal><OCEntry0>0x9A</OCEntry0><OCEntry1>0x9B</OCEntry1></OscCal>
</ZFPART>
)";

class FuseFixture : public ::testing::Test {
protected:
    QString write(const QByteArray& content, const QString& name = QStringLiteral("0.xml"))
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }
    void load(const QByteArray& content = kDescription)
    {
        ui.clear();
        ASSERT_EQ(ReloadFusesForChipChange(state, write(content), ui), FuseLoad::Loaded);
        ASSERT_TRUE(ui.errors().isEmpty()) << ui.errors().join('\n').toStdString();
    }
    QString value(int column) const { return state.grid().cell(column, FuseGrid::kValueRow); }
    uint8_t byte(int i) const { return state.currentBytes()[i]; }

    QTemporaryDir dir;
    RecordingUi ui;
    FuseState state;
};

// Builds a description with `bytes` FUSE elements of `settingsEach` settings.
QByteArray generated(int bytes, int settingsEach, int calibration = 0, int fuseBytes = 1)
{
    QByteArray x = "<ZFPART><FUSEBYTES>" + QByteArray::number(fuseBytes) + "</FUSEBYTES>";
    for (int n = 0; n < bytes; ++n) {
        x += "<FUSE" + QByteArray::number(n) + "><NAME>B" + QByteArray::number(n) + "</NAME><DEFAULT>0x11</DEFAULT>";
        for (int j = 0; j < settingsEach; ++j)
            x += "<TEXT" + QByteArray::number(j) + "><MASK>1</MASK><VALUE>1</VALUE><TEXT>t</TEXT></TEXT"
                 + QByteArray::number(j) + ">";
        x += "</FUSE" + QByteArray::number(n) + ">";
    }
    if (calibration > 0) {
        x += "<OscCal>";
        for (int e = 0; e < calibration; ++e)
            x += "<OCEntry" + QByteArray::number(e) + ">c" + QByteArray::number(e) + "</OCEntry" + QByteArray::number(e) + ">";
        x += "</OscCal>";
    }
    return x + "</ZFPART>";
}

TEST_F(FuseFixture, LoadBuildsGridBytesSettingsAndCalibration)
{
    load();
    EXPECT_EQ(state.fuseByteCount(), 3);
    EXPECT_EQ(state.lockIndex(), 3);
    EXPECT_EQ(state.lockByte(), 0xFC);
    EXPECT_EQ(state.grid().columnCount(), 5);
    EXPECT_EQ(state.byteColumnCount(), 4);
    const uint8_t expected[] = {0x62, 0xD9, 0xFF, 0xFC};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(byte(i), expected[i]);
        EXPECT_EQ(state.defaultBytes()[i], expected[i]);
    }

    EXPECT_EQ(state.grid().cell(0, 0), "Name");
    EXPECT_EQ(state.grid().cell(0, 1), "Vale");
    EXPECT_EQ(state.grid().cell(0, 9), "Bit 7");
    EXPECT_EQ(state.grid().cell(1, 0), "    LOW");
    EXPECT_EQ(value(1), "      0x62");
    EXPECT_EQ(value(2), "      0xd9");
    EXPECT_EQ(state.grid().cell(1, 2), "      CKSEL0");
    EXPECT_EQ(state.grid().cell(1, 4), "") << "bit 2 has no name";
    EXPECT_EQ(state.grid().cell(1, 9), "      CKDIV8");
    EXPECT_EQ(state.grid().cell(3, 0), "    EXT");

    ASSERT_EQ(state.settings().size(), 6u);
    const FuseSetting& wide = state.settings()[2];
    EXPECT_EQ(wide.byteIndex, 0);
    EXPECT_EQ(wide.mask, 0x30) << "only the low 8 bits of MASK count";
    EXPECT_EQ(state.settings()[1].mask, 0x30) << "decimal MASK";
    EXPECT_EQ(state.settings()[4].byteIndex, 1);
    EXPECT_EQ(state.settings()[5].byteIndex, 3);
    EXPECT_EQ(state.settings()[0].caption, "Bit zero programmed") << "English takes TEXT";

    EXPECT_EQ(state.calibrationMask(), 0x3);
    EXPECT_EQ(state.calibrationTexts()[1], "0x9B");

    // Checks follow the bytes: 0x62 has bit 0 clear, bits 5..4 = 10, bit 7 clear.
    const bool checks[] = {true, false, true, true, false, true};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(state.isChecked(i), checks[i]) << i;
}

TEST_F(FuseFixture, CaptionsFollowTheLanguageAtLoadTime)
{
    ui.language = 0;
    load();
    EXPECT_EQ(state.settings()[0].caption, QStringLiteral("位零"));
    EXPECT_EQ(state.settings()[1].caption, "Start-up one") << "no CNTEXT: TEXT";
    ui.language = 1;
    load();
    EXPECT_EQ(state.settings()[0].caption, "Bit zero programmed");
}

TEST_F(FuseFixture, MissingRequiredElementsAreReportedByTheReader)
{
    const QString path = write("<ZFPART><FUSE0><TEXT0><VALUE>1</VALUE></TEXT0></FUSE0></ZFPART>");
    EXPECT_TRUE(LoadFuseDescription(state, path, ui));
    EXPECT_EQ(ui.errors(), (QStringList{"Node 'MASK' not found!", "Node 'TEXT' not found!", "Node 'DEFAULT' not found!",
                                        "Node 'NAME' not found!"}));
    EXPECT_EQ(state.fuseByteCount(), 0) << "no FUSEBYTES is 0";
    EXPECT_EQ(state.grid().cell(1, 0), "    ");
}

TEST_F(FuseFixture, ChipChangeWithoutFileKeepsEverything)
{
    load();
    state.clickSetting(0, false);
    EXPECT_EQ(ReloadFusesForChipChange(state, dir.filePath(QStringLiteral("none.xml")), ui), FuseLoad::NoFile);
    EXPECT_EQ(byte(0), 0x63);
    EXPECT_TRUE(ui.errors().isEmpty());
    load();
    EXPECT_EQ(byte(0), 0x62) << "a reload resets the edits";
}

TEST_F(FuseFixture, DescriptionsBeyondTheFixedArraysAreRefusedWhole)
{
    load();
    const QString tooLarge = messageText(Msg::FuseDescriptionTooLarge, ui.language);
    struct Case {
        const char* what;
        QByteArray content;
        bool accepted;
    };
    const Case cases[] = {
        {"255 settings", generated(5, 51), true},
        {"256 settings", generated(2, 128), false},
        {"32 bytes", generated(32, 0), true},
        {"33 bytes", generated(33, 0), false},
        {"4 calibration entries", generated(1, 0, 4), true},
        {"5 calibration entries", generated(1, 0, 5), false},
        {"31 fuse bytes", generated(1, 0, 0, 31), true},
        {"32 fuse bytes leave no lock byte", generated(1, 0, 0, 32), false},
    };
    for (const Case& c : cases) {
        FuseState fresh;
        ui.clear();
        EXPECT_EQ(ReloadFusesForChipChange(fresh, write(c.content, QStringLiteral("big.xml")), ui),
                  c.accepted ? FuseLoad::Loaded : FuseLoad::Refused)
            << c.what;
        EXPECT_EQ(ui.errors(), c.accepted ? QStringList{} : QStringList{tooLarge}) << c.what;

        ui.clear();
        const FuseLoad r = ReloadFusesForChipChange(state, write(c.content, QStringLiteral("big.xml")), ui);
        if (!c.accepted) {
            EXPECT_EQ(r, FuseLoad::Refused);
            EXPECT_EQ(state.settings().size(), 6u) << c.what << ": nothing changes";
            EXPECT_EQ(state.grid().cell(1, 0), "    LOW") << c.what;
            EXPECT_EQ(byte(1), 0xD9) << c.what;
        }
        load();
    }
}

TEST_F(FuseFixture, TickingAndUntickingSettings)
{
    load();
    // mask 0x01 value 0x00: ticking clears bit 0, unticking sets it again.
    state.clickSetting(0, false);
    EXPECT_EQ(byte(0), 0x63);
    EXPECT_FALSE(state.isChecked(0));
    EXPECT_EQ(value(1), "0x63") << "value cells are rewritten without the padding";
    state.clickSetting(0, true);
    EXPECT_EQ(byte(0), 0x62);
    EXPECT_TRUE(state.isChecked(0));

    // mask 0x30 value 0x10: ticking makes bits 5..4 = 01 and the other
    // setting of those bits follows; unticking a multi-bit setting does nothing.
    state.clickSetting(1, true);
    EXPECT_EQ(byte(0), 0x52);
    EXPECT_TRUE(state.isChecked(1));
    EXPECT_FALSE(state.isChecked(2));
    state.clickSetting(1, false);
    EXPECT_EQ(byte(0), 0x52);
    EXPECT_TRUE(state.isChecked(1)) << "shows ticked again";

    // A setting of another byte leaves this one alone.
    state.clickSetting(4, false);
    EXPECT_EQ(byte(1), 0xD9);
    EXPECT_EQ(byte(0), 0x52);
    state.clickSetting(99, true);
    EXPECT_EQ(byte(0), 0x52);
}

TEST_F(FuseFixture, BitCellsToggleExceptProtectedAndUnnamedBits)
{
    load();
    EXPECT_EQ(state.clickCell(1, 2), std::nullopt);
    EXPECT_EQ(byte(0), 0x63) << "CKSEL0 toggled";
    EXPECT_EQ(value(1), "0x63");
    EXPECT_FALSE(state.isChecked(0)) << "checks follow";
    state.clickCell(1, 9);
    EXPECT_EQ(byte(0), 0xE3) << "CKDIV8 toggled";

    state.clickCell(2, 7);  // SPIEN
    state.clickCell(2, 9);  // RSTDISBL
    state.clickCell(1, 4);  // unnamed bit 2
    state.clickCell(3, 2);  // EXT has no bit names
    EXPECT_EQ(byte(1), 0xD9);
    EXPECT_EQ(byte(2), 0xFF);
    EXPECT_EQ(byte(0), 0xE3);
    EXPECT_EQ(value(2), "      0xd9") << "untouched cells keep their text";

    state.clickCell(2, 5);  // EESAVE
    EXPECT_EQ(byte(1), 0xD1);
    EXPECT_TRUE(state.isChecked(4));

    // Row 0, column 0 and cells outside the grid do nothing.
    EXPECT_EQ(state.clickCell(1, 0), std::nullopt);
    EXPECT_EQ(state.clickCell(0, 1), std::nullopt);
    EXPECT_EQ(state.clickCell(9, 2), std::nullopt);
    EXPECT_EQ(byte(0), 0xE3);
}

TEST_F(FuseFixture, ValueEditorTakesTheCellAndWritesItBack)
{
    load();
    EXPECT_EQ(state.clickCell(2, 1), QString("0xd9")) << "trimmed";
    EXPECT_EQ(state.editedColumn(), 2);
    EXPECT_EQ(state.editedRow(), 1);

    EXPECT_FALSE(state.finishValueEdit(QStringLiteral("0x  "))) << "no digit typed";
    EXPECT_EQ(byte(1), 0xD9);
    EXPECT_EQ(value(2), "      0xd9");

    EXPECT_FALSE(state.isChecked(4));
    EXPECT_TRUE(state.finishValueEdit(QStringLiteral("0x 1")));
    EXPECT_EQ(value(2), "0x01");
    EXPECT_EQ(byte(1), 0x01);
    EXPECT_TRUE(state.isChecked(4)) << "checks refreshed";

    state.clickCell(1, 1);
    EXPECT_TRUE(state.finishValueEdit(QStringLiteral("0xf7 ")));
    EXPECT_EQ(byte(0), 0xF7);
    EXPECT_EQ(value(1), "0xf7");
    EXPECT_FALSE(state.isChecked(0));

    EXPECT_FALSE(state.finishValueEdit(QStringLiteral("0xzz"))) << "no number changes nothing";
    EXPECT_EQ(byte(0), 0xF7);

    for (const QChar c : QStringLiteral("09afAF\b"))
        EXPECT_TRUE(FuseState::acceptsValueKey(c)) << int(c.unicode());
    for (const QChar c : QStringLiteral("gGx -"))
        EXPECT_FALSE(FuseState::acceptsValueKey(c)) << int(c.unicode());
}

TEST_F(FuseFixture, BitImagesFollowTheValueCellText)
{
    load();
    const int low[] = {0, 1, 0, 0, 0, 1, 1, 0};  // 0x62
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(state.bitImage(1, 2 + k), low[k]) << k;
    EXPECT_EQ(state.bitImage(3, 2), 1) << "unnamed bits get images too";
    EXPECT_EQ(state.bitImage(1, 1), -1);
    EXPECT_EQ(state.bitImage(0, 2), -1);

    state.clickCell(1, 1);
    state.finishValueEdit(QStringLiteral("0x 1"));
    EXPECT_EQ(state.bitImage(1, 2), 1);
    EXPECT_EQ(state.bitImage(1, 6), 0);

    FuseState empty;
    EXPECT_EQ(empty.bitImage(1, 2), -1) << "empty value cell";
    load(R"(<ZFPART><FUSE0><NAME>A</NAME><DEFAULT>1</DEFAULT><BIT0><NAME>X</NAME></BIT0></FUSE0></ZFPART>)");
    state.clickCell(1, 1);
    EXPECT_FALSE(state.finishValueEdit(QStringLiteral("0xq")));
    EXPECT_EQ(state.bitImage(1, 2), 1);
}

TEST_F(FuseFixture, DefaultsAndReadsTouchTheRightColumns)
{
    load();
    for (int i = 0; i < 4; ++i)
        state.currentBytes()[i] = 0x00;
    state.resetFusesToDefaults();
    EXPECT_EQ(byte(0), 0x62);
    EXPECT_EQ(byte(2), 0xFF);
    EXPECT_EQ(byte(3), 0x00) << "the lock byte keeps its value";
    EXPECT_EQ(value(4), "0x0");
    EXPECT_TRUE(state.isChecked(5));

    state.currentBytes()[0] = 0xAB;
    state.currentBytes()[3] = 0xCD;
    state.fuseBytesRead();
    EXPECT_EQ(value(1), "0xab");
    EXPECT_EQ(value(4), "0x0") << "a fuse read leaves the lock column";
    state.lockByteRead();
    EXPECT_EQ(value(4), "0xcd");
}

} // namespace
