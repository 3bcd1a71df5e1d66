// The chip-operation commands of the terminal front end on the simulated
// programmer, with the chip memory kept in a state file between runs.

#include "cli/Cli.h"
#include "cli/TerminalUi.h"
#include "buffers/Buffers.h"
#include "device/SimulatedProgrammer.h"
#include "device/StateFileLock.h"
#include "support/DataFileKit.h"
#include "support/TestChipEntry.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

const ChipEntry kW25Q64Entry =
    makeChip({.key = "SPI_FLASH,WINBOND,W25Q64", .id = 0xEF4017, .flash = 16384, .page = 256, .eraseDelay = 2});

struct CliRig {
    QTemporaryDir dir;
    QString db = dir.filePath("chips.Dat");
    QString state = dir.filePath("chip.sim");
    QString out;
    QString err;

    CliRig()
    {
        ChipTable table;
        fillTable(table, {makeChip({.key = "SPI_FLASH,WINBOND,W25Q32", .id = 0xEF4016, .flash = 8192, .page = 256,
                                    .eraseDelay = 2}),
                          kW25Q64Entry,
                          makeChip({.key = "AVR,ATMEL,MEGA", .id = 0x1E950F, .flash = 4096, .page = 128,
                                    .chipClass = 7, .eraseDelay = 10, .eeprom = 512, .eepromPage = 4}),
                          makeChip({.key = "EEPROM24,ATMEL,AT24C02", .flash = 256, .page = 8, .chipClass = 1}),
                          makeChip({.key = "SPI_FLASH,SST,SST25VF016B", .id = 0xBF2541, .flash = 4096, .page = 256,
                                    .subtype = 1, .eraseDelay = 2})});
        table.saveFile(db, 5);
    }

    int run(QStringList words, bool terminal = false)
    {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        words = QStringList{"--db", db, "--simulate=" + state} + words;
        return runCli(words, dir.path(), o, e, terminal);
    }

    // With the data of "-" and the Ctrl+C flag; a nonzero pipeChunk gives
    // "-" as a pipe whose writer pauses after that many bytes.
    QByteArray data;
    qint64 pipeChunk = 0;
    int runWithData(QStringList words, QByteArray in = {}, const volatile std::sig_atomic_t* stop = nullptr,
                    bool terminal = false)
    {
        out.clear();
        err.clear();
        data.clear();
        QTextStream o(&out), e(&err);
        QBuffer buffered(&in), output(&data);
        buffered.open(QIODevice::ReadOnly);
        output.open(QIODevice::WriteOnly);
        words = QStringList{"--db", db, "--simulate=" + state} + words;
        if (pipeChunk <= 0)
            return runCli(words, ProgramFiles(dir.path()), CliStreams{o, e, terminal, &buffered, &output, stop});
        // Standard input as the program opens it, on a pipe whose writer is slower.
        int ends[2];
        if (::pipe(ends) != 0)
            return -1;
        std::thread writer([&] {
            const qsizetype first = std::min<qsizetype>(pipeChunk, in.size());
            if (::write(ends[1], in.constData(), size_t(first)) == first) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                (void)!::write(ends[1], in.constData() + first, size_t(in.size() - first));
            }
            ::close(ends[1]);
        });
        QFile piped;
        piped.open(::fdopen(ends[0], "r"), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
        const int status = runCli(words, ProgramFiles(dir.path()), CliStreams{o, e, terminal, &piped, &output, stop});
        piped.close();
        writer.join();
        return status;
    }

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        writeBytes(path, bytes);
        return path;
    }
    QByteArray read(const QString& name)
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The chip kept in the state file, put there and looked at through the
    // simulated programmer itself.
    void seed(const ChipEntry& chip, const QByteArray& flash)
    {
        SimulatedProgrammer sim;
        sim.insertChip(chip);
        std::copy_n(flash.constData(), std::min<qsizetype>(flash.size(), qsizetype(sim.flash().size())),
                    sim.flash().begin());
        ASSERT_TRUE(sim.saveState(state));
    }
    QByteArray chipFlash(const ChipEntry& chip)
    {
        SimulatedProgrammer sim;
        sim.insertChip(chip);
        EXPECT_TRUE(sim.loadState(state));
        return QByteArray(reinterpret_cast<const char*>(sim.flash().data()), qsizetype(sim.flash().size()));
    }
};

QByteArray randomBytes(int n, quint32 seed)
{
    QByteArray b(n, 0);
    QRandomGenerator random(seed);
    for (char& c : b)
        c = char(random.bounded(256));
    return b;
}

// An Intel HEX data record.
QByteArray hexRecord(int address, const QByteArray& data)
{
    QByteArray record = QByteArray(1, char(data.size())) + char(address >> 8) + char(address & 0xFF) + char(0) + data;
    uint8_t sum = 0;
    for (const char c : record)
        sum = uint8_t(sum + uint8_t(c));
    return ":" + (record + char(uint8_t(-sum))).toHex().toUpper() + "\r\n";
}

QByteArray laidOver(QByteArray chip, const QList<std::pair<int, QByteArray>>& parts)
{
    for (const auto& [at, bytes] : parts)
        chip.replace(at, bytes.size(), bytes);
    return chip;
}

QByteArray pattern(int n)
{
    QByteArray b(n, 0);
    for (int i = 0; i < n; ++i)
        b[i] = char(i * 13 + 1);
    b[n - 1] = 0x42;
    return b;
}

const QStringList kW25Q64{"--chip", "SPI_FLASH,WINBOND,W25Q64"};

TEST(CliOperations, WriteInOneRunReadsBackIdenticalInTheNext)
{
    CliRig rig;
    const QByteArray image = pattern(10000);  // beyond the first chip's 8 KiB
    const QString in = rig.file("in.bin", image);
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"write", in}), 0) << rig.err.toStdString();
    EXPECT_TRUE(rig.err.contains("Write Complete!"));
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"read", rig.dir.filePath("out.bin")}), 0) << rig.err.toStdString();
    EXPECT_EQ(rig.read("out.bin"), image);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"verify", in}), 0);
    EXPECT_TRUE(rig.err.contains("Verify Complete!"));

    // Reading over an existing file needs an answer.
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"read", rig.dir.filePath("out.bin")}), 1);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"--yes", "read", rig.dir.filePath("out.bin")}), 0);
}

TEST(CliOperations, VerifyMismatchBlankAndErase)
{
    CliRig rig;
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"blank"}), 0);
    QByteArray image = pattern(4096);
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"write", rig.file("a.bin", image)}), 0);
    image[0x1A3] = char(image[0x1A3] ^ 1);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"verify", rig.file("b.bin", image)}), 1);
    EXPECT_TRUE(rig.err.contains("Flash check error address:1A3h")) << rig.err.toStdString();
    EXPECT_FALSE(rig.err.contains("Verify Complete!"));
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"blank"}), 1);
    EXPECT_TRUE(rig.err.contains("The chip is not empty."));
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"erase"}), 0);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"blank"}), 0);
}

// A filled chip reads the same for the same seed, and is mostly data.
TEST(CliOperations, FilledChipReadsTheSameTwice)
{
    CliRig rig;
    const auto fullRead = [&](const QString& name, const char* fill) {
        QFile::remove(rig.state);  // a new chip each time, not the kept one
        EXPECT_EQ(rig.run(kW25Q64 + QStringList{"--sim-fill", fill, "read", "--full", rig.dir.filePath(name)}), 0)
            << rig.err.toStdString();
        return rig.read(name);
    };
    const QByteArray first = fullRead("a.bin", "random:7");
    ASSERT_EQ(first.size(), 16384);
    EXPECT_EQ(fullRead("b.bin", "random:7"), first);
    EXPECT_NE(fullRead("c.bin", "random:8"), first);
    EXPECT_LT(first.count(char(0xFF)), first.size() / 2);
    // The trimmed read ends where the chip's erased tail starts.
    QFile::remove(rig.state);
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"--sim-fill", "random:7", "read", rig.dir.filePath("d.bin")}), 0);
    const QByteArray trimmed = rig.read("d.bin");
    EXPECT_LT(trimmed.size(), first.size());
    EXPECT_EQ(trimmed, first.left(trimmed.size()));
    EXPECT_EQ(first.mid(trimmed.size()), QByteArray(first.size() - trimmed.size(), char(0xFF)));
}

// A second program on a state file in use stops before it touches the chip.
TEST(CliOperations, StateFileHeldByAnotherProgramStopsTheRun)
{
    CliRig rig;
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"write", rig.file("in.bin", pattern(512))}), 0);
    const QByteArray kept = [&] {
        QFile f(rig.state);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    {
        StateFileLock other;
        ASSERT_TRUE(other.acquire(rig.state, nullptr));
        EXPECT_EQ(rig.run(kW25Q64 + QStringList{"--trace", "erase"}), 1);
        EXPECT_TRUE(rig.err.startsWith(QStringLiteral("The simulator's state file %1 is in use by another program").arg(rig.state)))
            << rig.err.toStdString();
        EXPECT_FALSE(rig.err.contains("> 01 ")) << "nothing was sent";
        QFile f(rig.state);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), kept) << "the holder's chip is as it was";
    }
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"verify", rig.file("in.bin", pattern(512))}), 0) << rig.err.toStdString();
}

TEST(CliOperations, EepromOfAChipThatHasOne)
{
    CliRig rig;
    const QStringList mega{"--chip", "AVR,ATMEL,MEGA"};
    const QByteArray data = pattern(100);
    ASSERT_EQ(rig.run(mega + QStringList{"write", rig.file("e.bin", data), "--eeprom"}), 0) << rig.err.toStdString();
    ASSERT_EQ(rig.run(mega + QStringList{"read", rig.dir.filePath("e2.bin"), "--eeprom"}), 0);
    EXPECT_EQ(rig.read("e2.bin"), data);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"read", rig.dir.filePath("e3.bin"), "--eeprom"}), 1);
    EXPECT_TRUE(rig.err.contains("no EEPROM"));
}

TEST(CliOperations, DetectPrintsTheChosenChip)
{
    CliRig rig;
    EXPECT_EQ(rig.run(QStringList{"--sim-chip", "SPI_FLASH,WINBOND,W25Q64", "detect"}), 0);
    EXPECT_EQ(rig.out, "model: W25Q64\ntype: SPI_FLASH\n");
    EXPECT_EQ(rig.run(QStringList{"--sim-empty", "detect"}), 1);
    EXPECT_TRUE(rig.err.contains("No chips detected, please put the chip to try again!"));
}

TEST(CliOperations, ChipIsChosenThroughTheListsByNameOrIdentifier)
{
    CliRig rig;
    ASSERT_EQ(rig.run(QStringList{"--chip-id", "0xEF4017", "write", rig.file("x.bin", pattern(12000))}), 0)
        << rig.err.toStdString();
    // The socket held the chosen 16 KiB chip: all 12000 bytes are there.
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"verify", rig.dir.filePath("x.bin")}), 0);
    EXPECT_EQ(rig.run(QStringList{"--chip-id", "0x123456", "blank"}), 2);
    EXPECT_EQ(rig.run(QStringList{"--chip", "SPI_FLASH,WINBOND,NONE", "blank"}), 2);
}

TEST(CliOperations, AutoWithSerialNumberPrintsTheNextValue)
{
    CliRig rig;
    const QString in = rig.file("img.bin", pattern(512));
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"auto", in, "--sn", "300", "--sn-addr", "100", "--erase",
                                            "--write-flash", "--verify"}),
              0)
        << rig.err.toStdString();
    EXPECT_EQ(rig.out, "next serial number: 301\n");
    EXPECT_TRUE(rig.err.contains("AUTO Complete!"));
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"read", rig.dir.filePath("back.bin")}), 0);
    EXPECT_EQ(rig.read("back.bin").mid(0x100, 4), QByteArray("\x2C\x01\x00\x00", 4));

    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"auto", in, "--sn", "7", "--sn-mode", "dec", "--write-flash"}), 0);
    EXPECT_EQ(rig.out, "next serial number: 6\n");
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"auto", in, "--sn-addr", "100"}), 2);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"auto", in, "--sn", "1", "--sn-addr", "12G4"}), 2);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"auto", in, "--write-eeprom", "--eeprom-file", in}), 1)
        << "the chip has no EEPROM";
}

TEST(CliOperations, AutoDeclinedSignatureFailsTheRun)
{
    CliRig rig;
    const QString in = rig.file("img.bin", pattern(256));
    // The socket holds the 8 KiB chip, the chosen one says another identifier.
    const QStringList words = kW25Q64 + QStringList{"--sim-chip", "SPI_FLASH,WINBOND,W25Q32", "auto", in, "--id",
                                                     "--write-flash"};
    EXPECT_EQ(rig.run(QStringList{"--no"} + words), 1);
    EXPECT_TRUE(rig.err.contains("Go on with the chip in the socket? no (--no)")) << rig.err.toStdString();
    // --yes is no answer to it: only --force goes on, past both checks.
    EXPECT_EQ(rig.run(QStringList{"--yes"} + words), 1);
    EXPECT_EQ(rig.run(QStringList{"--force"} + words), 0);
    EXPECT_EQ(rig.err.count("Go on with the chip in the socket? yes (--force)"), 1) << rig.err.toStdString();
    EXPECT_EQ(rig.err.count(QString::fromUtf8("不匹配,选择继续？ yes (--force)")), 1) << rig.err.toStdString();
}

// With no chip named, the chip in the socket is identified and named before
// anything else is sent; a chip that cannot be identified must be named.
TEST(CliOperations, ChipInTheSocketIsIdentifiedWhenNoneIsNamed)
{
    CliRig rig;
    const QByteArray image = pattern(16384);
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"write", rig.file("in.bin", image)}), 0) << rig.err.toStdString();
    const QStringList inSocket{"--sim-chip", "SPI_FLASH,WINBOND,W25Q64"};
    ASSERT_EQ(rig.run(inSocket + QStringList{"--trace", "read", rig.dir.filePath("out.bin")}), 0)
        << rig.err.toStdString();
    EXPECT_EQ(rig.read("out.bin"), image);  // the whole 16 KiB chip, not the first entry's 8 KiB
    EXPECT_TRUE(rig.err.contains("chip: WINBOND W25Q64 (0xEF4017)\n"));
    EXPECT_FALSE(rig.err.contains("The chip was detected:"));
    // Until the chip is named, only the probe's Setup, ReadId and Finish go out.
    const QString beforeChoice = rig.err.left(rig.err.indexOf("chip: "));
    for (const QString& line : beforeChoice.split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith("> 01 ")) {
            EXPECT_TRUE(line.startsWith("> 01 09") || line.startsWith("> 01 0B") || line.startsWith("> 01 0A"))
                << line.toStdString();
        }
    }

    struct Case {
        QStringList words;
        int status;
        const char* says;
    };
    for (const Case& c : {Case{{"--sim-empty", "blank"}, 1, "No chips detected"},
                          Case{{"--sim-chip", "EEPROM24,ATMEL,AT24C02", "erase"}, 2, "name it with --chip"}}) {
        EXPECT_EQ(rig.run(c.words), c.status) << c.says;
        EXPECT_TRUE(rig.err.contains(c.says)) << rig.err.toStdString();
    }
}

// A chip whose identifier differs from the chosen one's is touched only with
// --force; --yes still answers the questions about files.
TEST(CliOperations, IdentifierMismatchIsAnsweredOnlyByForce)
{
    CliRig rig;
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"write", rig.file("in.bin", pattern(4096))}), 0);
    const QStringList wrong{"--chip", "SPI_FLASH,WINBOND,W25Q32", "--sim-chip", "SPI_FLASH,WINBOND,W25Q64"};
    const QString question = "The chip in the socket (class 0, ID = 0xEF4017) is not the chosen chip WINBOND W25Q32 "
                             "(class 0, ID = 0xEF4016). Go on with the chip in the socket?";
    for (const QString command : {"erase", "write", "verify"}) {
        QStringList words = wrong + QStringList{"--yes", command};
        if (command != "erase")
            words << rig.dir.filePath("in.bin");
        EXPECT_EQ(rig.run(words), 1) << command.toStdString();
        EXPECT_TRUE(rig.err.contains(question + "\nOnly --force goes on with this chip.")) << rig.err.toStdString();
    }
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"verify", rig.dir.filePath("in.bin")}), 0) << "nothing was erased";
    EXPECT_EQ(rig.run(wrong + QStringList{"--force", "erase"}), 0);
    EXPECT_TRUE(rig.err.contains(question + " yes (--force)"));
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"blank"}), 0);

    // The file question is answered by --yes, and says so.
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"--yes", "read", rig.dir.filePath("in.bin")}), 0);
    EXPECT_TRUE(rig.err.contains("File already exists. Is it covered?  yes (--yes)")) << rig.err.toStdString();
}

TEST(CliOperations, FailedTransferFailsTheCommandAndWritesNoFile)
{
    CliRig rig;
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"write", rig.file("in.bin", pattern(2048))}), 0);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"--sim-fault", "get@14", "read", rig.dir.filePath("o.bin")}), 1);
    EXPECT_TRUE(rig.err.contains("Communication with the programmer failed"));
    EXPECT_FALSE(QFile::exists(rig.dir.filePath("o.bin")));
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"--sim-fault", "unplug@1", "erase"}), 1);
    EXPECT_TRUE(rig.err.contains("Not connected"));
}

TEST(CliOperations, VerifyDiffListsRangesAndProtectionIsFoundAndCleared)
{
    CliRig rig;
    const QStringList sst{"--chip", "SPI_FLASH,SST,SST25VF016B"};
    const QByteArray image = pattern(4096);
    const QString in = rig.file("img.bin", image);
    // The chip starts locked: the write goes nowhere and its verify fails.
    ASSERT_EQ(rig.run(sst + QStringList{"--sim-protect", "auto", in, "--erase", "--write-flash", "--verify"}), 1);
    EXPECT_TRUE(rig.err.contains("Flash check error address:0h"));
    // The lock is the chip's: the next run without the option still finds it.
    EXPECT_EQ(rig.run(sst + QStringList{"verify", in, "--diff"}), 1);
    // Every byte but the data's own 0xFF ones (118, 374, ...) stayed erased.
    EXPECT_TRUE(rig.out.startsWith("0000h-0075h: 118 bytes, expected 01 0E 1B 28 35 42 4F 5C ..., found FF FF FF FF "
                                   "FF FF FF FF ...\n0077h-0175h: 255 bytes"))
        << rig.out.toStdString();
    EXPECT_TRUE(rig.out.endsWith("The chip may be write-protected: run Unprotect, then write again.\n"));

    ASSERT_EQ(rig.run(sst + QStringList{"unprotect"}), 0) << rig.err.toStdString();
    EXPECT_TRUE(rig.err.contains("Unprotect Complete!"));
    ASSERT_EQ(rig.run(sst + QStringList{"auto", in, "--erase", "--write-flash", "--verify"}), 0);
    EXPECT_EQ(rig.run(sst + QStringList{"verify", "--diff", in}), 0);
    EXPECT_EQ(rig.out, "The chip and the buffer are equal.\n");

    // A few wrong bytes: each range, and the plain verify keeps its one message.
    QByteArray wrong = image;
    wrong[0x10] = char(0x00);
    wrong[0x800] = char(0xFF);
    const QString other = rig.file("other.bin", wrong);
    EXPECT_EQ(rig.run(sst + QStringList{"verify", other, "--diff"}), 1);
    EXPECT_EQ(rig.out, "0010h: 1 byte, expected 00, found D1\n0800h: 1 byte, expected FF, found 01\n"
                       "Differing bytes: 2, ranges: 2.\nBits differ both ways (mixed): wrong data or a failing chip.\n");
    EXPECT_EQ(rig.run(sst + QStringList{"verify", other}), 1);
    EXPECT_TRUE(rig.err.contains("Flash check error address:10h"));
    EXPECT_TRUE(rig.out.isEmpty());

    EXPECT_EQ(rig.run(QStringList{"--chip", "AVR,ATMEL,MEGA", "unprotect"}), 1);
    EXPECT_TRUE(rig.err.contains("Only SPI flash chips can be unprotected."));
    EXPECT_EQ(rig.run(sst + QStringList{"unprotect", "now"}), 2);
}

TEST(CliOperations, AutoAppendsToTheProductionLogWithUnprotectFirst)
{
    CliRig rig;
    const QString log = rig.dir.filePath("log.csv");
    const QString in = rig.file("img.bin", pattern(512));
    const QStringList words = kW25Q64 + QStringList{"--production-log", log, "--sim-protect", "auto", in};
    ASSERT_EQ(rig.run(words + QStringList{"--unprotect", "--erase", "--write-flash", "--verify", "--sn", "5"}), 0)
        << rig.err.toStdString();
    ASSERT_EQ(rig.run(words + QStringList{"--write-flash", "--verify"}), 1);
    const QStringList rows = QString::fromUtf8(rig.read("log.csv")).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[1].contains(",WINBOND,W25Q64,0xEF4017,5,Unprotect + Write SN + Erase + Program + Verify,ok,"))
        << rows[1].toStdString();
    EXPECT_TRUE(rows[2].contains(",,Program + Verify,failed: Verify,")) << rows[2].toStdString();
    EXPECT_EQ(rig.run(QStringList{"--production-log"}), 2);
}

// Every exit 0 is true of the chip: a write reads back what it wrote, an
// erase checks that it took, a verify never passes data the chip cannot
// hold, and a chip not chosen is left as it was. One chip, kept from run
// to run, in the order of the table.
TEST(CliOperations, AChipThatDidNotTakeTheDataIsNoSuccess)
{
    CliRig rig;
    const QString a = rig.file("a.bin", pattern(4096));
    QByteArray other = pattern(4096);
    other[0] = char(other[0] ^ 0x80);
    const QString b = rig.file("b.bin", other);
    const QString big = rig.file("big.bin", pattern(20000));
    const QStringList mega{"--chip", "AVR,ATMEL,MEGA"};
    const QStringList eeprom24{"--chip", "EEPROM24,ATMEL,AT24C02"};
    struct Case {
        QStringList words;
        int status;
        QString says;  // on stderr, or stdout after "out:"
        QString never = {};
    };
    const QList<Case> cases = {
        {kW25Q64 + QStringList{"write", a}, 0, "Verify Complete!"},
        {kW25Q64 + QStringList{"write", b}, 1,
         "Flash check error address:0h\nDiffering bytes: 1, ranges: 1.\n"
         "Bits are 0 on the chip where the data has 1: not erased before writing.\n",
         "Write Complete!"},
        {kW25Q64 + QStringList{"write", "--no-verify", b}, 0, "Write Complete!", "Verify Complete!"},
        {kW25Q64 + QStringList{"write", "--erase", b}, 0, "Verify Complete!"},
        {kW25Q64 + QStringList{"verify", big}, 1,
         "The data (20000 bytes) are larger than the chip (16384 bytes): the chip cannot hold them all."},
        {kW25Q64 + QStringList{"verify", "--diff", big}, 1, "larger than the chip", "equal"},
        // A chip not chosen: no command reads it or changes it.
        {mega + QStringList{"--sim-chip", "SPI_FLASH,WINBOND,W25Q64", "erase"}, 1, "Only --force goes on"},
        {eeprom24 + QStringList{"--sim-chip", "SPI_FLASH,WINBOND,W25Q64", "--yes", "write", a}, 1,
         "Only --force goes on"},
        {kW25Q64 + QStringList{"verify", b}, 0, "Verify Complete!"},
        // Locked: neither the erase nor the write took.
        {kW25Q64 + QStringList{"--sim-protect", "erase"}, 1,
         "The chip is not blank after the erase (address 0h holds 81): the erase did not take.\n"
         "The chip may be write-protected: run Unprotect, then erase again.\n",
         "Erase Complete!"},
        {kW25Q64 + QStringList{"--sim-protect", "write", "--erase", a}, 1, "run Unprotect, then erase again"},
        {kW25Q64 + QStringList{"verify", b}, 0, "Verify Complete!"},
        {kW25Q64 + QStringList{"unprotect"}, 0,
         "Unprotect writes 0 to the chip's status register, which clears every bit of it: the block protection "
         "(BP0-BP3, and TB, SEC, CMP where the chip has them), the register's own protection (SRP) and the Quad "
         "Enable bit (QE) where the chip keeps it there."},
        {kW25Q64 + QStringList{"erase"}, 0, "Erase Complete!"},
        {kW25Q64 + QStringList{"blank"}, 0, "Bank Complete!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words.join(' ').toStdString());
        EXPECT_EQ(rig.run(c.words), c.status) << rig.err.toStdString();
        EXPECT_TRUE(rig.err.contains(c.says)) << rig.err.toStdString();
        if (!c.never.isEmpty()) {
            EXPECT_FALSE((rig.err + rig.out).contains(c.never)) << rig.err.toStdString();
        }
    }
}

// The production log's row: the run's final outcome, one row per run, and
// a log that cannot be written leaves the chip untouched.
TEST(CliOperations, ProductionLogRowIsTheRunsOutcome)
{
    CliRig rig;
    const QString log = rig.dir.filePath("log.csv");
    const QString in = rig.file("img.bin", pattern(512));
    const QStringList words = kW25Q64 + QStringList{"--production-log", log, "auto", in, "--write-flash"};
    ASSERT_EQ(rig.run(words + QStringList{"--sn", "7", "--trace"}), 0) << rig.err.toStdString();
    const int reports = int(rig.err.split('\n').filter(QRegularExpression("^[<>] ")).size());
    // The programmer lost at the closing report: written, but no success.
    EXPECT_EQ(rig.run(words + QStringList{"--sn", "8", "--sim-fault", QString("unplug@%1").arg(reports - 1)}), 1);
    EXPECT_TRUE(rig.err.contains("AUTO stopped at: Finish"));
    const QStringList rows = QString::fromUtf8(rig.read("log.csv")).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[1].contains(",7,Write SN + Program,ok,")) << rows[1].toStdString();
    EXPECT_TRUE(rows[2].contains(",8,Write SN + Program,failed: Finish,")) << rows[2].toStdString();
    // Another language: the same keywords, its own text in the last column.
    ASSERT_EQ(rig.run(words + QStringList{"--lang", "zh_CN", "--sn", "9"}), 0);
    const QString chinese = QString::fromUtf8(rig.read("log.csv")).split("\r\n", Qt::SkipEmptyParts).value(3);
    EXPECT_TRUE(chinese.contains(",9,Write SN + Program,ok,")) << chinese.toStdString();
    EXPECT_TRUE(chinese.endsWith(QString::fromUtf8(",写入 SN + 编程: 通过"))) << chinese.toStdString();

    // A pipe as the log (a logger, tee): the row goes through, and a pipe
    // has no disk to sync it to, which is no failure.
    const QString fifo = rig.dir.filePath("log.pipe");
    FifoReader reader(fifo);
    ASSERT_TRUE(reader.created());
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"--production-log", fifo, "auto", in, "--write-flash"}), 0)
        << rig.err.toStdString();
    EXPECT_TRUE(reader.received().contains(",Program,ok,")) << reader.received().toStdString();

    const QByteArray chipBefore = rig.read("chip.sim");
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"--production-log", rig.dir.path(), "auto", in, "--erase"}), 1);
    EXPECT_TRUE(rig.err.contains("The production log could not be written: " + rig.dir.path() + "\nIs a directory"));
    EXPECT_EQ(rig.read("chip.sim"), chipBefore) << "not erased";
}

TEST(CliOperations, ProgressBarOnlyOnATerminal)
{
    CliRig rig;
    const QString in = rig.file("in.bin", pattern(16384));
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"write", in}, false), 0);
    EXPECT_FALSE(rig.err.contains(QLatin1Char('\r')));
    EXPECT_FALSE(rig.err.contains("KiB/s"));
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"verify", in}, true), 0);
    EXPECT_TRUE(rig.err.contains("\rVerify Flash ... ["));
    EXPECT_TRUE(rig.err.contains(QRegularExpression("\\] +[0-9]+%")));
    EXPECT_TRUE(rig.err.contains("\r\033[K"));  // the bar is wiped before the log line
}

// "-" is standard input for IN and standard output for OUT; --full saves the
// whole memory; --format names the format whatever the extension.
TEST(CliOperations, StandardStreamsFullReadAndFormat)
{
    CliRig rig;
    const QByteArray image = pattern(5000);
    ASSERT_EQ(rig.runWithData(kW25Q64 + QStringList{"write", "-"}, image), 0) << rig.err.toStdString();
    EXPECT_TRUE(rig.err.contains("Open -")) << rig.err.toStdString();
    ASSERT_EQ(rig.runWithData(kW25Q64 + QStringList{"read", "-"}), 0) << rig.err.toStdString();
    EXPECT_EQ(rig.data, image);
    EXPECT_TRUE(rig.out.isEmpty()) << "the log stays on stderr";
    ASSERT_EQ(rig.runWithData(kW25Q64 + QStringList{"read", "--full", "-"}), 0);
    EXPECT_EQ(rig.data, image + QByteArray(16384 - image.size(), char(0xFF)));
    ASSERT_EQ(rig.runWithData(kW25Q64 + QStringList{"read", "--format", "srec", rig.dir.filePath("img.bin")}), 0);
    EXPECT_TRUE(rig.read("img.bin").startsWith("S00600004844521B\r\nS1")) << "S-records whatever the extension";
    // Intel HEX on standard input is known by its first character.
    ASSERT_EQ(rig.runWithData(kW25Q64 + QStringList{"read", "--format", "hex", "-"}), 0);
    const QByteArray hex = rig.data;
    EXPECT_TRUE(hex.startsWith(":"));
    EXPECT_EQ(rig.runWithData(kW25Q64 + QStringList{"verify", "-"}, hex), 0) << rig.err.toStdString();
    EXPECT_EQ(rig.runWithData(kW25Q64 + QStringList{"verify", "--format", "bin", "-"}, hex), 1)
        << "the same text read as raw bytes differs";

    // A pipe hands its bytes out a part at a time: every part is taken, and
    // its content is judged on as much as a file would show.
    rig.pipeChunk = 3000;
    for (const QStringList& write : {QStringList{"write", "--erase", "-"}, QStringList{"write", "--preserve", "-"}}) {
        const QByteArray piped = randomBytes(6000, quint32(write.join(QString()).size()));
        ASSERT_EQ(rig.runWithData(kW25Q64 + QStringList{"--yes", "--format", "bin"} + write, piped), 0)
            << rig.err.toStdString();
        EXPECT_EQ(rig.chipFlash(kW25Q64Entry).left(piped.size()), piped) << write.join(' ').toStdString();
    }
    rig.pipeChunk = 0;
    ASSERT_EQ(rig.runWithData(kW25Q64 + QStringList{"read", "--format", "hex", "-"}), 0);
    const QByteArray chipHex = rig.data;
    rig.pipeChunk = 5;
    EXPECT_EQ(rig.runWithData(kW25Q64 + QStringList{"verify", "-"}, chipHex), 0) << rig.err.toStdString();
    EXPECT_TRUE(rig.err.contains("-: read by its content as Intel HEX")) << rig.err.toStdString();
}

// A name that fits several chips lists them and asks for one.
TEST(CliOperations, AmbiguousChipNameListsTheCandidates)
{
    CliRig rig;
    ChipTable table;
    fillTable(table, {makeChip({.key = "SPI_FLASH,WINBOND,X25", .id = 0xEF4016, .flash = 8192, .page = 256}),
                      makeChip({.key = "SPI_FLASH,OTHER,X25", .id = 0xC84016, .flash = 8192, .page = 256})});
    table.saveFile(rig.db, 2);
    EXPECT_EQ(rig.run(QStringList{"--chip", "x25", "blank"}), 2);
    EXPECT_TRUE(rig.err.contains("The name \"x25\" fits several chips; name one of them with --chip:\n"
                                 "  SPI_FLASH,WINBOND,X25\n  SPI_FLASH,OTHER,X25\n"))
        << rig.err.toStdString();
    EXPECT_EQ(rig.run(QStringList{"--chip", "other x25", "blank"}), 0) << rig.err.toStdString();
}

// Ctrl+C: the job stops at its next report, Finish still goes out, a read
// leaves no file and the exit status is 130.
TEST(CliOperations, StopBetweenTwoReports)
{
    CliRig rig;
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"write", rig.file("in.bin", pattern(4096))}), 0);
    const volatile std::sig_atomic_t stop = 1;
    const QString out = rig.dir.filePath("out.bin");
    EXPECT_EQ(rig.runWithData(kW25Q64 + QStringList{"--trace", "read", out}, {}, &stop), 130);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(rig.err.count("Stopped by the user."), 1) << rig.err.toStdString();
    const QStringList sent = rig.err.split('\n').filter(QRegularExpression("^> 01 "));
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_TRUE(sent.last().startsWith("> 01 0A ")) << "the last command is Finish";
    EXPECT_EQ(rig.runWithData(kW25Q64 + QStringList{"write", rig.dir.filePath("in.bin")}, {}, &stop), 130);
    EXPECT_TRUE(rig.err.contains("only partly programmed")) << rig.err.toStdString();
    EXPECT_FALSE(rig.err.contains("Write Complete!"));
}

// --progress=plain: a line per whole percent; a job of unknown length shows
// its time and a spinner, never a rate; -q leaves the errors; --log keeps
// every line with its date.
TEST(CliOperations, ProgressStylesQuietAndLogFile)
{
    CliRig rig;
    const QString in = rig.file("in.bin", pattern(16384));
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"--progress=plain", "write", in}), 0);
    QStringList plain = rig.err.split('\n').filter(QRegularExpression("^Write Flash \\.\\.\\. [0-9]+%$"));
    EXPECT_GE(plain.size(), 50) << rig.err.toStdString();
    EXPECT_EQ(plain.removeDuplicates(), 0);
    EXPECT_FALSE(rig.err.contains('\r'));

    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"--sim-latency", "10", "verify", in}, true), 0);
    EXPECT_TRUE(rig.err.contains(QRegularExpression("\\] +[0-9]+% [0-9.]+ [KM]?i?B/s, [0-9:]+ left")))
        << rig.err.toStdString();
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"--progress", "bar", "--sim-latency", "5", "erase"}), 0);
    EXPECT_TRUE(rig.err.contains(QRegularExpression("\rErase Flash \\.\\.\\. [|/\\\\-] 0:[0-9]{2} elapsed")))
        << rig.err.toStdString();
    EXPECT_FALSE(rig.err.contains("/s")) << "an erase has no rate";

    const QString log = rig.dir.filePath("run.log");
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"-q", "--log", log, "write", in}), 0);
    EXPECT_TRUE(rig.err.isEmpty()) << rig.err.toStdString();
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"-q", "--log", log, "verify", rig.file("x.bin", pattern(100))}), 1);
    EXPECT_EQ(rig.err, "Flash check error address:63h\n") << "the last byte differs";
    const QStringList lines = QString::fromUtf8(rig.read("run.log")).split('\n', Qt::SkipEmptyParts);
    const QRegularExpression dated("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d ");
    ASSERT_GE(lines.size(), 4);
    for (const QString& line : lines)
        EXPECT_TRUE(dated.match(line).hasMatch()) << line.toStdString();
    EXPECT_TRUE(lines.filter("Write Complete!").size() == 1);
    EXPECT_TRUE(lines.filter("error: Flash check error address:63h").size() == 1);

    // A name of an own stream that leads to a file ("--log /dev/stderr
    // 2>>file") appends to that file too.
    QFile held(rig.dir.filePath("run.log"));
    ASSERT_TRUE(held.open(QIODevice::ReadWrite | QIODevice::Append));
    const QString viaStream = QStringLiteral("/proc/self/fd/%1").arg(held.handle());
    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"-q", "--log", viaStream, "write", in}), 0);
    const QStringList after = QString::fromUtf8(rig.read("run.log")).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(after.mid(0, lines.size()), lines);
    EXPECT_EQ(after.filter("Write Complete!").size(), 2);
}

// write --preserve: the chip keeps every byte the file does not cover; the
// chip's contents as read are saved first; a file past the chip's end is
// refused before anything is sent.
TEST(CliOperations, WritePreserveKeepsEveryByteTheFileDoesNotCover)
{
    CliRig rig;
    const QByteArray before = randomBytes(16384, 21);
    const QByteArray part = pattern(1024);
    // A gap at 2004h-200Fh keeps the chip's bytes; an FF in the data is written as data.
    const QString gaps = rig.file("gaps.hex", hexRecord(0x2000, QByteArray::fromHex("DEADBEEF"))
                                                  + hexRecord(0x2010, QByteArray::fromHex("FF00"))
                                                  + ":00000001FF\r\n");
    const QString raw = rig.file("part.bin", part);
    const QString backup = rig.dir.filePath("before.bin");
    struct Case {
        const char* what;
        QStringList words;
        QList<std::pair<int, QByteArray>> laid;  // what the chip holds over `before`; none: refused
        QString says;
    };
    const QList<Case> cases = {
        {"raw at an address", {"--at", "0x1000", raw}, {{0x1000, part}},
         "The file covers 1000h-13FFh; every other byte stays as the chip held it."},
        {"raw at 0 by default", {raw}, {{0, part}}, "The file covers 0h-3FFh"},
        {"HEX by its own addresses", {gaps},
         {{0x2000, QByteArray::fromHex("DEADBEEF")}, {0x2010, QByteArray::fromHex("FF00")}},
         "The file covers 2000h-2011h"},
        {"HEX addresses from --at", {"--at", "256", gaps},
         {{0x2100, QByteArray::fromHex("DEADBEEF")}, {0x2110, QByteArray::fromHex("FF00")}},
         "The file covers 2100h-2111h"},
        {"raw past the end", {"--at", "0x3E00", raw}, {},
         "The file (3E00h-41FFh) runs past the chip's end (16384 bytes): nothing was sent."},
        {"address past the end", {"--at", "0x4000", raw}, {}, "runs past the chip's end"},
        {"no data", {rig.file("empty.hex", ":00000001FF\r\n")}, {}, "The file holds no data: nothing was sent."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.seed(kW25Q64Entry, before);
        QFile::remove(backup);
        const int status =
            rig.run(kW25Q64 + QStringList{"--yes", "--trace", "write", "--preserve", "--backup", backup} + c.words);
        EXPECT_TRUE(rig.err.contains(c.says)) << rig.err.toStdString();
        if (c.laid.isEmpty()) {
            EXPECT_EQ(status, 1);
            EXPECT_FALSE(rig.err.contains("> 01 ")) << "nothing sent";
            EXPECT_EQ(rig.chipFlash(kW25Q64Entry), before);
            continue;
        }
        EXPECT_EQ(status, 0) << rig.err.toStdString();
        EXPECT_EQ(rig.chipFlash(kW25Q64Entry), laidOver(before, c.laid));
        EXPECT_EQ(rig.read("before.bin"), before) << "the chip's contents as read";
        // Step by step, in this order.
        qsizetype at = 0;
        for (const QString& step : {QString("Read Complete!"),
                                    "The chip's contents as read (the whole chip, raw) are saved in " + backup,
                                    c.says, QString("Erase Complete!"), QString("Write Complete!"),
                                    QString("Verify Complete!")}) {
            at = rig.err.indexOf(step, at);
            EXPECT_GE(at, 0) << step.toStdString();
        }
    }

    // Without --backup the copy goes into the current folder and is removed once the image verified.
    const QString folder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(rig.dir.path()));
    rig.seed(kW25Q64Entry, before);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"write", "--preserve", raw}), 0) << rig.err.toStdString();
    QDir::setCurrent(folder);
    const QRegularExpressionMatch removed = QRegularExpression("Removed (.*W25Q64-before-write-[0-9-]+\\.bin): the "
                                                               "chip holds the new image, verified.")
                                                .match(rig.err);
    ASSERT_TRUE(removed.hasMatch()) << rig.err.toStdString();
    EXPECT_FALSE(QFile::exists(removed.captured(1)));
    EXPECT_EQ(rig.chipFlash(kW25Q64Entry), laidOver(before, {{0, part}}));
}

// A round that fails on the way says what the chip holds now and where its
// earlier contents are; the copy is kept.
TEST(CliOperations, WritePreserveFailureNamesWhatTheChipHolds)
{
    CliRig rig;
    const QByteArray before = randomBytes(16384, 5);
    const QByteArray part = pattern(4096);
    const QString raw = rig.file("part.bin", part);
    const QString backup = rig.dir.filePath("before.bin");
    const QStringList words = kW25Q64 + QStringList{"--yes", "write", "--preserve", "--at", "0x2000", "--backup", backup, raw};
    rig.seed(kW25Q64Entry, before);
    ASSERT_EQ(rig.run(QStringList{"--trace"} + words), 0) << rig.err.toStdString();
    const int reports = int(rig.err.split('\n').filter(QRegularExpression("^[<>] ")).size());
    // From the end: Finish and its reply, the verify's 64 blocks after its stream's command and reply, then
    // the write's 64 blocks: the 40th of those fails.
    const int fortiethWriteBlock = reports - 2 - 66 - 64 + 40;
    const QString restore = "Its contents from before are in " + backup
                            + ": erase and write that file back to restore them.";
    struct Case {
        const char* what;
        QStringList faults;
        QString says;
        bool unchanged;  // else erased, and written below 2700h
    };
    const QList<Case> cases = {
        {"link lost in the read", {"--sim-fault", "get@20"}, "The chip is as it was.", true},
        {"protected: the erase does not take", {"--sim-protect"},
         "The chip may now be erased in part or in whole.\n" + restore, true},
        {"link lost in the write", {"--sim-fault", QString("set@%1").arg(fortiethWriteBlock)},
         "The chip holds the new image below 2700h and may hold erased bytes (FF) from 2700h on.\n" + restore, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.seed(kW25Q64Entry, before);
        QFile::remove(backup);
        EXPECT_EQ(rig.run(c.faults + words), 1);
        EXPECT_TRUE(rig.err.contains(c.says)) << rig.err.toStdString();
        EXPECT_FALSE(rig.err.contains("Verify Complete!"));
        const QByteArray chip = rig.chipFlash(kW25Q64Entry);
        if (c.unchanged) {
            EXPECT_EQ(chip, before);
        } else {
            EXPECT_EQ(chip.left(0x2000), before.left(0x2000)) << "the new image below the write's end";
            EXPECT_EQ(chip.mid(0x2000, 0x700), part.left(0x700));
            EXPECT_EQ(chip.mid(0x2700), QByteArray(16384 - 0x2700, char(0xFF)));
        }
        if (c.says.contains(restore)) {
            EXPECT_EQ(rig.read("before.bin"), before) << "kept";
        }
    }
}

// Results for scripts: one JSON document on stdout, whatever the language.
TEST(CliOperations, JsonResultsOfVerifyBlankAndRead)
{
    CliRig rig;
    QByteArray chip = randomBytes(16384, 7);
    chip.replace(0, 0x123, QByteArray(0x123, char(0xFF)));
    chip[0x123] = 0x00;
    chip[0x2000] = char(0x0F);
    chip[0x2001] = char(0xF0);
    rig.seed(kW25Q64Entry, chip);
    // One bit the data want 0 stayed 1, one they want 1 is 0: mixed.
    QByteArray flipped = chip;
    flipped[0x2000] = char(0x0E);
    flipped[0x2001] = char(0xF1);
    const QString same = rig.file("same.bin", chip);
    const QString other = rig.file("flipped.bin", flipped);
    const auto json = [&] {
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(rig.out.toUtf8(), &error).object();
        EXPECT_EQ(error.error, QJsonParseError::NoError) << rig.out.toStdString();
        return object;
    };

    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"--lang", "0", "verify", "--diff", "--json", other}), 1);
    QJsonObject result = json();
    EXPECT_FALSE(result["equal"].toBool(true));
    EXPECT_EQ(result["bytes"].toInteger(), 2);
    EXPECT_EQ(result["range_count"].toInteger(), 1);
    const QJsonArray ranges = result["ranges"].toArray();
    ASSERT_EQ(ranges.size(), 1);
    EXPECT_EQ(ranges[0].toObject()["start"].toInteger(), 0x2000);
    EXPECT_EQ(ranges[0].toObject()["end"].toInteger(), 0x2001);
    EXPECT_EQ(ranges[0].toObject()["bytes"].toInteger(), 2);
    EXPECT_EQ(result["diagnosis"].toString(), "mixed");
    EXPECT_EQ(result["chip"].toObject()["model"].toString(), "W25Q64");

    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"verify", "--json", same}), 0);
    result = json();
    EXPECT_TRUE(result["equal"].toBool());
    EXPECT_TRUE(result["ranges"].toArray().isEmpty());
    EXPECT_TRUE(result["diagnosis"].isNull());
    EXPECT_EQ(result["compared"].toInteger(), 16384);

    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"blank", "--json"}), 1);
    result = json();
    EXPECT_FALSE(result["blank"].toBool(true));
    EXPECT_EQ(result["first_used"].toInteger(), 0x123);

    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"read", "--json", "--full", rig.dir.filePath("out.bin")}), 0);
    result = json();
    EXPECT_EQ(result["bytes"].toInteger(), 16384);
    EXPECT_EQ(result["saved"].toInteger(), 16384);
    EXPECT_EQ(result["crc32"].toInteger(), qint64(crc32Of(reinterpret_cast<const uint8_t*>(chip.constData()), 16384)));
    EXPECT_EQ(result["crc32_hex"].toString(),
              QString::asprintf("0x%08X", crc32Of(reinterpret_cast<const uint8_t*>(chip.constData()), 16384)));
    EXPECT_EQ(result["path"].toString(), rig.dir.filePath("out.bin"));
    EXPECT_EQ(result["chip"].toObject()["id_hex"].toString(), "0xEF4017");
    EXPECT_EQ(rig.read("out.bin"), chip);

    ASSERT_EQ(rig.run(kW25Q64 + QStringList{"erase"}), 0);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"blank", "--json"}), 0);
    result = json();
    EXPECT_TRUE(result["blank"].toBool());
    EXPECT_TRUE(result["first_used"].isNull());
}

// read --check: reads that agree save OUT; reads that differ save nothing,
// say where and point at the clip or socket.
TEST(CliOperations, ReadCheckSavesOnlyReadsThatAgree)
{
    CliRig rig;
    const QByteArray chip = randomBytes(16384, 11);
    rig.seed(kW25Q64Entry, chip);
    const QString out = rig.dir.filePath("out.bin");
    struct Case {
        QStringList words;
        int status;
        QStringList says;  // on stderr
    };
    const QString hint = "Check the clip or the socket: every pin must make firm contact";
    const QList<Case> cases = {
        {{"read", "--check", "--full", out}, 0, {"Read Complete!"}},
        {{"read", "--reads", "3", "--full", out}, 0, {"Read Complete!"}},
        {{"--sim-unstable", "0x1234", "read", "--check", out}, 1,
         {"The 2 reads of the chip differ; nothing was kept:", "1234h: 1 byte, expected", "Differing bytes: 1, ranges: 1.",
          hint}},
        {{"--sim-unstable", "0x1234", "--sim-unstable", "0x3FFF", "read", "--reads", "5", out}, 1,
         {"The 5 reads of the chip differ", "1234h: 1 byte", "3FFFh: 1 byte", "Differing bytes: 2, ranges: 2."}},
        {{"--sim-unstable", "0x1234", "read", "--check", "-"}, 1, {"1234h: 1 byte"}},
        {{"--sim-unstable", "0x1234", "read", out}, 0, {"Read Complete!"}},  // one read cannot tell
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words.join(' ').toStdString());
        QFile::remove(out);
        EXPECT_EQ(rig.runWithData(kW25Q64 + c.words), c.status);
        for (const QString& line : c.says) {
            EXPECT_TRUE(rig.err.contains(line)) << rig.err.toStdString();
        }
        if (c.status == 0) {
            EXPECT_EQ(rig.read("out.bin"), chip);
        } else {
            EXPECT_FALSE(QFile::exists(out)) << "nothing saved";
            EXPECT_TRUE(rig.data.isEmpty()) << "nothing on standard output";
            EXPECT_FALSE(rig.err.contains("Read Complete!"));
        }
    }

    // For a script: where the reads differ.
    QFile::remove(out);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"--sim-unstable", "0x1234", "read", "--check", "--json", out}), 1);
    const QJsonObject unstable = QJsonDocument::fromJson(rig.out.toUtf8()).object();
    EXPECT_FALSE(unstable["stable"].toBool(true));
    EXPECT_EQ(unstable["reads"].toInt(), 2);
    EXPECT_EQ(unstable["unstable_bytes"].toInteger(), 1);
    ASSERT_EQ(unstable["ranges"].toArray().size(), 1);
    EXPECT_EQ(unstable["ranges"].toArray()[0].toObject()["start"].toInteger(), 0x1234);
    EXPECT_EQ(rig.run(kW25Q64 + QStringList{"read", "--check", "--json", "--yes", out}), 0);
    const QJsonObject stable = QJsonDocument::fromJson(rig.out.toUtf8()).object();
    EXPECT_TRUE(stable["stable"].toBool());
    EXPECT_EQ(stable["reads"].toInt(), 2);
}

} // namespace
