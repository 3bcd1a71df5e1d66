// Batch programming: the start/stop switch and the socket watch, driven
// tick by tick against the simulated socket.

#include "support/OperationRig.h"

#include "operations/BatchProgrammer.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct FakeHost final : BatchHost {
    MemoryPage page = MemoryPage::Flash;
    AutoOptions options{.writeFlash = true};
    bool timer = false;
    bool raised = false;
    QString caption = "Batch write ";
    int modeChanges = 0;

    MemoryPage activePage() const override { return page; }
    AutoOptions autoOptions() const override { return options; }
    void setWatchTimerRunning(bool running) override { timer = running; }
    void showBatchMode(bool on, const QString& text) override
    {
        raised = on;
        caption = text;
        ++modeChanges;
    }
};

struct BatchRig : OperationRig {
    FakeHost host;
    BatchProgrammer batch{state.selection(), state.buffers(), state.programmer(), state.ui(), ops, host};

    BatchRig()
    {
        use(makeChip({.key = "SPI_FLASH,WINBOND,W25Q", .id = 0xEF4017, .flash = 1024, .page = 256}));
        loadFlash(256);
    }
    int sequences() const { return int(commands(0x07).size()); }
};

TEST(Batch, StartNeedsDataInTheActivePagesBuffer)
{
    BatchRig rig;
    rig.state.buffers().setFlashLength(0);
    rig.batch.toggle();
    EXPECT_EQ(rig.ui.errors(), QStringList{"The buffer data is empty. Please load the data file.."});
    EXPECT_FALSE(rig.batch.isOn());
    EXPECT_FALSE(rig.host.timer);
    EXPECT_EQ(rig.host.modeChanges, 0);

    // On the EEPROM page the EEPROM buffer decides; on other pages nothing does.
    rig.host.page = MemoryPage::Eeprom;
    rig.batch.toggle();
    EXPECT_FALSE(rig.batch.isOn());
    rig.host.page = MemoryPage::Other;
    rig.batch.toggle();
    EXPECT_TRUE(rig.batch.isOn());
}

TEST(Batch, StartAndStopSwitchPanelTimerAndCaption)
{
    BatchRig rig;
    rig.batch.toggle();
    EXPECT_TRUE(rig.batch.isOn());
    EXPECT_TRUE(rig.host.raised);
    EXPECT_TRUE(rig.host.timer);
    EXPECT_EQ(rig.host.caption, "Stop batch write ");
    EXPECT_EQ(rig.ui.logs(), QStringList{"Waiting for chip placement"});
    EXPECT_TRUE(rig.wire().isEmpty());

    rig.batch.toggle();
    EXPECT_FALSE(rig.batch.isOn());
    EXPECT_FALSE(rig.host.raised);
    EXPECT_FALSE(rig.host.timer);
    EXPECT_EQ(rig.host.caption, "Batch write ");
}

TEST(Batch, ChipIsProgrammedOnceThenAskedToLeave)
{
    BatchRig rig;
    rig.batch.toggle();
    bool timerDuringSequence = true;
    rig.ui.onPump = [&] { timerDuringSequence = timerDuringSequence && rig.host.timer; };
    rig.batch.tick();
    EXPECT_EQ(rig.sequences(), 1);
    EXPECT_FALSE(timerDuringSequence);
    EXPECT_TRUE(rig.host.timer);
    EXPECT_TRUE(rig.batch.chipHandled());
    EXPECT_EQ(rig.ui.logs(), QStringList({"Waiting for chip placement", "Chip detected", "Please remove the chip"}));

    // Still in the socket: no second run, and from the next probe on the
    // programmer is told the chip is done.
    rig.batch.tick();
    EXPECT_EQ(rig.sim.lastCompletionIndicator(), 0);
    rig.batch.tick();
    EXPECT_EQ(rig.sim.lastCompletionIndicator(), 2);
    EXPECT_EQ(rig.sequences(), 1);
    EXPECT_EQ(rig.ui.logs().size(), 3);

    // Taken out: asked for the next one once, and the indicator is cleared.
    rig.sim.removeChip();
    rig.batch.tick();
    rig.batch.tick();
    EXPECT_EQ(rig.ui.logs().mid(3), QStringList{"Please place the chip "});
    EXPECT_EQ(rig.state.programmer().completionIndicator(), 0);
    EXPECT_FALSE(rig.batch.chipHandled());

    // The next chip is programmed again.
    rig.use(rig.state.currentChip());
    rig.batch.tick();
    EXPECT_EQ(rig.sequences(), 2);
}

TEST(Batch, UnpluggedProgrammerLooksLikeAnEmptySocket)
{
    BatchRig rig;
    rig.batch.toggle();
    rig.batch.tick();
    rig.sim.setPlugged(false);
    rig.batch.tick();
    rig.batch.tick();
    EXPECT_EQ(rig.ui.logs().count("Please place the chip "), 1);
}

TEST(Batch, FailedSequenceStillWaitsForRemoval)
{
    BatchRig rig;
    rig.host.options = {.verifyFlash = true};  // the chip is blank: verify fails
    rig.batch.toggle();
    rig.batch.tick();
    rig.batch.tick();
    EXPECT_EQ(rig.ui.errors().size(), 1);
    EXPECT_TRUE(rig.batch.isOn());
    EXPECT_TRUE(rig.host.timer);
    EXPECT_EQ(rig.commands(0x07).size(), 1u);
}

TEST(Batch, StoppedDuringTheSequenceTheTimerStaysOff)
{
    BatchRig rig;
    rig.batch.toggle();
    bool stopped = false;
    rig.ui.onPump = [&] {
        // The window's events run between blocks: a click on the panel, and
        // a tick that was already queued.
        rig.batch.tick();
        if (!stopped) {
            stopped = true;
            rig.batch.toggle();
        }
    };
    rig.batch.tick();
    EXPECT_EQ(rig.sequences(), 1);
    EXPECT_FALSE(rig.batch.isOn());
    EXPECT_FALSE(rig.host.timer);
    rig.ui.onPump = nullptr;
    rig.batch.tick();  // a late tick after the stop does nothing
    EXPECT_EQ(rig.sequences(), 1);
}

TEST(Batch, AStoppedSequenceEndsTheBatch)
{
    BatchRig rig;
    rig.loadFlash(1024);
    rig.batch.toggle();
    rig.ui.stopAfterPumps = 1;
    rig.batch.tick();
    EXPECT_FALSE(rig.batch.isOn());
    EXPECT_FALSE(rig.host.timer);
    EXPECT_EQ(rig.host.caption, "Batch write ");
    EXPECT_TRUE(rig.ui.logs().contains("AUTO stopped at: Program"));
}

TEST(Batch, ProductionLogHasARowForEveryChipAndTheCountFollows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("production.csv");
    BatchRig rig;
    rig.use(makeChip({.key = "SPI_FLASH,WINBOND,W25Q", .id = 0xEF4017, .flash = 1024, .page = 256, .eraseDelay = 1}));
    rig.ops.setProductionLogPath(path);
    rig.state.serial() = {16, 300, SerialNumber::Mode::Increment};
    rig.host.options = {.serialNumber = true, .erase = true, .writeFlash = true, .verifyFlash = true};
    rig.batch.toggle();
    std::vector<uint32_t> crcs;
    for (int chip = 0; chip < 4; ++chip) {
        rig.use(rig.state.currentChip());
        if (chip == 2)
            rig.sim.setBlockProtected(true);  // takes no data: its verify fails
        rig.batch.tick();
        crcs.push_back(crc32Of(rig.state.buffers().flash(), 256));
        rig.sim.removeChip();
        rig.batch.tick();
    }
    EXPECT_EQ(rig.batch.tally().passed(), 3);
    EXPECT_EQ(rig.batch.tally().failed(), 1);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0], "date,manufacturer,model,chip id,serial number,steps,result,seconds,flash crc32,text");
    for (int chip = 0; chip < 4; ++chip) {
        SCOPED_TRACE(chip);
        const QStringList f = rows[chip + 1].split(',');
        ASSERT_EQ(f.size(), 10);
        EXPECT_TRUE(QDateTime::fromString(f[0], Qt::ISODate).isValid()) << f[0].toStdString();
        EXPECT_EQ(f.mid(1, 5), QStringList({"WINBOND", "W25Q", "0xEF4017", QString::number(300 + chip),
                                            "Write SN + Erase + Program + Verify"}));
        EXPECT_EQ(f[6], chip == 2 ? "failed: Verify" : "ok");
        bool number = false;
        EXPECT_GE(f[7].toDouble(&number), 0.0);
        EXPECT_TRUE(number);
        EXPECT_EQ(f[8], QString::asprintf("0x%08X", crcs[std::size_t(chip)]));
        EXPECT_EQ(f[9], chip == 2 ? "Write SN + Erase + Program + Verify: failed: Verify"
                                  : "Write SN + Erase + Program + Verify: ok");
    }
    EXPECT_NE(crcs[0], crcs[1]) << "each chip's serial number is in its data";

    // A log that cannot be written refuses the run before the chip is
    // touched: nothing sent after the watch's probe, nothing counted.
    rig.ops.setProductionLogPath(dir.filePath("missing/production.csv"));
    rig.use(rig.state.currentChip());
    rig.sim.clearTraffic();
    rig.batch.tick();
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Refused);
    EXPECT_EQ(rig.ui.errors().last(), "The production log could not be written: "
                                          + dir.filePath("missing/production.csv") + "\nNo such file or directory");
    EXPECT_EQ(rig.sim.traffic().size(), 6u) << "the watch's probe: Setup, ReadId, Finish";
    EXPECT_EQ(rig.batch.tally().failed(), 1);
}

TEST(Batch, TallyTextAndRate)
{
    EXPECT_EQ(chipsPerHour(4, 3600 * 1000), 4);
    EXPECT_EQ(chipsPerHour(3, 90 * 1000), 120);
    EXPECT_EQ(chipsPerHour(5, 0), 0);
    EXPECT_EQ(batchTallyText(3, 1, 120 * 1000, 2), "Passed 3, failed 1, 120 chips/hour");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("plain"), "plain");
}

} // namespace
