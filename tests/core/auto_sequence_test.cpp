// The auto sequence: which steps run, in which order, what stops the later
// ones and what the log says about it.

#include "support/OperationRig.h"

#include "fuses/FuseDescription.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace {

using Kind = RecordingUi::Event::Kind;
using Fault = SimulatedProgrammer::Fault;

ChipEntry mcu()
{
    return makeChip({.key = "AVR,ATMEL,MEGA", .id = 0x1E950F, .flash = 2048, .page = 128, .chipClass = 7,
                     .eraseDelay = 10, .eeprom = 256, .eepromPage = 4});
}

ChipEntry flash()
{
    return makeChip({.key = "SPI_FLASH,WINBOND,W25Q", .id = 0xEF4017, .flash = 4096, .page = 256, .eraseDelay = 3});
}

const AutoOptions kAllButFuses{.erase = true, .writeFlash = true, .writeEeprom = true, .verifyFlash = true,
                               .verifyEeprom = true};

TEST(Auto, OnlyProgramSendsSetupStreamAndFinishAndLogsNothing)
{
    OperationRig rig;
    rig.use(flash());
    rig.loadFlash(512);
    rig.ops.runAuto({.writeFlash = true});
    EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C07", "W04/257", "W04/257", "C0A"}));
    EXPECT_TRUE(rig.ui.logs().isEmpty());
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
}

TEST(Auto, FullRunProgramsBothMemoriesAndVerifiesEach)
{
    OperationRig rig;
    rig.use(mcu());
    std::fill(rig.sim.flash().begin(), rig.sim.flash().end(), 0x00);
    rig.loadFlash(300);
    rig.loadEeprom(40);
    rig.ops.runAuto(kAllButFuses);

    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
    const QStringList codes = rig.wireAfterProbe().filter("C");
    // The signature, the erase with its read-back, both writes, both verifies.
    EXPECT_EQ(codes, QStringList({"C09", "C01", "C02", "C07", "C07", "C08", "C07", "C08", "C0A"}));
    EXPECT_TRUE(std::equal(rig.sim.flash().begin(), rig.sim.flash().begin() + 384, rig.state.buffers().flash()));
    EXPECT_TRUE(std::equal(rig.sim.eeprom().begin(), rig.sim.eeprom().begin() + 40, rig.state.buffers().eeprom()));
    EXPECT_EQ(rig.sim.flash()[400], 0xFF);  // erased, not written
    EXPECT_EQ(rig.ui.logs(), QStringList({"AUTO Complete!"})) << "one result line per run";
    EXPECT_EQ(rig.ui.pauses(), std::vector<qint64>({350, 350}));
}

TEST(Auto, VerifyFailureSkipsEepromVerifyAndFuses)
{
    OperationRig rig;
    rig.use(mcu());
    rig.loadFlash(128);
    rig.loadEeprom(8);
    FuseDescription oneByte;
    oneByte.fuseByteCount = 1;
    rig.state.fuses().applyDescription(oneByte);
    rig.ops.runAuto({.verifyFlash = true, .verifyEeprom = true, .fuses = true});
    EXPECT_EQ(rig.ui.errors(), QStringList{"Flash check error address:0h"});
    EXPECT_EQ(rig.wireAfterProbe().filter("C"), QStringList({"C09", "C01", "C07", "C0A"}));
    EXPECT_EQ(rig.ui.logs(), QStringList{"AUTO stopped at: Verify"});
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Declined);
}

TEST(Auto, SerialNumberGoesIntoTheBufferAndSteps)
{
    OperationRig rig;
    rig.use(flash());
    rig.loadFlash(16);
    rig.state.serial() = {256, 300, SerialNumber::Mode::Increment};
    rig.ops.runAuto({.serialNumber = true, .writeFlash = true, .verifyFlash = true});
    const uint8_t* b = rig.state.buffers().flash();
    EXPECT_EQ(std::vector<uint8_t>(b + 256, b + 260), std::vector<uint8_t>({0x2C, 0x01, 0x00, 0x00}));
    // 260 bytes, then whole pages for the write.
    EXPECT_EQ(rig.state.buffers().flashLength(), 512);
    EXPECT_EQ(rig.state.serial().value, 301);
    EXPECT_EQ(rig.sim.flash()[256], 0x2C);
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
}

TEST(Auto, StepsThatCannotRunAreRefusedBeforeAnythingIsSent)
{
    struct Case {
        const char* what;
        AutoOptions options;
        int32_t serialAddress;
        Msg message;
        ChipEntry chip = flash();
    };
    const int32_t chipBytes = int32_t(flash().flashBytes());
    for (const Case& c : {Case{"serial past the chip", {.serialNumber = true, .erase = true, .writeFlash = true},
                               chipBytes - 3, Msg::SerialNumberOutsideChip},
                          Case{"serial past the buffer", {.serialNumber = true, .erase = true, .writeFlash = true},
                               int32_t(64 * 1024 * 1024 - 3), Msg::SerialNumberOutsideChip},
                          Case{"fuses without a description", {.erase = true, .writeFlash = true, .fuses = true}, 0,
                               Msg::FuseStepWithoutDescription, mcu()},
                          Case{"fuses of a chip that has none", {.erase = true, .writeFlash = true, .fuses = true}, 0,
                               Msg::NoFuseBytes}}) {
        OperationRig rig;
        rig.use(c.chip);
        rig.loadFlash(16);
        rig.state.serial() = {c.serialAddress, 5, SerialNumber::Mode::Increment};
        rig.ops.runAuto(c.options);
        EXPECT_EQ(rig.ui.errors(), QStringList{rig.ui.message(c.message)}) << c.what;
        EXPECT_TRUE(rig.wire().isEmpty()) << c.what;
        EXPECT_EQ(rig.state.serial().value, 5) << c.what;
        EXPECT_EQ(rig.state.buffers().flashLength(), 16) << c.what;
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Refused) << c.what;
    }
}

// The number in the chip's last four bytes reaches the chip and counts in the data.
TEST(Auto, SerialNumberInTheChipsLastBytesIsWritten)
{
    OperationRig rig;
    rig.use(flash());
    rig.loadFlash(16);
    const int32_t last = int32_t(flash().flashBytes()) - 4;
    rig.state.serial() = {last, 0x01020304, SerialNumber::Mode::Increment};
    rig.ops.runAuto({.serialNumber = true, .erase = true, .writeFlash = true, .verifyFlash = true});
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
    EXPECT_EQ(std::vector<uint8_t>(rig.sim.flash().begin() + last, rig.sim.flash().begin() + last + 4),
              std::vector<uint8_t>({0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(rig.state.buffers().flashLength(), last + 4);
}

TEST(Auto, EmptyFlashBufferIsRefusedWhateverTheEeprom)
{
    OperationRig rig;
    rig.use(mcu());
    rig.loadEeprom(64);
    rig.ops.runAuto({.writeEeprom = true});
    EXPECT_EQ(rig.ui.errors(), QStringList{"The buffer data is empty. Please load the data file.."});
    EXPECT_EQ(rig.wire().size(), 3);
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Refused);
}

TEST(Auto, PagedEraseWithoutPageSizeIsRefusedOnlyWhenErasing)
{
    OperationRig rig;
    rig.use(makeChip({.key = "24_EEPROM,ATMEL,AT24C02", .flash = 256, .page = 0, .chipClass = 1}));
    rig.loadFlash(64);
    rig.ops.runAuto({.erase = true, .writeFlash = true});
    EXPECT_EQ(rig.ui.errors(), QStringList{rig.ui.message(Msg::ChipRecordUnusable)});
    EXPECT_TRUE(rig.sim.traffic().empty());
    rig.ops.runAuto({.writeFlash = true});
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
}

TEST(Auto, FailedTransferNamesTheStepInTheCurrentLanguage)
{
    OperationRig rig;
    rig.ui.language = 0;
    rig.use(flash());
    rig.loadFlash(512);
    // 1-6 probe, 7-8 Setup, 9-10 stream, 11 first page, 12 second page.
    rig.sim.addFault({Fault::Kind::Set, 12});
    rig.ops.runAuto({.writeFlash = true, .verifyFlash = true});
    EXPECT_EQ(rig.ui.errors(), QStringList{rig.failure(Msg::TransferFailed, rig.brokenPipe(12))});
    EXPECT_EQ(rig.ui.logs(), QStringList{QString::fromUtf8("自动编程在此步骤停止：编程")});
    EXPECT_TRUE(rig.ui.pauses().empty());  // no verify started
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Failed);
    EXPECT_TRUE(rig.ui.controlsEnabled);
}

TEST(Auto, EraseThatFailsOrNeverEndsStopsTheRun)
{
    OperationRig rig;
    rig.use(flash());
    rig.loadFlash(256);
    rig.sim.setBusyForever(true);  // never ready: polled up to ten times erase delay 3 + 2
    rig.ops.runAuto({.erase = true, .writeFlash = true});
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Declined);
    EXPECT_EQ(rig.commands(0x0C).size(), 50u);
    EXPECT_EQ(rig.ui.errors(),
              QStringList{"The chip is still busy 2.5 s after the erase began: the erase is not complete."});
    EXPECT_EQ(rig.ui.logs(), QStringList{"AUTO stopped at: Erase"});
    EXPECT_TRUE(rig.commands(0x07).empty()) << "nothing written";

    OperationRig failing;
    failing.use(flash());
    failing.loadFlash(256);
    failing.sim.addFault({Fault::Kind::Get, 12});  // the reply to Erase
    failing.ops.runAuto({.erase = true, .writeFlash = true});
    EXPECT_EQ(failing.ui.logs(), QStringList{"AUTO stopped at: Erase"});
    EXPECT_TRUE(failing.commands(0x07).empty());
}

TEST(Auto, FuseStepWritesFuseBytesAndLockByteAsChosen)
{
    FuseDescription d;
    d.fuseByteCount = 3;
    for (uint8_t v : {0x62, 0xD9, 0xFF, 0xFF})
        d.bytes.push_back({QStringLiteral("B"), v, {}});
    for (const auto& [fuses, lock] : {std::pair{true, true}, std::pair{false, true}, std::pair{true, false}}) {
        OperationRig rig;
        rig.use(mcu());
        rig.loadFlash(16);
        rig.state.fuses().applyDescription(d);
        rig.state.fuses().setFuseByte(3, 0x3C);
        rig.ops.runAuto({.fuses = true, .fuseEnable = fuses, .lockEnable = lock});
        ASSERT_EQ(rig.commands(0x04).size(), fuses ? 1u : 0u);
        ASSERT_EQ(rig.commands(0x06).size(), lock ? 1u : 0u);
        if (fuses) {
            const auto w = rig.commands(0x04)[0];
            EXPECT_EQ(std::vector<uint8_t>(w.begin() + 20, w.begin() + 25), std::vector<uint8_t>({3, 0x62, 0xD9, 0xFF, 0}));
        }
        if (lock) {
            EXPECT_EQ(rig.commands(0x06)[0][21], 0x3C);
        }
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
    }

    // A locked chip keeps its fuse bytes: the step stops the run, no "AUTO Complete!".
    OperationRig rig;
    rig.use(mcu());
    rig.loadFlash(16);
    rig.state.fuses().applyDescription(d);
    rig.sim.lockByte() = 0x3C;
    rig.sim.fuses()[0] = 0xE2;
    rig.ops.runAuto({.fuses = true, .fuseEnable = true, .lockEnable = false});
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Declined);
    EXPECT_EQ(rig.sim.fuses()[0], 0xE2);
    EXPECT_EQ(rig.ui.errors(), QStringList{messageText(Msg::ConfigNotTaken, 2).arg("FUSE", "0x62 0xD9 0xFF", "0xE2 0xD9 0xFF")});
    EXPECT_TRUE(rig.ui.logs().join('\n').contains(messageText(Msg::AutoStoppedAt, 2)));
}

// One row per run, whose result is the run's final outcome; a serial number
// only once the write step sent it; a log that cannot take the row refuses
// the run before anything is sent.
TEST(Auto, ProductionLogRowIsTheRunsFinalOutcome)
{
    const AutoOptions writeAndVerify{.serialNumber = true, .writeFlash = true, .verifyFlash = true};
    struct Case {
        const char* what;
        AutoOptions options;
        int unplugBeforeEnd;  // reports before the run's last one where the link dies; 0: never
        QString steps;
        QString serial;
        QString result;
        Outcome outcome;
    };
    const std::vector<Case> cases{
        {"every step", writeAndVerify, 0, "Write SN + Program + Verify", "300", "ok", Outcome::Done},
        {"closing report lost", writeAndVerify, 1, "Write SN + Program + Verify", "300", "failed: Finish",
         Outcome::Failed},
        {"lost in the verify", writeAndVerify, 3, "Write SN + Program + Verify", "300", "failed: Verify",
         Outcome::Failed},
        {"no write step", {.serialNumber = true, .erase = true}, 0, "Write SN + Erase", "", "ok", Outcome::Done},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int lastReport = 0;
        {
            OperationRig counting;
            counting.use(flash());
            counting.loadFlash(512);
            counting.state.serial() = {16, 300, SerialNumber::Mode::Increment};
            counting.ops.runAuto(c.options);
            lastReport = counting.sim.reportCount();
        }
        QTemporaryDir dir;
        OperationRig rig;
        rig.use(flash());
        rig.loadFlash(512);
        rig.state.serial() = {16, 300, SerialNumber::Mode::Increment};
        rig.ops.setProductionLogPath(dir.filePath("log.csv"));
        if (c.unplugBeforeEnd > 0)
            rig.sim.addFault({Fault::Kind::Unplug, lastReport - c.unplugBeforeEnd});
        rig.ops.runAuto(c.options);
        EXPECT_EQ(rig.ops.lastOutcome(), c.outcome);
        QFile file(dir.filePath("log.csv"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        ASSERT_EQ(rows.size(), 2) << "the header and one row";
        const QStringList fields = rows[1].split(',');
        ASSERT_EQ(fields.size(), 10);
        EXPECT_EQ(fields.mid(4, 3), QStringList({c.serial, c.steps, c.result}));
    }

    // Another AVR in the socket and No: the row names the signature check
    // alone, not the ticked steps that never ran.
    {
        QTemporaryDir logDir;
        OperationRig rig;
        rig.use(mcu(), false);
        ChipEntry other = mcu();
        other.setChipId(0x1E9007);
        rig.sim.insertChip(other);
        rig.loadFlash(512);
        rig.ui.defaultAnswer = false;
        rig.ops.setProductionLogPath(logDir.filePath("log.csv"));
        rig.ops.runAuto({.erase = true, .writeFlash = true});
        EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Declined);
        QFile file(logDir.filePath("log.csv"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        ASSERT_EQ(rows.size(), 2);
        const QString detection = autoStepCaption(AutoStep::Detection, 2);
        EXPECT_EQ(rows[1].split(',').mid(5, 2), QStringList({detection, "failed: " + detection}));
    }

    OperationRig refused;
    refused.use(flash());
    refused.loadFlash(512);
    QTemporaryDir dir;
    refused.ops.setProductionLogPath(dir.path());  // a folder takes no row
    refused.ops.runAuto({.erase = true, .writeFlash = true});
    EXPECT_EQ(refused.ops.lastOutcome(), Outcome::Refused);
    EXPECT_EQ(refused.ui.errors(),
              QStringList{"The production log could not be written: " + dir.path() + "\nIs a directory"});
    EXPECT_TRUE(refused.sim.traffic().empty());
}

} // namespace
