#include "device/BlockProtection.h"
#include "device/StateFileLock.h"
#include "support/SimulatedRig.h"
#include "support/TestChipEntry.h"
#include "support/QtPrinting.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

using Bytes = std::vector<uint8_t>;
using Fault = SimulatedProgrammer::Fault;

Bytes pattern(std::size_t n, int seed)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(i * 13 + seed);
    return b;
}

bool allErased(const std::vector<uint8_t>& mem, std::size_t from, std::size_t to)
{
    return std::all_of(mem.begin() + static_cast<long>(from), mem.begin() + static_cast<long>(to),
                       [](uint8_t b) { return b == 0xFF; });
}

const ChipEntry kFlash = makeChip({.key = "SPI_FLASH,W,F", .id = 0xEF4013, .flash = 4096, .page = 256,
                                   .chipClass = 0, .eraseDelay = 100});

// A job on the rig: set-up done, link open.
void startJob(SimulatedRig& rig)
{
    ASSERT_EQ(rig.programmer.setupChip(), 1);
}

TEST(SimulatorChip, InsertedChipArrivesErasedAndSetupSeesIt)
{
    SimulatedRig rig;
    EXPECT_FALSE(rig.sim.hasChip());
    rig.use(kFlash);
    EXPECT_EQ(rig.sim.flash().size(), 4096u);
    EXPECT_TRUE(allErased(rig.sim.flash(), 0, 4096));
    EXPECT_TRUE(rig.sim.eeprom().empty());
    EXPECT_EQ(rig.sim.lockByte(), 0xFF);
    EXPECT_EQ(rig.sim.fuses(), SimulatedProgrammer::defaultFuses());
    startJob(rig);
    EXPECT_NE(rig.received().back()[0], 0);
    rig.programmer.finishChip();

    rig.sim.removeChip();
    EXPECT_EQ(rig.programmer.setupChip(), 2);
    EXPECT_EQ(rig.received().back()[0], 0);
}

TEST(SimulatorChip, FilledChipsArriveTheSameForTheSameSeed)
{
    const ChipEntry mcu = makeChip({.key = "AVR,ATMEL,M", .id = 0x1E950F, .flash = 32768, .page = 128,
                                    .chipClass = 7, .eeprom = 1024, .eepromPage = 4});
    const auto arrived = [](const ChipEntry& chip, std::optional<uint32_t> seed) {
        SimulatedProgrammer sim;
        sim.setFillSeed(seed);
        sim.insertChip(chip);
        return std::make_pair(sim.flash(), sim.eeprom());
    };
    for (const ChipEntry& chip : {kFlash, mcu}) {
        SCOPED_TRACE(chip.flashBytes());
        const auto seven = arrived(chip, 7);
        EXPECT_EQ(arrived(chip, 7), seven);
        EXPECT_NE(arrived(chip, 8).first, seven.first);
        EXPECT_EQ(arrived(chip, std::nullopt).first, Bytes(chip.flashBytes(), 0xFF));
        for (const Bytes& memory : {seven.first, seven.second}) {
            if (memory.empty())
                continue;
            const auto erased = std::count(memory.begin(), memory.end(), 0xFF);
            // Holes, but mostly data.
            EXPECT_GT(erased, qint64(memory.size()) / 20);
            EXPECT_LT(erased, qint64(memory.size()) / 2);
            // Erased from a point short of the end, above a programmed byte:
            // a read trims there.
            const auto lastData = std::find_if(memory.rbegin(), memory.rend(), [](uint8_t b) { return b != 0xFF; });
            const auto tail = lastData - memory.rbegin();
            EXPECT_GE(tail, 1);
            EXPECT_LE(tail, qint64(memory.size()) / 8);
        }
        EXPECT_EQ(seven.second.size(), std::size_t(chip.eepromBytes()));
    }
    // The fuses still arrive at their defaults.
    SimulatedProgrammer sim;
    sim.setFillSeed(1);
    sim.insertChip(mcu);
    EXPECT_EQ(sim.fuses(), SimulatedProgrammer::defaultFuses());
}

TEST(SimulatorChip, ReadIdAnswersOnlyTheChipsOwnClass)
{
    for (int chipClass = 0; chipClass <= 8; ++chipClass) {
        SCOPED_TRACE(chipClass);
        SimulatedRig rig;
        rig.use(makeChip({.key = "t,m,n", .id = 0x123456, .flash = 1024, .page = 16,
                          .chipClass = static_cast<uint8_t>(chipClass)}));
        rig.sim.setVariantFlag(0x03);
        uint8_t id[5] = {};
        // Parts beyond the probed classes answer the first probe.
        const int expectedClass = chipClass > 4 ? 0 : chipClass;
        EXPECT_EQ(rig.programmer.probeChip(id), expectedClass + 1);
        EXPECT_EQ(Bytes(id, id + 5), (Bytes{static_cast<uint8_t>(expectedClass + 1), 0x12, 0x34, 0x56, 0x03}));
    }
}

TEST(SimulatorErase, WholeChipEraseOfSpiFlashNeedsBusyPolls)
{
    SimulatedRig rig;
    rig.use(kFlash);
    std::fill(rig.sim.flash().begin(), rig.sim.flash().end(), 0x00);
    rig.sim.setBusyPolls(3);
    startJob(rig);

    EXPECT_TRUE(rig.programmer.erase(0x0000));
    EXPECT_EQ(rig.sim.flash()[0], 0x00) << "only the whole-chip argument erases a flash";
    EXPECT_TRUE(rig.programmer.erase(kWholeChipErase));
    EXPECT_TRUE(allErased(rig.sim.flash(), 0, 4096));
    std::vector<bool> polls;
    for (int i = 0; i < 5; ++i) {
        bool busy = false;
        ASSERT_TRUE(rig.programmer.pollStatus(busy));
        polls.push_back(busy);
    }
    EXPECT_EQ(polls, (std::vector<bool>{true, true, true, false, false}));

    rig.sim.setBusyForever(true);
    bool busy = false;
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(rig.programmer.pollStatus(busy));
    EXPECT_TRUE(busy);
}

TEST(SimulatorErase, SlowEraseStaysBusyByTheClockAndTakesNothingMeanwhile)
{
    SimulatedRig rig;
    rig.use(kFlash);
    qint64 now = 1000;
    rig.sim.setClock([&] { return now; });
    rig.sim.setSlowErase(3000);
    std::fill(rig.sim.flash().begin(), rig.sim.flash().end(), 0x00);
    startJob(rig);
    const auto poll = [&] {
        bool busy = false;
        EXPECT_TRUE(rig.programmer.pollStatus(busy));
        return busy;
    };
    ASSERT_TRUE(rig.programmer.erase(kWholeChipErase));
    EXPECT_TRUE(allErased(rig.sim.flash(), 0, 4096));
    // However often it is asked, only the clock ends the erase.
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(poll()) << i;
    now = 3999;
    EXPECT_TRUE(poll());
    // Data written to a chip that is still erasing goes nowhere.
    ASSERT_TRUE(rig.programmer.openStream(0, kCmdOpenFlashStream));
    ASSERT_TRUE(rig.programmer.writeBlock(4, 256, Bytes(256, 0x00).data()));
    EXPECT_TRUE(allErased(rig.sim.flash(), 0, 256));
    now = 4000;
    EXPECT_FALSE(poll());
    ASSERT_TRUE(rig.programmer.openStream(0, kCmdOpenFlashStream));
    ASSERT_TRUE(rig.programmer.writeBlock(4, 256, Bytes(256, 0x00).data()));
    EXPECT_EQ(rig.sim.flash()[0], 0x00) << "ready again, the chip takes data";
    // An erase asked for while one runs is not taken either.
    ASSERT_TRUE(rig.programmer.erase(kWholeChipErase));
    now = 4500;
    ASSERT_TRUE(rig.programmer.erase(kWholeChipErase));
    now = 7000;
    EXPECT_FALSE(poll()) << "busy from the first erase, not the ignored second";
}

TEST(SimulatorErase, PageEraseCountsPastSixtyFourKilobytes)
{
    SimulatedRig rig;
    rig.use(makeChip({.key = "24_EEPROM,A,AT24C1024", .flash = 0x20000, .page = 256, .chipClass = 1}));
    std::fill(rig.sim.flash().begin(), rig.sim.flash().end(), 0x00);
    startJob(rig);

    ASSERT_TRUE(rig.programmer.openStream(0, kCmdOpenFlashStream));
    EXPECT_TRUE(rig.programmer.erase(0x0100));
    EXPECT_TRUE(allErased(rig.sim.flash(), 0x100, 0x200));
    EXPECT_EQ(rig.sim.flash()[0x0FF], 0x00);
    EXPECT_EQ(rig.sim.flash()[0x200], 0x00);

    // The argument holds 16 bits of the address: a smaller one is the next 64 KiB.
    EXPECT_TRUE(rig.programmer.erase(0xFF00));
    EXPECT_TRUE(rig.programmer.erase(0x0000));
    EXPECT_TRUE(allErased(rig.sim.flash(), 0xFF00, 0x10100));
    EXPECT_EQ(rig.sim.flash()[0x0000], 0x00) << "the first page of the chip was not asked for";
    EXPECT_EQ(rig.sim.flash()[0x10100], 0x00);

    // A new stream starts counting from the bottom again.
    ASSERT_TRUE(rig.programmer.openStream(0, kCmdOpenFlashStream));
    EXPECT_TRUE(rig.programmer.erase(0x0000));
    EXPECT_TRUE(allErased(rig.sim.flash(), 0, 0x100));
}

TEST(SimulatorErase, MicrowireEraseClearsEverythingAndIspUsesRawSpi)
{
    SimulatedRig wire;
    wire.use(makeChip({.key = "93_EEPROM,A,AT93C46", .flash = 128, .page = 16, .chipClass = 2, .subtype = 0x07,
                       .eraseDelay = 10}));
    std::fill(wire.sim.flash().begin(), wire.sim.flash().end(), 0x12);
    wire.sim.lockByte() = 0x00;
    startJob(wire);
    EXPECT_TRUE(wire.programmer.erase(10));
    EXPECT_TRUE(allErased(wire.sim.flash(), 0, 128));
    EXPECT_EQ(wire.sim.lockByte(), 0xFF);

    SimulatedRig isp;
    isp.use(makeChip({.key = "X,Y,Z", .flash = 1024, .page = 64, .chipClass = 6}));
    std::fill(isp.sim.flash().begin(), isp.sim.flash().end(), 0x00);
    startJob(isp);
    const uint8_t pageErase[4] = {0xDB, 0x00, 0x00, 0x40};
    EXPECT_TRUE(isp.programmer.sendRawSpi(pageErase, 4));
    EXPECT_EQ(isp.sim.flash()[0x40], 0x00) << "no page erase without write enable";
    const uint8_t writeEnable[1] = {0x06};
    EXPECT_TRUE(isp.programmer.sendRawSpi(writeEnable, 1));
    EXPECT_TRUE(isp.programmer.sendRawSpi(pageErase, 4));
    EXPECT_TRUE(allErased(isp.sim.flash(), 0x40, 0x80));
    EXPECT_EQ(isp.sim.flash()[0x3F], 0x00);
    EXPECT_EQ(isp.sim.flash()[0x80], 0x00);
    EXPECT_TRUE(isp.programmer.erase(0x0040)) << "the erase command does nothing for this class";
    EXPECT_EQ(isp.sim.flash()[0x00], 0x00);
}

TEST(SimulatorStreams, PagesGoInAndComeBackOut)
{
    SimulatedRig rig;
    rig.use(kFlash);
    startJob(rig);
    const Bytes first = pattern(256, 1);
    const Bytes second = pattern(256, 2);
    ASSERT_TRUE(rig.programmer.openStream(0x100, kCmdOpenFlashStream));
    ASSERT_TRUE(rig.programmer.writeBlock(blockReportId(256), 256, first.data()));
    ASSERT_TRUE(rig.programmer.writeBlock(blockReportId(256), 256, second.data()));
    EXPECT_TRUE(allErased(rig.sim.flash(), 0, 0x100));
    EXPECT_EQ(Bytes(rig.sim.flash().begin() + 0x100, rig.sim.flash().begin() + 0x200), first);
    EXPECT_EQ(Bytes(rig.sim.flash().begin() + 0x200, rig.sim.flash().begin() + 0x300), second);

    ASSERT_TRUE(rig.programmer.openStream(0x200, kCmdOpenFlashStream));
    Bytes back(256);
    ASSERT_TRUE(rig.programmer.readBlock(blockReportId(256), 256, back.data()));
    EXPECT_EQ(back, second);
    ASSERT_TRUE(rig.programmer.readBlock(blockReportId(256), 256, back.data()));
    EXPECT_EQ(back, Bytes(256, 0xFF));

    // Flash cells only lose bits until erased.
    ASSERT_TRUE(rig.programmer.openStream(0x100, kCmdOpenFlashStream));
    const Bytes ones(256, 0x0F);
    ASSERT_TRUE(rig.programmer.writeBlock(4, 256, ones.data()));
    EXPECT_EQ(rig.sim.flash()[0x101], first[1] & 0x0F);

    // Past the end of the chip a read delivers erased bytes.
    ASSERT_TRUE(rig.programmer.openStream(4096 - 128, kCmdOpenFlashStream));
    ASSERT_TRUE(rig.programmer.readBlock(4, 256, back.data()));
    EXPECT_EQ(Bytes(back.begin() + 128, back.end()), Bytes(128, 0xFF));
}

// A byte behind a poor contact reads differently each time; the chip holds it unchanged.
TEST(SimulatorStreams, AnUnstableByteReadsDifferentlyEachTime)
{
    SimulatedRig rig;
    rig.use(kFlash);
    rig.sim.flash()[0x123] = 0x5A;
    rig.sim.addUnstableByte(0x123);
    startJob(rig);
    std::vector<uint8_t> seen;
    Bytes back(256);
    for (int n = 0; n < 4; ++n) {
        ASSERT_TRUE(rig.programmer.openStream(0x100, kCmdOpenFlashStream));
        ASSERT_TRUE(rig.programmer.readBlock(blockReportId(256), 256, back.data()));
        seen.push_back(back[0x23]);
        EXPECT_EQ(back[0x22], 0xFF) << "its neighbours read as they are";
    }
    EXPECT_EQ(seen, (std::vector<uint8_t>{0x5A, 0x5B, 0x58, 0x59}));
    EXPECT_EQ(rig.sim.flash()[0x123], 0x5A);
}

TEST(SimulatorStreams, EepromStreamsAndPlainOverwrite)
{
    SimulatedRig rig;
    rig.use(makeChip({.key = "AVR,ATMEL,M", .id = 0x1E950F, .flash = 32768, .page = 128, .chipClass = 7,
                      .eeprom = 1024, .eepromPage = 4}));
    startJob(rig);
    const Bytes data = pattern(64, 5);
    ASSERT_TRUE(rig.programmer.openStream(0, kCmdOpenEepromStream));
    ASSERT_TRUE(rig.programmer.writeBlock(blockReportId(streamBlockSize(4)), 64, data.data()));
    EXPECT_EQ(Bytes(rig.sim.eeprom().begin(), rig.sim.eeprom().begin() + 64), data);
    EXPECT_TRUE(allErased(rig.sim.flash(), 0, 32768)) << "the Flash is another memory";

    ASSERT_TRUE(rig.programmer.openStream(0, kCmdOpenEepromStream));
    const Bytes other(64, 0xF0);
    ASSERT_TRUE(rig.programmer.writeBlock(2, 64, other.data()));
    EXPECT_EQ(rig.sim.eeprom()[1], 0xF0) << "an EEPROM byte is overwritten, not ANDed";

    // Any command report ends the stream.
    ASSERT_TRUE(rig.programmer.openStream(0, kCmdOpenEepromStream));
    bool busy = false;
    ASSERT_TRUE(rig.programmer.pollStatus(busy));
    ASSERT_TRUE(rig.programmer.writeBlock(2, 64, data.data()));
    EXPECT_EQ(rig.sim.eeprom()[1], 0xF0);
}

TEST(SimulatorState, MemoriesOutliveTheRun)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("sim.state"));
    const Bytes data = pattern(256, 9);
    {
        SimulatedRig run;
        run.use(kFlash);
        QString error;
        EXPECT_TRUE(run.sim.loadState(path, &error)) << "a missing file starts erased";
        EXPECT_TRUE(allErased(run.sim.flash(), 0, 4096));
        startJob(run);
        ASSERT_TRUE(run.programmer.openStream(0x300, kCmdOpenFlashStream));
        ASSERT_TRUE(run.programmer.writeBlock(4, 256, data.data()));
        const uint8_t fuses[2] = {0x11, 0x22};
        ASSERT_TRUE(run.programmer.writeFuses(fuses, 2));
        ASSERT_TRUE(run.programmer.writeLock(0xF0));
        run.programmer.finishChip();
        ASSERT_TRUE(run.sim.saveState(path, &error)) << error.toStdString();
    }
    {
        SimulatedRig next;
        next.use(kFlash);
        QString error;
        ASSERT_TRUE(next.sim.loadState(path, &error)) << error.toStdString();
        startJob(next);
        ASSERT_TRUE(next.programmer.openStream(0x300, kCmdOpenFlashStream));
        Bytes back(256);
        ASSERT_TRUE(next.programmer.readBlock(4, 256, back.data()));
        EXPECT_EQ(back, data);
        uint8_t fuses[2] = {};
        ASSERT_TRUE(next.programmer.readConfig(2, fuses));
        EXPECT_EQ(Bytes(fuses, fuses + 2), (Bytes{0x11, 0x22}));
        EXPECT_EQ(next.sim.lockByte(), 0xF0);
    }
    {
        // A run with an empty socket has nothing to keep and must not wipe the file.
        SimulatedProgrammer empty;
        ASSERT_TRUE(empty.loadState(path));
        ASSERT_TRUE(empty.saveState(path));
        SimulatedProgrammer later;
        later.insertChip(kFlash);
        ASSERT_TRUE(later.loadState(path));
        EXPECT_EQ(Bytes(later.flash().begin() + 0x300, later.flash().begin() + 0x400), data);
    }
}

TEST(SimulatorState, ForeignOrDamagedFilesAreRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.state"));
    SimulatedProgrammer sim;
    sim.insertChip(kFlash);
    sim.flash()[0] = 0x42;
    QString error;

    ASSERT_TRUE(writeBytes(path, QByteArray("hello world")));
    EXPECT_FALSE(sim.loadState(path, &error));
    EXPECT_FALSE(error.isEmpty());

    // A good file cut short by one byte.
    ASSERT_TRUE(sim.saveState(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() - 1));
    f.close();
    sim.flash()[0] = 0x00;
    error.clear();
    EXPECT_FALSE(sim.loadState(path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(sim.flash()[0], 0x00) << "a refused file changes nothing";

    // A smaller chip takes what fits.
    ASSERT_TRUE(sim.saveState(path));
    SimulatedProgrammer small;
    small.insertChip(makeChip({.key = "a,b,c", .flash = 16, .page = 16}));
    EXPECT_TRUE(small.loadState(path));
    EXPECT_EQ(small.flash().size(), 16u);
    EXPECT_EQ(small.flash()[0], 0x00);
}

TEST(SimulatorState, OneProgramAtATimeHoldsTheStateFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sim.state"));
    const QString lockFile = StateFileLock::lockPathFor(path);
    StateFileLock first;
    QString error;
    ASSERT_TRUE(first.acquire(path, &error)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(lockFile));
    {
        StateFileLock second;
        EXPECT_FALSE(second.acquire(path, &error));
        EXPECT_FALSE(second.held());
        EXPECT_EQ(error, QStringLiteral("The simulator's state file %1 is in use by another program (process %2); "
                                        "close that one first, or name another state file.")
                             .arg(path)
                             .arg(QCoreApplication::applicationPid()));
    }
    EXPECT_TRUE(first.held()) << "a refused second program takes nothing from the first";
    first.release();
    EXPECT_FALSE(QFile::exists(lockFile)) << "no lock file is left behind";
    StateFileLock third;
    EXPECT_TRUE(third.acquire(path, &error));

    // A folder that is not there takes no lock file: that is said, not ignored.
    StateFileLock nowhere;
    EXPECT_FALSE(nowhere.acquire(dir.filePath(QStringLiteral("missing/sim.state")), &error));
    EXPECT_TRUE(error.endsWith(QStringLiteral(": No such file or directory"))) << error.toStdString();
}

const ChipEntry kSst25 = makeChip({.key = "SPI_FLASH,SST,SST25VF016B", .id = 0xBF2541, .flash = 4096, .page = 256,
                                   .subtype = 1, .eraseDelay = 1});
const ChipEntry kSst26 = makeChip({.key = "SPI_FLASH,SST,SST26VF016B", .id = 0xBF2641, .flash = 4096, .page = 256,
                                   .subtype = 1, .eraseDelay = 1});

TEST(BlockProtection, UnlockMethodByClassSubtypeAndTheSst26Family)
{
    const struct {
        ChipFields chip;
        UnlockMethod method;
    } cases[] = {
        {{.key = "SPI_FLASH,WINBOND,W25Q64", .id = 0xEF4017}, UnlockMethod::WriteStatus},
        {{.key = "SPI_FLASH,MXIC,MX25L25635", .id = 0xC22019, .subtype = 2}, UnlockMethod::WriteStatus},
        {{.key = "SPI_FLASH,SST,SST25VF016B", .id = 0xBF2541, .subtype = 1}, UnlockMethod::EnableWriteStatus},
        // The SST26 name decides before the subtype, whatever the subtype says.
        {{.key = "SPI_FLASH,SST,SST26VF016B", .id = 0xBF2641, .subtype = 1}, UnlockMethod::GlobalUnlock},
        {{.key = "SPI_FLASH,SST,sst26vf032", .id = 0x123456}, UnlockMethod::GlobalUnlock},
        // A relabelled twin is known by its identifier.
        {{.key = "SPI_FLASH,PCT,PCT26VF016", .id = 0xBF2601, .subtype = 1}, UnlockMethod::GlobalUnlock},
        {{.key = "SPI_FLASH,X,Y", .id = 0x01BF2601}, UnlockMethod::WriteStatus},
        {{.key = "SPI_FLASH,X,SST25", .id = 0xBF2541}, UnlockMethod::WriteStatus},
        {{.key = "24_EEPROM,ATMEL,AT24C02", .chipClass = 1, .subtype = 1}, UnlockMethod::None},
        {{.key = "SPI_FLASH,SST,SST26VF016B", .id = 0xBF2641, .chipClass = 6}, UnlockMethod::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(unlockMethodFor(makeChip(c.chip)), c.method) << c.chip.key;
    EXPECT_TRUE(unlockSequence(UnlockMethod::None).empty());
}

TEST(SimulatorProtection, WhileSetNothingChangesAndOnlyTheChipsOwnSequenceClearsIt)
{
    const ChipEntry kinds[] = {kFlash, kSst25, kSst26};
    const UnlockMethod methods[] = {UnlockMethod::WriteStatus, UnlockMethod::EnableWriteStatus,
                                    UnlockMethod::GlobalUnlock};
    for (int k = 0; k < 3; ++k) {
        for (int m = 0; m < 3; ++m) {
            SCOPED_TRACE(testing::Message() << "chip " << k << ", sequence " << m);
            SimulatedRig rig;
            rig.use(kinds[k]);
            std::fill(rig.sim.flash().begin(), rig.sim.flash().end(), 0x5A);
            rig.sim.setBlockProtected(true);
            ASSERT_TRUE(rig.sim.blockProtected());
            startJob(rig);
            EXPECT_TRUE(rig.programmer.erase(kWholeChipErase));
            ASSERT_TRUE(rig.programmer.openStream(0, kCmdOpenFlashStream));
            ASSERT_TRUE(rig.programmer.writeBlock(4, 256, Bytes(256, 0x00).data()));
            EXPECT_EQ(rig.sim.flash()[0], 0x5A) << "a protected array ignores erase and program";
            for (const Bytes& t : unlockSequence(methods[m]))
                ASSERT_TRUE(rig.programmer.sendRawSpi(t.data(), int(t.size())));
            EXPECT_EQ(rig.sim.blockProtected(), k != m);
            EXPECT_TRUE(rig.programmer.erase(kWholeChipErase));
            EXPECT_EQ(rig.sim.flash()[0], k == m ? 0xFF : 0x5A);
        }
    }
}

TEST(SimulatorProtection, ArrivingProtectedAndKeptInTheStateFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sim.state"));
    SimulatedProgrammer first;
    first.setChipsArriveProtected(true);
    first.insertChip(kSst25);
    EXPECT_TRUE(first.blockProtected());
    EXPECT_EQ(first.statusRegister(), 0x1C);
    ASSERT_TRUE(first.saveState(path));

    SimulatedProgrammer second;
    second.insertChip(kSst25);
    EXPECT_FALSE(second.blockProtected());
    ASSERT_TRUE(second.loadState(path));
    EXPECT_TRUE(second.blockProtected()) << "the status register is kept with the memories";
    second.setBlockProtected(false);
    ASSERT_TRUE(second.saveState(path));

    SimulatedProgrammer third;
    third.setChipsArriveProtected(true);
    third.insertChip(kSst25);
    ASSERT_TRUE(third.loadState(path));
    EXPECT_TRUE(third.blockProtected()) << "a chip told to arrive protected does so after the load too";

    // A file of the first version has no status register: the chip is unprotected.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray v1 = f.readAll();
    f.close();
    v1.replace(0, 14, "KTR4180-SIM 1\n");
    v1.chop(2);
    ASSERT_TRUE(writeBytes(path, v1));
    SimulatedProgrammer fourth;
    fourth.insertChip(kSst25);
    EXPECT_TRUE(fourth.loadState(path));
    EXPECT_FALSE(fourth.blockProtected());
}

TEST(SimulatorFaults, CountingAndTheCable)
{
    SimulatedRig rig;
    rig.use(kFlash);
    // Report 1 is a set: a get fault there waits for the first get.
    rig.sim.addFault({Fault::Kind::Get, 1});
    EXPECT_EQ(rig.programmer.setupChip(), 0);
    EXPECT_EQ(rig.sim.reportCount(), 2);
    ASSERT_EQ(rig.sim.traffic().size(), 2u);
    EXPECT_TRUE(rig.sim.traffic()[0].ok);
    EXPECT_FALSE(rig.sim.traffic()[1].ok) << "the failed attempt is on record";

    // A fault fires once.
    EXPECT_EQ(rig.programmer.setupChip(), 1);
    rig.programmer.finishChip();

    // A short reply: half the bytes asked for, the rest of the buffer untouched.
    rig.sim.addFault({Fault::Kind::Short, rig.sim.reportCount() + 1});
    std::unique_ptr<HidHandle> handle = rig.sim.open(rig.sim.interfaces(kProgrammerVendorId, kProgrammerProductId).at(0));
    const uint8_t readId[64] = {0x01, kCmdReadId};
    ASSERT_EQ(handle->setFeature(readId, 64), 64);
    uint8_t reply[64];
    std::fill(std::begin(reply), std::end(reply), 0xAA);
    reply[0] = 0x01;
    EXPECT_EQ(handle->getFeature(reply, 64), 32);
    EXPECT_EQ(reply[0], 0x01) << "class 0 answered";
    EXPECT_EQ(reply[32], 0xAA);
    EXPECT_EQ(rig.sim.traffic().back().bytes.size(), 32u) << "the record shows what crossed";
    EXPECT_EQ(handle->getFeature(reply, 64), 64) << "once only";
    handle.reset();
    rig.ui.clear();
    rig.sim.addFault({Fault::Kind::Short, rig.sim.reportCount() + 1});
    EXPECT_EQ(rig.programmer.setupChip(), 0);
    EXPECT_EQ(rig.ui.errors(), QStringList{"Not connected\nThe programmer answered 32 of 64 bytes."});

    // Unplugging kills the link at once and for good.
    rig.sim.addFault({Fault::Kind::Unplug, rig.sim.reportCount() + 3});
    ASSERT_EQ(rig.programmer.setupChip(), 1);
    bool busy = false;
    EXPECT_FALSE(rig.programmer.pollStatus(busy));
    EXPECT_EQ(rig.programmer.failureText(Msg::TransferFailed),
              QStringLiteral("Communication with the programmer failed; the operation was stopped.\n"
                             "No such device (the simulated programmer was unplugged at report %1)")
                  .arg(rig.sim.reportCount()));
    EXPECT_FALSE(rig.sim.plugged());
    EXPECT_TRUE(rig.sim.interfaces(kProgrammerVendorId, kProgrammerProductId).empty());
    uint8_t id[5];
    EXPECT_EQ(rig.programmer.probeChip(id), -1);
    rig.sim.setPlugged(true);
    EXPECT_EQ(rig.programmer.probeChip(id), 1);

    // A handle from before the unplug stays dead after the cable is back.
    std::unique_ptr<HidHandle> old = rig.sim.open(rig.sim.interfaces(kProgrammerVendorId, kProgrammerProductId).at(0));
    ASSERT_TRUE(old);
    rig.sim.setPlugged(false);
    rig.sim.setPlugged(true);
    const uint8_t r[64] = {0x01, kCmdPollStatus};
    EXPECT_EQ(old->setFeature(r, 64), -1);
    uint16_t vid = 0, pid = 0;
    EXPECT_FALSE(old->attributes(vid, pid));
    EXPECT_EQ(rig.sim.open(rig.sim.interfaces(kProgrammerVendorId, kProgrammerProductId).at(0))->setFeature(r, 64), 64);
}

} // namespace
