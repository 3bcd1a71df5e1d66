#include "app/ProgramState.h"
#include "device/SimulatedProgrammer.h"
#include "operations/FuseJobs.h"
#include "support/RecordingUi.h"
#include "support/TestChipEntry.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

const QString kBundled = QStringLiteral(KTR_SOURCE_DIR "/data/xml/0.xml");

const ChipEntry kMega = makeChip({.key = "AVR,ATMEL,ATmega328P", .id = 0x1E950F, .flash = 32768, .page = 128,
                                  .chipClass = 7, .eraseDelay = 10, .eeprom = 1024, .eepromPage = 4,
                                  .interfaceCode = 2, .voltage = 1});

struct FuseRig {
    SimulatedProgrammer sim;
    RecordingUi ui;
    ProgramState state{sim, ui};

    FuseRig()
    {
        state.chips()[0] = kMega;
        state.setCurrentChipIndex(0);
        sim.insertChip(kMega);
        EXPECT_EQ(ReloadFusesForChipChange(state.fuses(), kBundled, ui), FuseLoad::Loaded);
        sim.setRecording(true);
    }

    // The 64-byte command reports the host sent, in order.
    std::vector<Bytes> commands() const
    {
        std::vector<Bytes> out;
        for (const auto& r : sim.traffic())
            if (r.toDevice && r.ok && r.bytes.size() == 64)
                out.push_back(r.bytes);
        return out;
    }
    std::vector<int> codes() const
    {
        std::vector<int> out;
        for (const Bytes& r : commands())
            out.push_back(r[1]);
        return out;
    }
    QString value(int column) { return state.fuses().grid().cell(column, FuseGrid::kValueRow); }
};

// A command report: zero but for the code and the bytes from offset 20 on.
Bytes commandReport(uint8_t code, std::initializer_list<uint8_t> fromByte20)
{
    Bytes r(64, 0);
    r[0] = 0x01;
    r[1] = code;
    std::copy(fromByte20.begin(), fromByte20.end(), r.begin() + 20);
    return r;
}

// Set-up, the signature compared with the chosen chip's, the read, finish.
const std::vector<int> kSetupReadFinish = {0x09, 0x01, 0x03, 0x0A};

TEST(FuseJobs, ReadFusesFillsTheFuseColumnsOnly)
{
    FuseRig rig;
    rig.sim.fuses()[0] = 0xE2;
    rig.sim.fuses()[1] = 0xDA;
    rig.sim.fuses()[2] = 0xFD;
    rig.sim.lockByte() = 0x3C;

    EXPECT_EQ(RunFuseJob(rig.state.fuseJobParts(), FuseJob::ReadFuses), FuseJobResult::Done);
    EXPECT_EQ(rig.codes(), kSetupReadFinish);
    EXPECT_EQ(rig.commands()[2], commandReport(0x03, {3}));
    const uint8_t* b = rig.state.fuses().currentBytes();
    EXPECT_EQ(Bytes(b, b + 4), (Bytes{0xE2, 0xDA, 0xFD, 0xFF}));
    EXPECT_EQ(rig.value(1), "0xe2");
    EXPECT_EQ(rig.value(3), "0xfd");
    EXPECT_EQ(rig.value(4), "      0xff") << "the lock column is not touched";
    EXPECT_EQ(rig.ui.logs(), QStringList{"FUSERead Complete!"});
    EXPECT_EQ(rig.ui.texts(RecordingUi::Event::Elapsed), QStringList{"00:00:00"});
    EXPECT_EQ(rig.ui.texts(RecordingUi::Event::Beep).size(), 1);
    EXPECT_EQ(rig.ui.status, "Ready");
    EXPECT_FALSE(rig.state.programmer().linkOpen());
}

TEST(FuseJobs, ReadLockAsksForOneByteIntoTheLockColumn)
{
    FuseRig rig;
    rig.ui.language = 0;
    rig.sim.lockByte() = 0x3C;
    EXPECT_EQ(RunFuseJob(rig.state.fuseJobParts(), FuseJob::ReadLock), FuseJobResult::Done);
    EXPECT_EQ(rig.codes(), kSetupReadFinish);
    EXPECT_EQ(rig.commands()[2], commandReport(0x03, {1}));
    EXPECT_EQ(rig.state.fuses().lockByte(), 0x3C);
    EXPECT_EQ(rig.state.fuses().currentBytes()[0], 0x62);
    EXPECT_EQ(rig.value(4), "0x3c");
    EXPECT_EQ(rig.value(1), "0x62") << "a lock read rewrites every value cell";
    EXPECT_EQ(rig.ui.logs(), QStringList{QStringLiteral("LOCK读出完成！")});
}

TEST(FuseJobs, WritesSendTheCurrentBytes)
{
    FuseRig rig;
    FuseState& f = rig.state.fuses();
    f.setFuseByte(0, 0xFF);
    f.setFuseByte(2, 0xFD);
    f.setFuseByte(3, 0x0C);

    EXPECT_EQ(RunFuseJob(rig.state.fuseJobParts(), FuseJob::WriteFuses), FuseJobResult::Done);
    // Each write is read back: the chip reads as written or the job failed.
    ASSERT_EQ(rig.codes(), (std::vector<int>{0x09, 0x01, 0x04, 0x03, 0x0A}));
    EXPECT_EQ(rig.commands()[2], commandReport(0x04, {3, 0xFF, 0xD9, 0xFD}));
    EXPECT_EQ(rig.sim.fuses()[0], 0xFF);
    EXPECT_EQ(rig.sim.fuses()[2], 0xFD);
    EXPECT_EQ(rig.sim.lockByte(), 0xFF) << "fuses only";

    rig.sim.clearTraffic();
    EXPECT_EQ(RunFuseJob(rig.state.fuseJobParts(), FuseJob::WriteLock), FuseJobResult::Done);
    ASSERT_EQ(rig.codes(), (std::vector<int>{0x09, 0x01, 0x06, 0x03, 0x0A}));
    EXPECT_EQ(rig.commands()[2], commandReport(0x06, {1, 0x0C}));
    EXPECT_EQ(rig.sim.lockByte(), 0x0C);
    EXPECT_EQ(rig.ui.logs(), (QStringList{"FUSEWrite Complete!", "LOCKWrite Complete!"}));

    // Locked now: the chip ignores fuse writes and keeps its lock bits, and
    // neither write is reported as done.
    rig.ui.clear();
    f.setFuseByte(0, 0x62);
    f.setFuseByte(3, 0x3F);
    for (const FuseJob job : {FuseJob::WriteFuses, FuseJob::WriteLock}) {
        EXPECT_EQ(RunFuseJob(rig.state.fuseJobParts(), job), FuseJobResult::Failed);
        ASSERT_FALSE(rig.ui.errors().isEmpty());
        EXPECT_TRUE(rig.ui.errors().last().startsWith(messageText(Msg::ConfigNotTaken, 2).section('%', 0, 0)));
    }
    EXPECT_EQ(rig.ui.errors().first(), messageText(Msg::ConfigNotTaken, 2).arg("FUSE", "0x62 0xD9 0xFD", "0xFF 0xD9 0xFD"));
    EXPECT_TRUE(rig.ui.logs().isEmpty());
    EXPECT_EQ(rig.sim.fuses()[0], 0xFF);
    EXPECT_EQ(rig.sim.lockByte(), 0x0C);
}

TEST(FuseJobs, NoChipOrNoProgrammerStillFinishes)
{
    {
        FuseRig rig;
        rig.sim.removeChip();
        EXPECT_EQ(RunFuseJob(rig.state.fuseJobParts(), FuseJob::ReadFuses), FuseJobResult::NoChip);
        EXPECT_EQ(rig.codes(), (std::vector<int>{0x09, 0x0A}));
        EXPECT_EQ(rig.ui.errors(), QStringList{messageText(Msg::NoChipDetected, 2)});
        EXPECT_TRUE(rig.ui.logs().isEmpty());
        EXPECT_EQ(rig.state.fuses().currentBytes()[0], 0x62);
    }
    {
        FuseRig rig;
        rig.sim.setPlugged(false);
        EXPECT_EQ(RunFuseJob(rig.state.fuseJobParts(), FuseJob::WriteLock), FuseJobResult::NoChip);
        EXPECT_TRUE(rig.codes().empty());
        EXPECT_EQ(rig.ui.errors(), QStringList{messageText(Msg::NotConnected, 2)});
        EXPECT_EQ(rig.ui.status, "Ready") << "finished whatever the set-up gave";
        EXPECT_TRUE(rig.ui.texts(RecordingUi::Event::Beep).isEmpty());
    }
}

TEST(FuseJobs, FailedTransferStopsWithoutCompletionLine)
{
    using Fault = SimulatedProgrammer::Fault;
    for (const Fault::Kind kind : {Fault::Kind::Set, Fault::Kind::Get}) {
        FuseRig rig;
        rig.sim.fuses()[0] = 0x00;
        // Reports 1 and 2 are the Setup exchange, 3 and 4 the signature's; 5 and 6 the ReadConfig one.
        const int report = kind == Fault::Kind::Set ? rig.sim.reportCount() + 5 : rig.sim.reportCount() + 6;
        rig.sim.addFault({kind, report});
        EXPECT_EQ(RunFuseJob(rig.state.fuseJobParts(), FuseJob::ReadFuses), FuseJobResult::Failed);
        EXPECT_EQ(rig.ui.errors(), QStringList{messageText(Msg::TransferFailed, 2)
                                               + QStringLiteral("\nBroken pipe (simulated fault at report %1)").arg(report)});
        EXPECT_TRUE(rig.ui.logs().isEmpty());
        EXPECT_EQ(rig.state.fuses().currentBytes()[0], 0x62) << "nothing read";
        EXPECT_EQ(rig.value(1), "      0x62");
        EXPECT_FALSE(rig.state.programmer().linkOpen());
    }
}

// Fuse jobs run only for a chip with fuse bytes and a description, and
// compare the socket's signature first; a write of some bytes reads the
// chip's first, so the others go back unchanged.
TEST(FuseJobs, OnlyChipsWithFusesOnlyTheChosenChipOnlyTheNamedBytes)
{
    const ChipEntry flash = makeChip({.key = "SPI_FLASH,WINBOND,W25Q64JV", .id = 0xEF4017, .flash = 4096, .page = 256});
    ChipEntry tiny = kMega;
    tiny.setChipId(0x1E9007);
    const auto setByte1 = [](FuseState& f) { f.setFuseByte(1, 0xDF); };
    const struct {
        const char* what;
        ChipEntry chosen;
        bool description;
        ChipEntry socket;
        FuseJobResult result;
        std::vector<int> codes;
        Bytes chipFuses;  // afterwards
    } cases[] = {
        {"the chosen AVR", kMega, true, kMega, FuseJobResult::Done, {0x09, 0x01, 0x03, 0x03, 0x04, 0x03, 0x0A},
         {0xE2, 0xDF, 0xFD}},
        {"another AVR in the socket", kMega, true, tiny, FuseJobResult::Declined, {0x09, 0x01, 0x0A},
         {0xE2, 0xD9, 0xFD}},
        {"a chip without fuse bytes", flash, true, flash, FuseJobResult::Refused, {}, {0xE2, 0xD9, 0xFD}},
        {"no description", kMega, false, kMega, FuseJobResult::Refused, {}, {0xE2, 0xD9, 0xFD}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FuseRig rig;
        if (!c.description)
            rig.state.fuses() = FuseState();
        rig.state.chips()[0] = c.chosen;
        rig.sim.insertChip(c.socket);
        // Not the description's defaults (0x62 0xD9 0xFF): what the chip holds.
        const Bytes before{0xE2, 0xD9, 0xFD};
        std::copy(before.begin(), before.end(), rig.sim.fuses().begin());
        rig.ui.defaultAnswer = false;
        EXPECT_EQ(RunFuseJobs(rig.state.fuseJobParts(), {FuseJob::ReadFuses, FuseJob::ReadLock, FuseJob::WriteFuses}, setByte1),
                  c.result);
        EXPECT_EQ(rig.codes(), c.codes);
        EXPECT_EQ(Bytes(rig.sim.fuses().begin(), rig.sim.fuses().begin() + 3), c.chipFuses);
    }
}

} // namespace
