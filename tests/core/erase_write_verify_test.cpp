// Erase by class, write and verify through the simulated programmer: the
// reports on the wire, the data length rules, the size question, and what a
// failed transfer stops.

#include "operations/CompareReport.h"
#include "support/OperationRig.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

namespace {

using Kind = RecordingUi::Event::Kind;
using Fault = SimulatedProgrammer::Fault;

ChipEntry chipOf(uint8_t cls, uint32_t size, uint16_t page, uint16_t eraseDelay = 0)
{
    return makeChip({.key = "T,M,N", .id = 0xEF4017, .flash = size, .page = page, .chipClass = cls,
                     .eraseDelay = eraseDelay});
}

ChipEntry mcuOf(uint16_t eeprom, uint8_t eepromPage)
{
    ChipEntry mcu = chipOf(7, 1024, 128);
    mcu.setEepromBytes(eeprom);
    mcu.eepromPageSize = eepromPage;
    return mcu;
}

// A Flash view that the user has edited.
class EditedView final : public ByteView {
public:
    explicit EditedView(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    void loadBytes(const uint8_t* data, qint64 count) override { bytes_.assign(data, data + count); modified_ = false; }
    qint64 byteCount() const override { return qint64(bytes_.size()); }
    bool isModified() const override { return modified_; }
    void clearModified() override { modified_ = false; }
    void copyOut(uint8_t* d, qint64 count) const override { std::copy_n(bytes_.begin(), count, d); }

private:
    std::vector<uint8_t> bytes_;
    bool modified_ = true;
};

TEST(Write, RoundsUpToWholePagesAndWritesThem)
{
    OperationRig rig;
    rig.use(chipOf(0, 4096, 256));
    rig.loadFlash(1000);
    rig.ops.writeChip(MemoryPage::Flash);
    EXPECT_EQ(rig.state.buffers().flashLength(), 1024);
    EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C07"}) + times(4, "W04/257") + QStringList{"C0A"});
    EXPECT_TRUE(std::equal(rig.sim.flash().begin(), rig.sim.flash().begin() + 1024, rig.state.buffers().flash()));
    EXPECT_EQ(rig.ui.logs(), QStringList{"Write Complete!"});
    const QStringList trace = rig.uiTrace();
    EXPECT_LT(trace.indexOf("Beep"), trace.indexOf("Log"));
    EXPECT_TRUE(rig.ui.pauses().empty());
}

TEST(Write, LargerThanChipAsksAndCutsOrStops)
{
    OperationRig yes;
    yes.use(chipOf(0, 1024, 256));
    yes.loadFlash(2048);
    yes.ui.answers = {true};
    yes.ops.writeChip(MemoryPage::Flash);
    EXPECT_EQ(yes.ui.questions(),
              QStringList{"File length is larger than chip capacity. Do you want to continue to write?"});
    EXPECT_EQ(yes.wireAfterProbe().count("W04/257"), 4);
    EXPECT_EQ(yes.ui.logs(), QStringList{"Write Complete!"});

    OperationRig no;
    no.use(chipOf(0, 1024, 256));
    no.loadFlash(2048);
    no.ui.answers = {false};
    no.ops.writeChip(MemoryPage::Flash);
    EXPECT_EQ(no.wireAfterProbe(), QStringList({"C09", "C0A"}));
    EXPECT_TRUE(no.ui.logs().isEmpty());
    EXPECT_EQ(no.ui.texts(Kind::Beep).size(), 1);
    EXPECT_EQ(no.ops.lastOutcome(), Outcome::Declined);
}

TEST(Write, TwentyFourSeriesWaitsAfterItsLastPage)
{
    OperationRig rig;
    rig.use(chipOf(1, 256, 8));
    rig.loadFlash(20);  // raised to 24, sent as one 64-byte block
    rig.ops.writeChip(MemoryPage::Flash);
    EXPECT_EQ(rig.state.buffers().flashLength(), 24);
    EXPECT_EQ(rig.wireAfterProbe(2), QStringList({"C09", "C07", "W02/65", "C0A"}));
    EXPECT_EQ(rig.ui.pauses(), std::vector<qint64>{100});
}

TEST(Write, EepromPageAndEmptyAndOtherPage)
{
    OperationRig rig;
    rig.use(mcuOf(256, 4));
    rig.loadFlash(64);

    // Nothing in the EEPROM buffer: refused after the probe, controls untouched.
    rig.ops.writeChip(MemoryPage::Eeprom);
    EXPECT_EQ(rig.ui.errors(), QStringList{"The buffer data is empty. Please load the data file.."});
    EXPECT_EQ(rig.wire().size(), 3);
    EXPECT_TRUE(rig.ui.texts(Kind::Controls).isEmpty());

    rig.sim.clearTraffic();
    rig.loadEeprom(10);
    rig.ops.writeChip(MemoryPage::Eeprom);
    EXPECT_EQ(rig.state.buffers().eepromLength(), 12);
    EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C01", "C08", "W02/65", "C0A"}));
    EXPECT_TRUE(std::equal(rig.sim.eeprom().begin(), rig.sim.eeprom().begin() + 12, rig.state.buffers().eeprom()));

    // The FUSE page: Setup, the signature and Finish only, and no line.
    rig.sim.clearTraffic();
    rig.ui.clear();
    rig.ops.writeChip(MemoryPage::Other);
    EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C01", "C0A"}));
    EXPECT_TRUE(rig.ui.logs().isEmpty());
}

TEST(Write, TakesViewEditsInFirstButVerifyDoesNot)
{
    OperationRig rig;
    rig.use(chipOf(0, 4096, 256));
    EditedView view(std::vector<uint8_t>(300, 0x5A));
    rig.state.buffers().setFlashView(&view);
    rig.ops.verifyChip(MemoryPage::Flash);
    EXPECT_EQ(rig.ui.errors(), QStringList{"The buffer data is empty. Please load the data file.."});

    rig.ops.writeChip(MemoryPage::Flash);
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
    EXPECT_EQ(rig.state.buffers().flashLength(), 512);
    EXPECT_EQ(rig.sim.flash()[299], 0x5A);
    rig.state.buffers().setFlashView(nullptr);
}

TEST(Write, LastBlockPastTheBufferIsPaddedNotOverrun)
{
    OperationRig rig;
    rig.use(mcuOf(8192, 255));
    rig.loadEeprom(8192);
    rig.ops.writeChip(MemoryPage::Eeprom);
    // 8192 is not whole 255-byte pages; the data length stops at the buffer.
    EXPECT_EQ(rig.state.buffers().eepromLength(), 8192);
    EXPECT_EQ(rig.wireAfterProbe().count("W02/256"), 33);
    EXPECT_TRUE(std::equal(rig.sim.eeprom().begin(), rig.sim.eeprom().end(), rig.state.buffers().eeprom()));
}

TEST(Write, FailedTransferStopsWithOneMessage)
{
    // Reports 1-6 probe, 7-8 Setup, 9-10 stream, then one per page.
    const struct {
        Fault fault;
        int sent;
        QString why;
    } cases[] = {
        {{Fault::Kind::Set, 13}, 2, OperationRig::brokenPipe(13)},
        {{Fault::Kind::Unplug, 12}, 1, OperationRig::unplugged(12)},
    };
    for (const auto& [fault, sent, why] : cases) {
        OperationRig rig;
        rig.use(chipOf(0, 4096, 256));
        rig.loadFlash(1024);
        rig.sim.addFault(fault);
        rig.ops.writeChip(MemoryPage::Flash);
        EXPECT_EQ(rig.ui.errors(), QStringList{rig.failure(Msg::TransferFailed, why)});
        EXPECT_TRUE(rig.ui.logs().isEmpty());
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Failed);
        EXPECT_EQ(rig.wireAfterProbe().count("W04/257"), sent);
        EXPECT_TRUE(rig.ui.controlsEnabled);
        EXPECT_FALSE(rig.state.programmer().jobRunning());
    }
}

// The terminal's write: the data read back and compared, and a chip that
// did not take them fails with the compare's diagnosis; an erase first when
// asked.
TEST(Write, VerifiedWriteFailsWithTheDiagnosisWhenTheChipDidNotTakeIt)
{
    const QString first = "Flash check error address:";
    const struct {
        const char* what;
        std::function<void(OperationRig&)> chipBefore;
        WriteOptions options;
        Outcome outcome;
        QStringList errors;
        QStringList logs;
    } cases[] = {
        {"erased chip", [](OperationRig&) {}, {.verifyAfter = true}, Outcome::Done, {},
         {"Verify Complete!", "Write Complete!"}},
        // Two bytes of the data are 0x00 and two 0xFF: equal on either chip.
        {"not erased", [](OperationRig& r) { std::fill_n(r.sim.flash().begin(), 512, 0x00); },
         {.verifyAfter = true}, Outcome::Declined,
         {first + "0h\nDiffering bytes: 510, ranges: 3.\n"
                  "Bits are 0 on the chip where the data has 1: not erased before writing."},
         {}},
        {"write-protected", [](OperationRig& r) { r.sim.setBlockProtected(true); }, {.verifyAfter = true},
         Outcome::Declined,
         {first + "0h\nDiffering bytes: 510, ranges: 3.\n"
                  "All differing bits are still 1 on the chip: not programmed (write-protected, or the write did "
                  "not run).\nThe chip may be write-protected: run Unprotect, then write again."},
         {}},
        {"not erased, erased first", [](OperationRig& r) { std::fill_n(r.sim.flash().begin(), 512, 0x00); },
         {.eraseFirst = true, .verifyAfter = true}, Outcome::Done, {}, {"Verify Complete!", "Write Complete!"}},
        {"not erased, not verified", [](OperationRig& r) { std::fill_n(r.sim.flash().begin(), 512, 0x00); }, {},
         Outcome::Done, {}, {"Write Complete!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OperationRig rig;
        rig.use(chipOf(0, 4096, 256, 1));
        rig.loadFlash(512);
        c.chipBefore(rig);
        rig.ops.writeChip(MemoryPage::Flash, c.options);
        EXPECT_EQ(rig.ops.lastOutcome(), c.outcome);
        EXPECT_EQ(rig.ui.errors(), c.errors);
        EXPECT_EQ(rig.ui.logs(), c.logs);
        EXPECT_EQ(rig.commands(0x02).size(), c.options.eraseFirst ? 1u : 0u);
        // The written range, two pages, read back only when verifying.
        EXPECT_EQ(rig.wire().count("R/257"), c.options.verifyAfter ? 2 + (c.options.eraseFirst ? 1 : 0) : 0);
    }
}

// Data larger than the chip cannot be on it: verify and compare say so
// instead of comparing the part that fits.
TEST(Verify, DataLargerThanTheChipIsNeverEqual)
{
    for (const MemoryPage page : {MemoryPage::Flash, MemoryPage::Eeprom}) {
        for (const bool compare : {false, true}) {
            OperationRig rig;
            rig.use(mcuOf(256, 4));
            rig.loadFlash(2048);
            rig.loadEeprom(300);
            compare ? rig.ops.compareChip(page) : rig.ops.verifyChip(page);
            const bool flash = page == MemoryPage::Flash;
            EXPECT_EQ(rig.ui.errors(), QStringList{QStringLiteral("The data (%1 bytes) are larger than the chip (%2 "
                                                                  "bytes): the chip cannot hold them all.")
                                                       .arg(flash ? 2048 : 300)
                                                       .arg(flash ? 1024 : 256)});
            EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Refused);
            EXPECT_EQ(rig.ops.lastCompare(), nullptr);
            EXPECT_TRUE(rig.ui.logs().isEmpty());
            EXPECT_EQ(rig.wire().size(), 3) << "the probe only";
        }
    }
}

TEST(Verify, ComparesWholeBlocksAndNamesTheFirstDifference)
{
    OperationRig rig;
    rig.use(chipOf(0, 8192, 256));
    rig.loadFlash(8192);
    std::copy_n(rig.state.buffers().flash(), 8192, rig.sim.flash().begin());
    rig.ops.verifyChip(MemoryPage::Flash);
    EXPECT_EQ(rig.ui.logs(), QStringList{"Verify Complete!"});
    const QStringList trace = rig.uiTrace();
    EXPECT_LT(trace.indexOf("Log"), trace.indexOf("Beep"));

    rig.ui.clear();
    rig.sim.flash()[0x1A3F] ^= 0x01;
    rig.sim.flash()[0x1B00] ^= 0x01;
    rig.ops.verifyChip(MemoryPage::Flash);
    EXPECT_EQ(rig.ui.errors(), QStringList{"Flash check error address:1A3Fh"});
    EXPECT_TRUE(rig.ui.logs().isEmpty());
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Declined);
}

TEST(Verify, ShortBufferStillComparesTheWholeBlock)
{
    OperationRig rig;
    rig.use(chipOf(0, 4096, 256));
    rig.loadFlash(100);
    std::copy_n(rig.state.buffers().flash(), 100, rig.sim.flash().begin());
    rig.sim.flash()[200] = 0x00;  // beyond the data, inside the block
    rig.ops.verifyChip(MemoryPage::Flash);
    EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C07", "R/257", "C0A"}));
    EXPECT_EQ(rig.ui.errors(), QStringList{"Flash check error address:C8h"});
}

// Verify and compare read the data length's blocks, not the whole chip:
// what lies beyond the data is no difference.
TEST(Verify, OnlyTheDataLengthIsCompared)
{
    const struct {
        const char* what;
        std::function<void(OperationRig&)> run;
        QString line;
    } cases[] = {
        {"verify", [](OperationRig& r) { r.ops.verifyChip(MemoryPage::Flash); }, "Verify Complete!"},
        {"compare", [](OperationRig& r) { r.ops.compareChip(MemoryPage::Flash); }, "The chip and the buffer are equal."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OperationRig rig;
        rig.use(chipOf(0, 4096, 256));
        rig.loadFlash(1000);
        // The chip holds the data's four blocks (the last one's tail erased),
        // then other bytes.
        std::fill(rig.sim.flash().begin(), rig.sim.flash().end(), 0x00);
        std::fill_n(rig.sim.flash().begin(), 1024, 0xFF);
        std::copy_n(rig.state.buffers().flash(), 1000, rig.sim.flash().begin());
        c.run(rig);
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
        EXPECT_EQ(rig.ui.logs(), QStringList{c.line});
        EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C07"}) + times(4, "R/257") + QStringList{"C0A"});
    }
}

TEST(Verify, EepromUsesItsStreamAndTheFlashMessage)
{
    OperationRig rig;
    rig.ui.language = 0;
    rig.use(mcuOf(128, 4));
    rig.loadEeprom(70);
    std::copy_n(rig.state.buffers().eeprom(), 70, rig.sim.eeprom().begin());
    rig.sim.eeprom()[100] = 0x00;  // past the data, inside the second block
    rig.ops.verifyChip(MemoryPage::Eeprom);
    EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C01", "C08", "R/65", "R/65", "C0A"}));
    EXPECT_EQ(rig.ui.texts(Kind::Status).front(), QString::fromUtf8("校验 Eeprom ..."));
    EXPECT_EQ(rig.ui.errors(), QStringList{QString::fromUtf8("Flash 校验错误地址: 64h")});
}

TEST(Verify, FailedReadIsNotAComparison)
{
    OperationRig rig;
    rig.use(chipOf(0, 4096, 256));
    rig.loadFlash(512);
    std::copy_n(rig.state.buffers().flash(), 512, rig.sim.flash().begin());
    rig.sim.addFault({Fault::Kind::Get, 12});
    rig.ops.verifyChip(MemoryPage::Flash);
    EXPECT_EQ(rig.ui.errors(), QStringList{rig.failure(Msg::TransferFailed, rig.brokenPipe(12))});
    EXPECT_TRUE(rig.ui.logs().isEmpty());
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Failed);
}

// A chip holding the buffer's data, then changed at some addresses.
struct CompareCase {
    const char* name;
    std::vector<std::pair<int, uint8_t>> chipBytes;  // address, byte on the chip
    QStringList lines;
};

TEST(Compare, ListsEveryRangeAndWhichWayTheBitsWent)
{
    // The data (1 + 7 * address): 01 08 at 0x100, BA at 0x1A3F, F3 FA 01 at 0x3FE, 71 at 0x10, E1 at 0x20.
    const CompareCase cases[] = {
        {"bits still 1 (class 0)",
         {{0x100, 0xFF}, {0x101, 0x0F}, {0x1A3F, 0xFF}},
         {"0100h-0101h: 2 bytes, expected 01 08, found FF 0F", "1A3Fh: 1 byte, expected BA, found FF",
          "Differing bytes: 3, ranges: 2.",
          "All differing bits are still 1 on the chip: not programmed (write-protected, or the write did not run).",
          "The chip may be write-protected: run Unprotect, then write again."}},
        {"bits 0 where the data has 1, one range across two blocks",
         {{0x3FE, 0x03}, {0x3FF, 0x0A}, {0x400, 0x00}},
         {"03FEh-0400h: 3 bytes, expected F3 FA 01, found 03 0A 00", "Differing bytes: 3, ranges: 1.",
          "Bits are 0 on the chip where the data has 1: not erased before writing."}},
        {"both ways",
         {{0x10, 0x00}, {0x20, 0xFF}},
         {"0010h: 1 byte, expected 71, found 00", "0020h: 1 byte, expected E1, found FF",
          "Differing bytes: 2, ranges: 2.", "Bits differ both ways (mixed): wrong data or a failing chip."}},
    };
    for (const CompareCase& c : cases) {
        SCOPED_TRACE(c.name);
        OperationRig rig;
        rig.use(chipOf(0, 8192, 256));
        rig.loadFlash(8192);
        std::copy_n(rig.state.buffers().flash(), 8192, rig.sim.flash().begin());
        for (const auto& [address, byte] : c.chipBytes)
            rig.sim.flash()[std::size_t(address)] = byte;
        const std::vector<uint8_t> before(rig.state.buffers().flash(), rig.state.buffers().flash() + 8192);
        rig.ops.compareChip(MemoryPage::Flash);
        ASSERT_NE(rig.ops.lastCompare(), nullptr);
        EXPECT_EQ(compareReportLines(*rig.ops.lastCompare(), 2), c.lines);
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Declined);
        // Read to the end after the first difference; the buffer untouched.
        EXPECT_EQ(rig.wireAfterProbe().count("R/257"), 32);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), rig.state.buffers().flash()));
        EXPECT_EQ(rig.state.buffers().flashLength(), 8192);
        EXPECT_TRUE(rig.ui.errors().isEmpty());
        EXPECT_EQ(rig.ui.logs(), c.lines.filter("Differing bytes"));
    }
}

TEST(Compare, EqualChipManyRangesAndAFailedRead)
{
    OperationRig rig;
    rig.use(chipOf(2, 4096, 64));  // no block protection: no hint to Unprotect
    rig.loadFlash(4096);
    std::copy_n(rig.state.buffers().flash(), 4096, rig.sim.flash().begin());
    rig.ops.compareChip(MemoryPage::Flash);
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
    EXPECT_EQ(compareReportLines(*rig.ops.lastCompare(), 2), QStringList{"The chip and the buffer are equal."});
    EXPECT_EQ(rig.ui.logs(), QStringList{"The chip and the buffer are equal."});

    // 25 single-byte ranges, each only with bits still 1: 20 listed, then the count.
    for (int i = 0; i < 25; ++i)
        rig.sim.flash()[std::size_t(i * 100)] = 0xFF;
    rig.ops.compareChip(MemoryPage::Flash);
    const CompareReport& report = *rig.ops.lastCompare();
    EXPECT_EQ(report.rangeCount(), 25);
    EXPECT_EQ(report.listedRanges().size(), 20u);
    EXPECT_EQ(report.listedRanges().back().start, 1900);
    const QStringList lines = compareReportLines(report, 2);
    EXPECT_EQ(lines.mid(20), QStringList({"and 5 more", "Differing bytes: 25, ranges: 25.",
                                          "All differing bits are still 1 on the chip: not programmed "
                                          "(write-protected, or the write did not run)."}));

    // A failed read ends the compare with the transfer message and no report.
    rig.ui.clear();
    const int secondBlock = rig.sim.reportCount() + 24;  // 18 probe, 4 set-up and stream, then the blocks
    rig.sim.addFault({Fault::Kind::Get, secondBlock});
    rig.ops.compareChip(MemoryPage::Flash);
    EXPECT_EQ(rig.ops.lastCompare(), nullptr);
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Failed);
    EXPECT_EQ(rig.ui.errors(), QStringList{rig.failure(Msg::TransferFailed, rig.brokenPipe(secondBlock))});
}

// The strip's picture of a compare, 64 cells over a 64 KiB chip: '#' a cell
// with a difference, '.' an equal one, ' ' one that was not compared.
TEST(Compare, TheMapMarksEveryDifferingBlockAlsoPastTheListedRanges)
{
    const QString equal(64, QLatin1Char('.'));
    const struct {
        const char* what;
        int32_t compared;
        std::function<void(std::vector<uint8_t>&)> change;
        qint64 ranges;
        int differingBlocks;
        QString picture;
        qint64 firstTarget;  // where the first marked cell leads
    } cases[] = {
        {"one spot", 65536, [](std::vector<uint8_t>& chip) { chip[0x1234] ^= 0x01; }, 1, 1,
         QString(equal).replace(4, 1, "#"), 0x1234},
        {"a region", 65536,
         [](std::vector<uint8_t>& chip) {
             for (int a = 0x4000; a < 0x5000; ++a)
                 chip[std::size_t(a)] ^= 0xFF;
         },
         1, 64, QString(equal).replace(16, 4, "####"), 0x4000},
        {"everywhere, far more ranges than listed", 65536,
         [](std::vector<uint8_t>& chip) {
             for (int a = 5; a < 65536; a += 64)
                 chip[std::size_t(a)] ^= 0x10;
         },
         1024, 1024, QString(64, QLatin1Char('#')), 5},
        {"a buffer shorter than the chip", 16384, [](std::vector<uint8_t>& chip) { chip[0x100] ^= 0x80; }, 1, 1,
         "#" + QString(15, QLatin1Char('.')) + QString(48, QLatin1Char(' ')), 0x100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OperationRig rig;
        rig.use(chipOf(0, 65536, 256));
        rig.loadFlash(c.compared);
        std::copy_n(rig.state.buffers().flash(), 65536, rig.sim.flash().begin());
        c.change(rig.sim.flash());
        rig.ops.compareChip(MemoryPage::Flash);
        ASSERT_NE(rig.ops.lastCompare(), nullptr);
        const CompareReport& report = *rig.ops.lastCompare();
        EXPECT_EQ(report.rangeCount(), c.ranges);
        const DifferenceMap& map = report.differenceMap();
        EXPECT_EQ(map.blockSize(), std::max<qint64>(16, c.compared / 1024));
        EXPECT_EQ(map.differingBlocks(), c.differingBlocks);
        qint64 mapped = 0;
        for (int b = 0; b < map.blockCount(); ++b)
            mapped += map.differingIn(b);
        EXPECT_EQ(mapped, report.differingBytes());

        const std::vector<StripCell> cells = stripCells(map, 65536, 64);
        QString picture;
        for (const StripCell& cell : cells)
            picture += !cell.compared ? ' ' : cell.differs() ? '#' : '.';
        EXPECT_EQ(picture, c.picture);
        const auto marked = std::find_if(cells.begin(), cells.end(), [](const StripCell& s) { return s.differs(); });
        ASSERT_NE(marked, cells.end());
        EXPECT_EQ(marked->target(), c.firstTarget);
        EXPECT_EQ(cells.front().target(), c.firstTarget < 1024 ? c.firstTarget : 0) << "an equal cell leads to its start";
    }
}

TEST(Compare, MapBlocksStayFewForAnySize)
{
    const struct {
        qint64 bytes;
        qint64 block;
        int blocks;
    } sizes[] = {{0, 16, 0}, {100, 16, 7}, {16384, 16, 1024}, {16385, 32, 513}, {64 << 20, 65536, 1024}};
    for (const auto& s : sizes) {
        DifferenceMap map;
        map.start(s.bytes);
        EXPECT_EQ(map.blockSize(), s.block) << s.bytes;
        EXPECT_EQ(map.blockCount(), s.blocks) << s.bytes;
    }
    // A run across block boundaries counts in each block; the last block may be short.
    DifferenceMap map;
    map.start(60);
    map.add(10, 40);
    map.add(58, 70);
    EXPECT_EQ((std::vector<qint64>{map.differingIn(0), map.differingIn(1), map.differingIn(2), map.differingIn(3)}),
              (std::vector<qint64>{6, 16, 9, 2}));
    EXPECT_EQ((std::vector<qint64>{map.firstIn(0), map.firstIn(1), map.firstIn(2), map.firstIn(3)}),
              (std::vector<qint64>{10, 16, 32, 58}));
    EXPECT_EQ(map.blockLength(3), 12);
    // A strip with more cells than bytes: the cells past the end stand for nothing.
    const std::vector<StripCell> cells = stripCells(map, 60, 120);
    EXPECT_EQ(std::count_if(cells.begin(), cells.end(), [](const StripCell& c) { return c.compared; }), 60);
    EXPECT_TRUE(stripCells(map, 60, 0).empty());
}

TEST(Unprotect, EachSequenceOnTheWireExactly)
{
    const struct {
        ChipFields chip;
        std::vector<std::vector<uint8_t>> raw;  // bytes 2.. of each RawSpi report
    } cases[] = {
        {{.key = "SPI_FLASH,WINBOND,W25Q64", .id = 0xEF4017, .flash = 4096, .page = 256},
         {{0x02, 1, 0x06}, {0x02, 2, 0x01, 0x00}}},
        {{.key = "SPI_FLASH,SST,SST25VF016B", .id = 0xBF2541, .flash = 4096, .page = 256, .subtype = 1},
         {{0x02, 1, 0x50}, {0x02, 2, 0x01, 0x00}}},
        {{.key = "SPI_FLASH,SST,SST26VF016B", .id = 0xBF2641, .flash = 4096, .page = 256, .subtype = 1},
         {{0x02, 1, 0x06}, {0x02, 1, 0x98}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chip.key);
        OperationRig rig;
        rig.use(makeChip(c.chip));
        rig.sim.setBlockProtected(true);
        rig.ops.unprotectChip();
        EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C0D", "C0D", "C0A"}));
        const auto raw = rig.commands(0x0D);
        ASSERT_EQ(raw.size(), c.raw.size());
        for (std::size_t i = 0; i < raw.size(); ++i) {
            std::vector<uint8_t> want(64, 0);
            want[0] = 0x01;
            want[1] = 0x0D;
            std::copy(c.raw[i].begin(), c.raw[i].end(), want.begin() + 2);
            EXPECT_EQ(raw[i], want);
        }
        EXPECT_FALSE(rig.sim.blockProtected());
        EXPECT_EQ(rig.ui.pauses(), std::vector<qint64>{15});
        EXPECT_EQ(rig.ui.logs(), QStringList{"Unprotect Complete!"});
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
    }

    // Only SPI flash has it: refused before anything is sent.
    OperationRig eeprom;
    eeprom.use(chipOf(1, 256, 8));
    eeprom.ops.unprotectChip();
    EXPECT_EQ(eeprom.ui.errors(), QStringList{"Only SPI flash chips can be unprotected."});
    EXPECT_TRUE(eeprom.sim.traffic().empty());
}

TEST(Unprotect, ProtectedChipFailsItsWriteTheCompareSaysWhyAndAfterUnprotectItVerifies)
{
    OperationRig rig;
    rig.use(makeChip({.key = "SPI_FLASH,SST,SST26VF016B", .id = 0xBF2641, .flash = 4096, .page = 256, .subtype = 1,
                      .eraseDelay = 1}));
    rig.sim.setBlockProtected(true);
    rig.loadFlash(1024);
    const AutoOptions program{.erase = true, .writeFlash = true, .verifyFlash = true};
    rig.ops.runAuto(program);
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Declined);
    EXPECT_EQ(rig.ui.errors(), QStringList{"Flash check error address:0h"});

    rig.ops.compareChip(MemoryPage::Flash);
    ASSERT_NE(rig.ops.lastCompare(), nullptr);
    EXPECT_TRUE(rig.ops.lastCompare()->suggestsUnprotect());
    EXPECT_EQ(compareReportLines(*rig.ops.lastCompare(), 2).last(),
              "The chip may be write-protected: run Unprotect, then write again.");

    rig.ops.unprotectChip();
    rig.ui.clear();
    rig.ops.runAuto(program);
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
    EXPECT_EQ(rig.ui.logs(), QStringList{"AUTO Complete!"});

    // As the auto sequence's first step, on a chip that arrived locked.
    rig.sim.setBlockProtected(true);
    rig.sim.flash().assign(4096, 0xFF);
    rig.sim.clearTraffic();
    rig.ops.runAuto({.erase = true, .writeFlash = true, .verifyFlash = true, .unprotect = true});
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
    EXPECT_EQ(rig.wireAfterProbe().mid(0, 4), QStringList({"C09", "C0D", "C0D", "C02"}));
}

TEST(Erase, SpiFlashPollsUntilReadyOrTheLimit)
{
    OperationRig rig;
    rig.use(chipOf(0, 4096, 256, 2));
    rig.sim.setBusyPolls(2);  // ready on the third poll
    rig.ops.eraseChip();
    // Ready, then the first page read back blank.
    EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C02", "C0C", "C0C", "C0C", "C07", "R/257", "C0A"}));
    const auto erase = rig.commands(0x02).at(0);
    EXPECT_EQ(erase[16], 0x80);
    EXPECT_EQ(erase[17], 0x00);
    EXPECT_EQ(rig.ui.pauses(), std::vector<qint64>({50, 50, 50}));
    EXPECT_EQ(rig.ui.logs(), QStringList{"Erase Complete!"});

    // Busy past the listed delay is no verdict: polled on up to ten times
    // delay + 2, then not complete.
    for (const auto& [delay, polls, seconds] : {std::tuple{0, 20, "1"}, std::tuple{40, 420, "21"}}) {
        OperationRig stuck;
        stuck.use(chipOf(0, 4096, 256, uint16_t(delay)));
        stuck.sim.setBusyForever(true);
        stuck.ops.eraseChip();
        EXPECT_EQ(stuck.commands(0x0C).size(), std::size_t(polls)) << delay;
        EXPECT_EQ(stuck.ui.errors(), QStringList{QStringLiteral("The chip is still busy %1 s after the erase began: "
                                                                "the erase is not complete.")
                                                     .arg(QLatin1String(seconds))});
        EXPECT_TRUE(stuck.ui.logs().isEmpty());
        EXPECT_TRUE(stuck.commands(0x07).empty()) << "nothing read while it is busy";
        EXPECT_EQ(stuck.ops.lastOutcome(), Outcome::Declined);
    }
}

// After the erase the first block is read back: a chip that did not take
// the erase is no success, and an SPI flash's failure names Unprotect.
TEST(Erase, ChecksThatTheChipTookIt)
{
    const QString notBlank = "The chip is not blank after the erase (address 0h holds 00): the erase did not take.";
    const QString hint = "The chip may be write-protected: run Unprotect, then erase again.";
    const struct {
        const char* what;
        ChipEntry chip;
        bool locked;
        Outcome outcome;
        QStringList errors;
        QStringList logs;
    } cases[] = {
        {"SPI flash", chipOf(0, 4096, 256, 1), false, Outcome::Done, {}, {"Erase Complete!"}},
        {"locked SPI flash", chipOf(0, 4096, 256, 1), true, Outcome::Declined, {notBlank + "\n" + hint}, {}},
        {"locked SST26", makeChip({.key = "SPI_FLASH,SST,SST26VF016B", .id = 0xBF2641, .flash = 4096, .page = 256,
                                   .subtype = 1, .eraseDelay = 1}),
         true, Outcome::Declined, {notBlank + "\n" + hint}, {}},
        {"24-series", chipOf(1, 1024, 16), false, Outcome::Done, {}, {"Erase Complete!"}},
        {"93-series", chipOf(2, 128, 16, 10), false, Outcome::Done, {}, {"Erase Complete!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OperationRig rig;
        rig.use(c.chip);
        std::fill(rig.sim.flash().begin(), rig.sim.flash().end(), 0x00);
        rig.sim.setBlockProtected(c.locked);
        rig.ops.eraseChip();
        EXPECT_EQ(rig.ops.lastOutcome(), c.outcome);
        EXPECT_EQ(rig.ui.errors(), c.errors);
        EXPECT_EQ(rig.ui.logs(), c.logs);
        // One block from address 0, as a read starts, then the job's end.
        const QStringList wire = rig.wire();
        EXPECT_EQ(wire.mid(wire.size() - 3), QStringList({"C07", "R/65", "C0A"}).replaceInStrings(
                                                  "R/65", c.chip.flashPage() >= 64 ? "R/257" : "R/65"));
    }
}

TEST(Erase, PagedClassesSendOnePageAddressEach)
{
    OperationRig rig;
    rig.use(chipOf(3, 0x20000, 0x8000));
    rig.ops.eraseChip();
    // Then the first page read back: the erase took.
    EXPECT_EQ(rig.wireAfterProbe(4),
              QStringList({"C09", "C07", "C02", "C02", "C02", "C02", "C07", "R/32769", "C0A"}));
    std::vector<int> args;
    for (const auto& r : rig.commands(0x02))
        args.push_back(r[16] << 8 | r[17]);
    EXPECT_EQ(args, std::vector<int>({0x0000, 0x8000, 0x0000, 0x8000}));  // low 16 bits of the address
}

TEST(Erase, ClassSixUsesWriteEnableAndPageErase)
{
    OperationRig rig;
    rig.use(chipOf(6, 0x18000, 0x8000));
    std::fill(rig.sim.flash().begin(), rig.sim.flash().end(), 0x00);
    rig.ops.eraseChip();
    const auto raw = rig.commands(0x0D);
    ASSERT_EQ(raw.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(std::vector<uint8_t>(raw[2 * i].begin() + 2, raw[2 * i].begin() + 5),
                  std::vector<uint8_t>({0x02, 1, 0x06}));
        EXPECT_EQ(std::vector<uint8_t>(raw[2 * i + 1].begin() + 2, raw[2 * i + 1].begin() + 8),
                  std::vector<uint8_t>({0x02, 4, 0xDB, uint8_t(i >> 1), uint8_t(i & 1 ? 0x80 : 0), 0}));
    }
    EXPECT_TRUE(std::all_of(rig.sim.flash().begin(), rig.sim.flash().end(), [](uint8_t b) { return b == 0xFF; }));
}

TEST(Erase, SingleCommandClassesAndUnknownClasses)
{
    OperationRig rig;
    rig.use(chipOf(2, 128, 0, 0x0102));
    rig.ops.eraseChip();
    ASSERT_EQ(rig.commands(0x02).size(), 1u);
    EXPECT_EQ(rig.commands(0x02)[0][16], 0x01);
    EXPECT_EQ(rig.commands(0x02)[0][17], 0x02);

    OperationRig odd;
    odd.use(chipOf(9, 128, 16));
    odd.ops.eraseChip();
    EXPECT_TRUE(odd.commands(0x02).empty());
    EXPECT_EQ(odd.ui.logs(), QStringList{"Erase Complete!"});
}

TEST(Erase, PageSizeZeroIsRefusedOnlyWhereErasingStepsByPages)
{
    for (uint8_t cls : {1, 3, 4, 5, 6}) {
        OperationRig rig;
        rig.use(chipOf(cls, 4096, 0));
        rig.ops.eraseChip();
        EXPECT_EQ(rig.ui.errors(), QStringList{rig.ui.message(Msg::ChipRecordUnusable)}) << int(cls);
        EXPECT_TRUE(rig.sim.traffic().empty());
    }
    OperationRig whole;
    whole.use(chipOf(2, 128, 0));
    whole.ops.eraseChip();
    EXPECT_TRUE(whole.ui.errors().isEmpty());
    // Reading such a chip goes in 64-byte blocks and needs no refusal.
    OperationRig read;
    read.use(chipOf(1, 128, 0));
    read.ops.readChip(MemoryPage::Flash);
    EXPECT_EQ(read.ops.lastOutcome(), Outcome::Done);
}

TEST(Erase, FailedTransferStopsWithoutCompletion)
{
    OperationRig rig;
    rig.use(chipOf(1, 1024, 64));
    rig.sim.addFault({Fault::Kind::Set, 19});  // an Erase of the page loop
    rig.ops.eraseChip();
    EXPECT_EQ(rig.ui.errors(), QStringList{rig.failure(Msg::TransferFailed, rig.brokenPipe(19))});
    EXPECT_TRUE(rig.ui.logs().isEmpty());
    EXPECT_LT(rig.commands(0x02).size(), 16u);
}

// The programmer unplugged at the job's closing report: the data moved, so the
// completion line stays, but the job is not reported as a success.
TEST(Finish, LostAtTheClosingReportIsAFailureAfterTheCompletionLine)
{
    struct Case {
        const char* what;
        std::function<void(OperationRig&)> run;
        bool chipHoldsData;
        QString line;
    };
    const std::vector<Case> cases{
        {"read", [](OperationRig& r) { r.ops.readChip(MemoryPage::Flash); }, true, "Read Complete!"},
        {"erase", [](OperationRig& r) { r.ops.eraseChip(); }, true, "Erase Complete!"},
        {"write", [](OperationRig& r) { r.ops.writeChip(MemoryPage::Flash); }, false, "Write Complete!"},
        {"verify", [](OperationRig& r) { r.ops.verifyChip(MemoryPage::Flash); }, true, "Verify Complete!"},
        {"blank", [](OperationRig& r) { r.ops.blankCheck(); }, false, "Bank Complete!"},
    };
    for (const Case& c : cases) {
        const auto prepare = [&c](OperationRig& r) {
            r.use(chipOf(0, 1024, 256, 2));
            r.loadFlash(1024);
            if (c.chipHoldsData)
                std::copy_n(r.state.buffers().flash(), 1024, r.sim.flash().begin());
        };
        OperationRig counting;
        prepare(counting);
        c.run(counting);
        ASSERT_EQ(counting.ops.lastOutcome(), Outcome::Done) << c.what;
        // The last exchange of a job is its Finish: a report out, its reply back.
        const int finishReport = counting.sim.reportCount() - 1;

        OperationRig rig;
        prepare(rig);
        rig.sim.addFault({Fault::Kind::Unplug, finishReport});
        c.run(rig);
        EXPECT_EQ(rig.ui.logs(), QStringList{c.line}) << c.what;
        EXPECT_EQ(rig.ui.errors(), QStringList{rig.failure(Msg::TransferFailed, rig.unplugged(finishReport))}) << c.what;
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Failed) << c.what;
    }
}

// A stop asked for between two reports: the job still sends Finish, a read
// leaves the buffer alone, and only a write or an erase, which leave the chip
// changed half way, say so in a box as well as in the log.
TEST(Stop, EveryLoopStopsBetweenTwoReportsAndFinishesTheJob)
{
    struct Case {
        const char* what;
        ChipEntry chip;
        std::function<void(OperationRig&)> run;
        QStringList boxes;
        QString line;
    };
    const QString partlyWritten = "The write was stopped: the chip is only partly programmed.";
    const QString partlyErased = "The erase was stopped: the chip is only partly erased.";
    const std::vector<Case> cases{
        {"read", chipOf(0, 4096, 256, 2), [](OperationRig& r) { r.ops.readChip(MemoryPage::Flash); }, {},
         "Stopped by the user."},
        {"blank", chipOf(0, 4096, 256, 2), [](OperationRig& r) { r.ops.blankCheck(); }, {}, "Stopped by the user."},
        {"verify", chipOf(0, 4096, 256, 2), [](OperationRig& r) { r.ops.verifyChip(MemoryPage::Flash); }, {},
         "Stopped by the user."},
        {"write", chipOf(0, 4096, 256, 2), [](OperationRig& r) { r.ops.writeChip(MemoryPage::Flash); },
         {partlyWritten}, partlyWritten},
        {"erase, whole chip", chipOf(0, 4096, 256, 40), [](OperationRig& r) { r.ops.eraseChip(); }, {partlyErased},
         partlyErased},
        {"erase, by pages", chipOf(1, 4096, 64), [](OperationRig& r) { r.ops.eraseChip(); }, {partlyErased},
         partlyErased},
    };
    for (const Case& c : cases) {
        OperationRig rig;
        rig.use(c.chip);
        rig.sim.setBusyPolls(30);
        rig.loadFlash(4096);
        // The chip holds the buffer's data (verify), or is erased (blank check).
        if (c.what == std::string("blank"))
            std::fill_n(rig.sim.flash().begin(), 4096, 0xFF);
        else
            std::copy_n(rig.state.buffers().flash(), 4096, rig.sim.flash().begin());
        const std::vector<uint8_t> before(rig.state.buffers().flash(), rig.state.buffers().flash() + 4096);
        rig.ui.stopAfterPumps = 3;
        c.run(rig);
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Stopped) << c.what;
        EXPECT_EQ(rig.ui.pumps, 3) << c.what;
        EXPECT_EQ(rig.ui.errors(), c.boxes) << c.what;
        EXPECT_EQ(rig.ui.logs(), QStringList{c.line}) << c.what;
        EXPECT_EQ(rig.wire().last(), "C0A") << c.what;
        EXPECT_FALSE(rig.ui.progressVisible) << c.what;
        EXPECT_TRUE(std::equal(before.begin(), before.end(), rig.state.buffers().flash())) << c.what;
        EXPECT_EQ(rig.state.buffers().flashLength(), 4096) << c.what;
    }
}

// A stop asked for while the last block goes out comes too late to stop
// anything: the chip is whole, and so is the job.
TEST(Stop, DuringTheLastBlockTheJobIsComplete)
{
    const struct {
        const char* what;
        ChipEntry chip;
        int blocks;
        std::function<void(OperationRig&)> run;
        QString line;
    } cases[] = {
        {"write", chipOf(0, 4096, 256, 2), 16, [](OperationRig& r) { r.ops.writeChip(MemoryPage::Flash); },
         "Write Complete!"},
        {"erase, by pages", chipOf(1, 4096, 64), 64, [](OperationRig& r) { r.ops.eraseChip(); }, "Erase Complete!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OperationRig rig;
        rig.use(c.chip);
        rig.loadFlash(4096);
        rig.ui.stopAfterPumps = c.blocks;
        c.run(rig);
        EXPECT_EQ(rig.ui.pumps, c.blocks);
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
        EXPECT_TRUE(rig.ui.errors().isEmpty()) << rig.ui.errors().join('|').toStdString();
        EXPECT_EQ(rig.ui.logs(), QStringList{c.line});
        EXPECT_EQ(rig.wire().last(), "C0A");
    }
}

// Stopped in its write step, the auto sequence runs no later step, names the
// step it stopped at, and a batch ends with it.
TEST(Stop, AutoSequenceAndBatchEndWithTheStoppedStep)
{
    OperationRig rig;
    rig.use(chipOf(0, 4096, 256, 2));
    rig.loadFlash(4096);
    rig.ui.stopAfterPumps = 4;  // two erase polls, then the write's second block
    rig.ops.runAuto({.erase = true, .writeFlash = true, .verifyFlash = true});
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Stopped);
    EXPECT_EQ(rig.ui.logs(), QStringList({"The write was stopped: the chip is only partly programmed.",
                                          "AUTO stopped at: Program"}));
    EXPECT_EQ(rig.commands(0x07).size(), 2u) << "the erase's read-back and the write: no verify stream";
    EXPECT_EQ(rig.wire().last(), "C0A");
}

// Erase has no rate to show; the transfers have.
TEST(Stop, ProgressKindOfEachJob)
{
    OperationRig rig;
    rig.use(chipOf(0, 1024, 256, 2));
    rig.loadFlash(1024);
    rig.ops.eraseChip();
    EXPECT_EQ(rig.ui.progressKind, ProgressKind::Steps);
    rig.ops.writeChip(MemoryPage::Flash);
    EXPECT_EQ(rig.ui.progressKind, ProgressKind::Bytes);
}

} // namespace
