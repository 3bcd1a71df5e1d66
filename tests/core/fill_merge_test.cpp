// The fill dialog's work and the file merge on the Flash buffer.

#include "app/ProgramState.h"
#include "buffers/Fill.h"
#include "buffers/Merge.h"
#include "device/SimulatedProgrammer.h"
#include "support/DataFileKit.h"
#include "support/RecordingUi.h"
#include "support/RecordingView.h"
#include "support/TestChipEntry.h"

#include <gtest/gtest.h>

namespace {

struct Program {
    SimulatedProgrammer sim;
    RecordingUi ui;
    ProgramState state{sim, ui};
    RecordingView view;

    Program()
    {
        fillTable(state.chips(), {makeChip({.key = "T,M,N", .flash = 4096, .page = 16})});
        state.setCurrentChipIndex(0);
        state.buffers().setFlashView(&view);
    }
    Buffers& buffers() { return state.buffers(); }
    QByteArray flash(qint64 from, qint64 count)
    {
        return QByteArray(reinterpret_cast<const char*>(buffers().flash() + from), qsizetype(count));
    }
    bool fill(FillKind kind, const FillFields& f, uint32_t seed = 0)
    {
        return FillFlash(buffers(), kind, f, seed, ui, &view);
    }
    bool merge(const QString& path)
    {
        return MergeFileIntoFlash(buffers(), state.serial(), state.currentChip(), path, ui);
    }
};

} // namespace

TEST(Fill, DefaultsCoverTheChipAndSetTheLength)
{
    Program p;
    std::fill_n(p.buffers().flash(), 4097, 0x00);
    EXPECT_EQ(fillEndText(4096), "FFF");
    ASSERT_TRUE(p.fill(FillKind::Byte, {"FF", "FFFF", "00000", fillEndText(4096)}));
    EXPECT_EQ(p.flash(0, 4096), QByteArray(4096, char(0xFF)));
    EXPECT_EQ(p.buffers().flash()[4096], 0x00);
    EXPECT_EQ(p.buffers().flashLength(), 4096);
    EXPECT_EQ(p.view.bytes.size(), 4096);
}

TEST(Fill, LengthBecomesEndPlusOneEvenWhenSmaller)
{
    Program p;
    p.buffers().setFlashLength(0x8000);
    ASSERT_TRUE(p.fill(FillKind::Byte, {"0", "FFFF", "10", "1f"}));
    EXPECT_EQ(p.buffers().flashLength(), 0x20);
    EXPECT_EQ(p.flash(0x0F, 18), QByteArray(1, char(0xFF)) + QByteArray(16, '\0') + QByteArray(1, char(0xFF)));
    // The view shows the buffer up to the end, the filled range at its own offsets.
    EXPECT_EQ(p.view.bytes, p.flash(0, 0x20));
}

TEST(Fill, WordsAreLowByteFirstFromAnEvenAddress)
{
    Program p;
    ASSERT_TRUE(p.fill(FillKind::Word, {"FF", "FFFE", "0", "5"}));
    EXPECT_EQ(p.flash(0, 7), QByteArray("\xFE\xFF\xFE\xFF\xFE\xFF\xFF", 7));
    p.buffers().fillFlash(0x00);
    ASSERT_TRUE(p.fill(FillKind::Word, {"FF", "1234", "1", "5"}));
    EXPECT_EQ(p.flash(0, 6), QByteArray("\x34\x12\x34\x12\x00\x00", 6));
    p.buffers().fillFlash(0x00);
    ASSERT_TRUE(p.fill(FillKind::Word, {"FF", "ABCD", "1", "4"}));
    EXPECT_EQ(p.flash(0, 5), QByteArray("\xCD\xAB\xCD\xAB\x00", 5));
    EXPECT_EQ(p.buffers().flashLength(), 5);
}

TEST(Fill, RandomBytesComeFromTheSeededGenerator)
{
    Program p;
    ASSERT_TRUE(p.fill(FillKind::Random, {"FF", "FFFF", "100", "107"}, 0x12345678));
    EXPECT_EQ(p.flash(0x100, 8), QByteArray("\x0E\x10\xFC\xBF\x09\x59\x02\x56", 8));
    EXPECT_EQ(p.buffers().flash()[0xFF], 0xFF);
    EXPECT_EQ(p.buffers().flash()[0x108], 0xFF);
}

TEST(Fill, BadFieldsAndRangesChangeNothing)
{
    const struct {
        FillFields fields;
        const char* message;
    } cases[] = {
        {{"", "FFFF", "0", "F"}, "Every field of the fill dialog needs a hexadecimal value."},
        {{"FF", "FFFF", "0", ""}, "Every field of the fill dialog needs a hexadecimal value."},
        {{"FF", "FFFF", "0", "G"}, "Every field of the fill dialog needs a hexadecimal value."},
        {{"FF", "FFFF", "20", "1F"}, "The fill range is not valid: the start must not lie above the end, and both must lie inside the buffer."},
        {{"FF", "FFFF", "0", "4000000"}, "The fill range is not valid: the start must not lie above the end, and both must lie inside the buffer."},
        {{"FF", "FFFF", "0", "FFFFFFFF"}, "The fill range is not valid: the start must not lie above the end, and both must lie inside the buffer."},
    };
    for (const auto& c : cases) {
        Program p;
        p.buffers().setFlashLength(9);
        EXPECT_FALSE(p.fill(FillKind::Byte, c.fields)) << c.fields.end.toStdString();
        EXPECT_EQ(p.ui.errors(), QStringList{c.message});
        EXPECT_EQ(p.buffers().flashLength(), 9);
        EXPECT_EQ(p.buffers().flash()[0], 0xFF);
        EXPECT_EQ(p.view.loads, 0);
    }
    // The last byte of the buffer is inside it.
    Program p;
    EXPECT_TRUE(p.fill(FillKind::Word, {"FF", "0102", "3FFFFFE", "3FFFFFF"}));
    EXPECT_EQ(p.buffers().flash()[Buffers::kFlashCapacity - 1], 0x01);
}

TEST(Merge, FilesAddUpWithoutClearing)
{
    Scratch s;
    Program p;
    p.buffers().flash()[0x500] = 0x33;
    const QString a = s.write("a.bin", patternBytes(100, 1));
    const QString b = s.write("b.bin", patternBytes(50, 2));
    ASSERT_TRUE(p.merge(a));
    p.state.serial().address = 0x1000;
    ASSERT_TRUE(p.merge(b));
    EXPECT_EQ(p.buffers().flashLength(), 0x1032);
    EXPECT_EQ(p.flash(0, 100), patternBytes(100, 1));
    EXPECT_EQ(p.flash(0x1000, 50), patternBytes(50, 2));
    EXPECT_EQ(p.buffers().flash()[0x500], 0x33);
    EXPECT_EQ(p.view.bytes.size(), 4096);
    EXPECT_TRUE(p.ui.logs().isEmpty());

    // A small file inside the data keeps the length.
    p.state.serial().address = 0x200;
    ASSERT_TRUE(p.merge(s.write("c.bin", patternBytes(16, 3))));
    EXPECT_EQ(p.buffers().flashLength(), 0x1032);
    EXPECT_EQ(p.flash(0x200, 16), patternBytes(16, 3));
}

TEST(Merge, RecordAddressesCountFromTheMergeAddress)
{
    Scratch s;
    Program p;
    p.state.serial().address = 0x300;
    p.buffers().flash()[0x301] = 0x44;
    ASSERT_TRUE(p.merge(s.write("m.hex", ":01001000AA45\r\n:00000001FF\r\n")));
    EXPECT_EQ(p.buffers().flash()[0x310], 0xAA);
    EXPECT_EQ(p.buffers().flash()[0x301], 0x44);
    EXPECT_EQ(p.buffers().flashLength(), 0x311);
}

TEST(Merge, AFileEndingPastTheBufferChangesNothing)
{
    Scratch s;
    Program p;
    const qint64 a = Buffers::kFlashCapacity - 0x80;
    p.state.serial().address = int32_t(a);
    p.buffers().setFlashLength(7);
    std::fill_n(p.buffers().flash() + a, 0x80, 0x66);
    for (const QString& path : {s.write("big.bin", patternBytes(0x81)),
                                s.write("big.hex", ":01008000AAD5\r\n:00000001FF\r\n")}) {
        p.ui.clear();
        EXPECT_FALSE(p.merge(path));
        EXPECT_EQ(p.ui.errors(), QStringList{"The file does not fit into the buffer at this address; nothing was changed."});
        EXPECT_EQ(p.buffers().flashLength(), 7);
        EXPECT_EQ(p.flash(a, 0x80), QByteArray(0x80, 0x66));
        EXPECT_EQ(p.view.loads, 0);
    }
    // Exactly to the end is fine.
    EXPECT_TRUE(p.merge(s.write("fits.bin", patternBytes(0x80))));
    EXPECT_EQ(p.buffers().flashLength(), Buffers::kFlashCapacity);

    p.state.serial().address = int32_t(Buffers::kFlashCapacity);
    p.ui.clear();
    EXPECT_FALSE(p.merge(s.write("one.bin", "x")));
    EXPECT_EQ(p.ui.errors(), QStringList{"The serial number address lies beyond the buffer."});
}

TEST(Merge, AFailedLoadCountsZeroAndKeepsWhatItStored)
{
    Scratch s;
    Program p;
    p.state.serial().address = 0x40;
    ASSERT_TRUE(p.merge(s.write("bad.hex", ":01000000AA55\r\n")));
    EXPECT_EQ(p.ui.errors(), QStringList{"File Read Operation Failed: no end record after line 1 (the file may be cut off)"});
    EXPECT_EQ(p.buffers().flash()[0x40], 0xAA);
    EXPECT_EQ(p.buffers().flashLength(), 0x40);
}
