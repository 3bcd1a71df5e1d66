// Read and blank check through the simulated programmer: the reports on the
// wire, the data length rules, the frame's order, and what a failure leaves.

#include "operations/OperationFrame.h"
#include "support/OperationRig.h"
#include "support/SimulatedRig.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Kind = RecordingUi::Event::Kind;

ChipEntry flashChip(uint32_t size = 1024, uint16_t page = 256)
{
    return makeChip({.key = "SPI_FLASH,WINBOND,W25Q", .id = 0xEF4017, .flash = size, .page = page, .eraseDelay = 4});
}

ChipEntry mcuChip(uint16_t eeprom = 512, uint8_t eepromPage = 8)
{
    return makeChip({.key = "AVR,ATMEL,MEGA", .id = 0x1E950F, .flash = 1024, .page = 128, .chipClass = 7,
                     .eeprom = eeprom, .eepromPage = eepromPage});
}

TEST(Read, FlashTrimsTrailingErasedBytesAndRaisesToEven)
{
    OperationRig rig;
    rig.use(flashChip());
    std::fill(rig.sim.flash().begin(), rig.sim.flash().begin() + 1014, 0x00);  // last 10 bytes stay 0xFF
    int reads = 0;
    rig.ops.setReadListener([&](MemoryPage p) { reads += p == MemoryPage::Flash; });
    rig.ops.readChip(MemoryPage::Flash);

    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
    EXPECT_EQ(rig.state.buffers().flashLength(), 1014);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(rig.wire(), QStringList({"C09", "C0B", "C0A", "C09", "C07", "R/257", "R/257", "R/257",
                                       "R/257", "C0A"}));
    EXPECT_EQ(rig.ui.logs(), QStringList{"Read Complete!"});
    EXPECT_EQ(rig.ui.status, "Ready");

    // An odd count of data bytes is raised by one for the Flash.
    std::fill(rig.sim.flash().begin(), rig.sim.flash().end(), 0xFF);
    rig.sim.flash()[4] = 0x12;
    rig.ops.readChip(MemoryPage::Flash);
    EXPECT_EQ(rig.state.buffers().flashLength(), 6);
    rig.sim.flash()[4] = 0xFF;
    rig.sim.flash()[0] = 0x00;
    rig.ops.readChip(MemoryPage::Flash);
    EXPECT_EQ(rig.state.buffers().flashLength(), 2);
    rig.sim.flash()[0] = 0xFF;
    rig.ops.readChip(MemoryPage::Flash);
    EXPECT_EQ(rig.state.buffers().flashLength(), 0);
}

// Read with a check: the reads of one job must agree. Reads that differ
// keep nothing and say where, the first read as expected.
TEST(Read, CheckedReadsMustAgree)
{
    struct Case {
        const char* what;
        std::vector<uint32_t> unstable;
        int reads;
        QStringList says;  // the error box; none when the reads agree
    };
    const auto chipByte = [](int a) { return uint8_t(a * 7 + 3); };
    const std::vector<Case> cases{
        {"stable", {}, 2, {}},
        {"stable, four reads", {}, 4, {}},
        {"one flaky byte", {0x1A3}, 2,
         {"The 2 reads of the chip differ; nothing was kept:",
          QString::asprintf("01A3h: 1 byte, expected %02X, found %02X", chipByte(0x1A3), chipByte(0x1A3) ^ 1),
          "Differing bytes: 1, ranges: 1.",
          "Check the clip or the socket: every pin must make firm contact (clean the pins, seat the clip again, keep "
          "the leads short), then read again."}},
        {"three flaky bytes, three reads", {0x10, 0x11, 0x300}, 3,
         {"The 3 reads of the chip differ; nothing was kept:",
          QString::asprintf("0010h-0011h: 2 bytes, expected %02X %02X, found %02X %02X", chipByte(0x10),
                            chipByte(0x11) ^ 1, chipByte(0x10) ^ 3, chipByte(0x11) ^ 4),
          QString::asprintf("0300h: 1 byte, expected %02X, found %02X", chipByte(0x300) ^ 2, chipByte(0x300) ^ 5),
          "Differing bytes: 3, ranges: 2."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OperationRig rig;
        rig.use(flashChip());
        for (int a = 0; a < 1024; ++a)
            rig.sim.flash()[std::size_t(a)] = chipByte(a);
        for (const uint32_t a : c.unstable)
            rig.sim.addUnstableByte(a);
        rig.loadFlash(7);
        rig.ops.readChecked(MemoryPage::Flash, c.reads);

        QStringList wire{"C09"};
        for (int n = 0; n < c.reads; ++n)
            wire << "C07" << times(4, "R/257");
        EXPECT_EQ(rig.wireAfterProbe(), wire + QStringList{"C0A"}) << "every read in one job";
        if (c.says.isEmpty()) {
            EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
            EXPECT_EQ(rig.state.buffers().flashLength(), 1024);
            EXPECT_TRUE(std::equal(rig.sim.flash().begin(), rig.sim.flash().end(), rig.state.buffers().flash()));
            EXPECT_EQ(rig.ui.logs(), QStringList{"Read Complete!"});
            EXPECT_TRUE(rig.ui.errors().isEmpty());
            continue;
        }
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Declined);
        ASSERT_EQ(rig.ui.errors().size(), 1);
        const QStringList said = rig.ui.errors().first().split('\n');
        EXPECT_EQ(said.mid(0, c.says.size()), c.says);
        EXPECT_EQ(rig.state.buffers().flashLength(), 7) << "nothing taken in";
        EXPECT_EQ(rig.state.buffers().flash()[0], 1);
        EXPECT_TRUE(rig.ui.logs().isEmpty());
        ASSERT_NE(rig.ops.lastCompare(), nullptr);
        EXPECT_EQ(rig.ops.lastCompare()->listedRanges().front().start, c.unstable.front());
    }
}

TEST(Read, FrameRunsInItsOrder)
{
    OperationRig rig;
    rig.use(flashChip());
    rig.ops.readChip(MemoryPage::Flash);
    // Controls off, status and progress of the loop, elapsed, beep, the
    // line, then Finish ("Ready") and the controls back on.
    const QStringList trace = rig.uiTrace();
    EXPECT_EQ(trace, QStringList({"Controls", "Status", "ProgressStart", "ProgressEnd", "Elapsed", "Beep", "Log",
                                  "Status", "Controls"}));
    EXPECT_EQ(rig.ui.events.front().value, 0);
    EXPECT_EQ(rig.ui.events.back().value, 1);
    EXPECT_EQ(rig.ui.events[1].text, "Read Flash ...");
    EXPECT_EQ(rig.ui.texts(Kind::Elapsed), QStringList{"00:00:00"});
    EXPECT_EQ(formatElapsed(3723999), "01:02:03");
}

TEST(Read, EepromKeepsOddLengthAndUsesAtLeast64ByteBlocks)
{
    OperationRig rig;
    rig.ui.language = 0;
    rig.use(mcuChip(512, 8));
    rig.sim.eeprom()[4] = 0x00;
    rig.ops.readChip(MemoryPage::Eeprom);
    EXPECT_EQ(rig.state.buffers().eepromLength(), 5);
    EXPECT_EQ(rig.state.buffers().flashLength(), 0);
    // 512 bytes in 64-byte blocks under report number 2; the stream names
    // the EEPROM page size.
    EXPECT_EQ(rig.wireAfterProbe().mid(0, 3), QStringList({"C09", "C01", "C08"})) << "the signature first";
    EXPECT_EQ(rig.wireAfterProbe().mid(3, 8), times(8, "R/65"));
    ASSERT_EQ(rig.commands(0x08).size(), 1u);
    EXPECT_EQ(rig.commands(0x08)[0][5], 8);
    EXPECT_EQ(rig.ui.texts(Kind::Status).front(), QString::fromUtf8("读出 Eeprom ..."));
    EXPECT_EQ(rig.ui.logs(), QStringList{QString::fromUtf8("读出完成！")});

    rig.sim.eeprom()[4] = 0xFF;
    rig.sim.eeprom()[0] = 0x00;
    rig.ops.readChip(MemoryPage::Eeprom);
    EXPECT_EQ(rig.state.buffers().eepromLength(), 1);
}

TEST(Read, OtherPageTransfersNothingButCompletes)
{
    OperationRig rig;
    rig.use(flashChip());
    rig.ops.readChip(MemoryPage::Other);
    EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C0A"}));
    EXPECT_EQ(rig.ui.logs(), QStringList{"Read Complete!"});
}

TEST(Read, ProbeRefusalsNeverLockTheControls)
{
    OperationRig rig;
    rig.use(flashChip());
    rig.sim.setPlugged(false);
    rig.ops.readChip(MemoryPage::Flash);
    EXPECT_EQ(rig.ui.errors(), QStringList{"Not connected"});
    EXPECT_TRUE(rig.ui.texts(Kind::Controls).isEmpty());
    EXPECT_TRUE(rig.wire().isEmpty());

    OperationRig empty;
    empty.use(flashChip(), false);
    empty.ops.blankCheck();
    EXPECT_EQ(empty.ui.errors(), QStringList{"No chips detected, please put the chip to try again!"});
    EXPECT_EQ(empty.wire().size(), 15);  // Setup, ReadId, Finish for each of the five classes
    EXPECT_EQ(empty.ops.lastOutcome(), Outcome::Refused);
}

// The chip taken out between the probe and the set-up: the set-up finds the
// socket empty, says so, and the job still ends with Finish.
TEST(Read, EmptySocketAtTheSetUpStillSendsFinish)
{
    SimulatedRig rig;
    rig.chip = flashChip();
    OperationFrame frame(rig.programmer, rig.ui);
    bool ran = false;
    const Outcome outcome = frame.runJob(
        [&] {
            ran = true;
            return Outcome::Done;
        },
        Msg::ReadComplete);
    EXPECT_EQ(outcome, Outcome::Refused);
    EXPECT_FALSE(ran);
    EXPECT_EQ(rig.commandCodes(), (std::vector<int>{kCmdSetup, kCmdFinish}));
    EXPECT_EQ(rig.ui.errors(), QStringList{"No chips detected, please put the chip to try again!"});
    EXPECT_TRUE(rig.ui.logs().isEmpty());
    EXPECT_TRUE(rig.ui.controlsEnabled);
    EXPECT_FALSE(rig.programmer.linkOpen());
    EXPECT_EQ(rig.ui.status, "Ready");
}

TEST(Read, UnusableRecordIsRefusedBeforeAnythingIsSent)
{
    for (const ChipEntry& chip : {flashChip(64u * 1024 * 1024 + 1), mcuChip(8193)}) {
        OperationRig rig;
        rig.use(chip, false);
        rig.ops.readChip(MemoryPage::Flash);
        EXPECT_EQ(rig.ui.errors(), QStringList{rig.ui.message(Msg::ChipRecordUnusable)});
        EXPECT_TRUE(rig.sim.traffic().empty());
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Refused);
    }
}

// Reports of a class-0 read: 6 for the probe, 2 Setup, 2 stream open, then
// one per block.
TEST(Read, FailedTransferLeavesBufferLengthAndViewAsTheyWere)
{
    using Fault = SimulatedProgrammer::Fault;
    const struct {
        Fault fault;
        QString why;
    } cases[] = {
        {{Fault::Kind::Get, 12}, OperationRig::brokenPipe(12)},
        {{Fault::Kind::Unplug, 13}, OperationRig::unplugged(13)},
        {{Fault::Kind::Set, 9}, OperationRig::brokenPipe(9)},
        {{Fault::Kind::Short, 12}, QStringLiteral("The programmer answered 128 of 257 bytes.")},
    };
    for (const auto& [fault, why] : cases) {
        OperationRig rig;
        rig.use(flashChip());
        std::fill(rig.sim.flash().begin(), rig.sim.flash().end(), 0x00);
        rig.loadFlash(100, 9);
        const std::vector<uint8_t> before(rig.state.buffers().flash(), rig.state.buffers().flash() + 1024);
        bool told = false;
        rig.ops.setReadListener([&](MemoryPage) { told = true; });
        rig.sim.addFault(fault);
        rig.ops.readChip(MemoryPage::Flash);

        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Failed);
        EXPECT_EQ(rig.ui.errors(), QStringList{rig.failure(Msg::TransferFailed, why)});
        EXPECT_TRUE(rig.ui.logs().isEmpty());
        EXPECT_FALSE(told);
        EXPECT_EQ(rig.state.buffers().flashLength(), 100);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), rig.state.buffers().flash()));
        // The job is ended and the controls come back.
        EXPECT_TRUE(rig.ui.controlsEnabled);
        EXPECT_FALSE(rig.state.programmer().jobRunning());
        EXPECT_FALSE(rig.ui.progressVisible);
    }
}

TEST(BlankCheck, LastProgrammedByteIsFoundAfterTheLastBlock)
{
    OperationRig rig;
    rig.use(flashChip());
    rig.sim.flash()[1023] = 0xFE;
    rig.ops.blankCheck();
    EXPECT_EQ(rig.ui.errors(), QStringList{"The chip is not empty."});
    EXPECT_EQ(rig.ops.lastUsedAddress(), 1023);
    EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C07", "R/257", "R/257", "R/257", "R/257", "C0A"}));
    EXPECT_TRUE(rig.ui.logs().isEmpty());
    // No line, but the time and the beep still follow.
    EXPECT_EQ(rig.ui.texts(Kind::Elapsed).size(), 1);
    EXPECT_EQ(rig.ui.texts(Kind::Beep).size(), 1);
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Declined);
}

TEST(BlankCheck, BlankChipLogsBeforeTimeAndBeep)
{
    OperationRig rig;
    rig.use(flashChip(1000, 32));  // 32-byte pages go in 64-byte blocks
    rig.ops.blankCheck();
    EXPECT_EQ(rig.ui.logs(), QStringList{"Bank Complete!"});
    EXPECT_FALSE(rig.ops.lastUsedAddress().has_value());
    EXPECT_EQ(rig.wireAfterProbe().mid(2, 16), times(16, "R/65"));
    const QStringList trace = rig.uiTrace();
    EXPECT_LT(trace.indexOf("Log"), trace.indexOf("Elapsed"));
    EXPECT_LT(trace.indexOf("Elapsed"), trace.indexOf("Beep"));
}

TEST(BlankCheck, WholeLastBlockCountsPastTheChipsEnd)
{
    OperationRig rig;
    // 1000 bytes in 256-byte blocks: the chip beyond its end shows 0x00 here.
    rig.use(flashChip(1000, 256));
    rig.sim.flash().resize(1024, 0x00);
    rig.ops.blankCheck();
    EXPECT_EQ(rig.ui.errors(), QStringList{"The chip is not empty."});
    EXPECT_EQ(rig.ops.lastUsedAddress(), 1000);
}

TEST(BlankCheck, FailedTransferIsNotReportedAsNotEmpty)
{
    OperationRig rig;
    rig.use(flashChip());
    rig.sim.addFault({SimulatedProgrammer::Fault::Kind::Get, 11});
    rig.ops.blankCheck();
    EXPECT_EQ(rig.ui.errors(), QStringList{rig.failure(Msg::TransferFailed, rig.brokenPipe(11))});
    EXPECT_TRUE(rig.ui.logs().isEmpty());
}

} // namespace
