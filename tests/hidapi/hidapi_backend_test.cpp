// HidapiBackend, HidDevice, Programmer and the terminal front end over the
// stand-in hidapi, exactly as they run over the system's library: the
// programmer behind the stand-in is the simulated one, met report by report.

#include "StandInHidapi.h"

#include "app/SimulatorOptions.h"
#include "chipdb/ChipTable.h"
#include "cli/Cli.h"
#include "device/HidDevice.h"
#include "device/HidapiBackend.h"
#include "device/SimulatedProgrammer.h"
#include "support/DataFileKit.h"
#include "support/QtPrinting.h"

#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>

namespace {

using Fault = SimulatedProgrammer::Fault;
using Ids = std::pair<uint16_t, uint16_t>;

const Ids kProgrammerIds{kProgrammerVendorId, kProgrammerProductId};

// A machine with the programmer on USB among the HID devices people have.
struct Machine {
    SimulatedProgrammer programmer;
    Scratch files;
    QString out;
    QString err;

    explicit Machine(std::vector<standin::Interface> others = {}, int programmerOpenErrno = 0)
    {
        ChipTable table;
        table.loadFile(QStringLiteral(KTR_BINARY_DIR "/ktr4180.Dat"));
        QString error;
        const int w25q20 = simulatedChipIndex(table, QStringLiteral("SPI_FLASH,WINBOND,W25Q20CL"), error);
        if (w25q20 >= 0)
            programmer.insertChip(table[w25q20]);
        others.push_back(programmerInterface(programmerOpenErrno));
        standin::reset(std::move(others));
    }

    standin::Interface programmerInterface(int openErrno)
    {
        return {"/dev/hidraw7", kProgrammerVendorId, kProgrammerProductId, L"Quibex-USBProg", L"VedUDUVur", openErrno,
                &programmer};
    }

    // The terminal front end in-process, on the USB programmer (no --simulate).
    int cli(const QStringList& words)
    {
        out.clear();
        err.clear();
        QTextStream o(&out);
        QTextStream e(&err);
        const int status = runCli(QStringList{"--chip", "w25q20cl"} + words, QStringLiteral(KTR_BINARY_DIR), o, e, false);
        o.flush();
        e.flush();
        return status;
    }

};

// Whatever ran, every device and list the library handed out went back.
void expectEverythingReturned()
{
    EXPECT_EQ(standin::calls().openDevices, 0);
    EXPECT_EQ(standin::calls().openLists, 0);
    EXPECT_EQ(standin::calls().inits, standin::calls().exits);
}

TEST(StandInHidapi, WriteVerifyAndReadBackAWholeImage)
{
    Machine m;
    ASSERT_TRUE(m.programmer.hasChip());
    m.programmer.setRecording(true);
    const QByteArray image = patternBytes(3000);
    const QString in = m.files.write("in.bin", image);
    EXPECT_EQ(m.cli({"write", in}), 0) << m.err.toStdString();
    EXPECT_EQ(m.cli({"verify", in}), 0) << m.err.toStdString();
    EXPECT_EQ(m.cli({"read", m.files.path("out.bin")}), 0) << m.err.toStdString();
    EXPECT_EQ(m.files.read("out.bin"), image);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(m.programmer.flash().data()), image.size()), image);
    // Commands as 64-byte reports under number 1, the pages as 257-byte ones
    // under number 4, both ways, each whole.
    int pages = 0;
    for (const SimulatedProgrammer::Record& r : m.programmer.traffic()) {
        ASSERT_TRUE(r.ok);
        ASSERT_FALSE(r.bytes.empty());
        const bool command = r.bytes.size() == 64;
        EXPECT_TRUE(command || r.bytes.size() == 257) << r.bytes.size();
        if (r.toDevice) {
            EXPECT_EQ(r.bytes[0], command ? 0x01 : 0x04);
        }
        pages += command ? 0 : 1;
    }
    EXPECT_EQ(pages, 2 * 12 + 12 + 1024) << "written and read back, verified, then the whole chip read";
    expectEverythingReturned();
}

// A transfer that fails halfway: the command fails with the link's reason
// in its message and leaves no file behind.
TEST(StandInHidapi, FailedReportsNameTheirReason)
{
    const struct {
        const char* what;
        Fault fault;
        QStringList command;
        QString lastLines;
    } cases[] = {
        // Reports 1 to 6 are the probe, 7 to 10 Setup and the stream's opening
        // with their replies, 11 the first data report.
        {"short data report", {Fault::Kind::Short, 11}, {"read", "out.bin"},
         "Communication with the programmer failed; the operation was stopped.\n"
         "The programmer answered 128 of 257 bytes."},
        {"short command reply", {Fault::Kind::Short, 2}, {"read", "out.bin"},
         "Not connected\nThe programmer answered 32 of 64 bytes."},
        {"failed reply", {Fault::Kind::Get, 11}, {"read", "out.bin"},
         "Communication with the programmer failed; the operation was stopped.\n"
         "ioctl (GFEATURE): Broken pipe (simulated fault at report 11)"},
        {"failed write", {Fault::Kind::Set, 11}, {"write", "in.bin"},
         "Communication with the programmer failed; the operation was stopped.\n"
         "ioctl (SFEATURE): Broken pipe (simulated fault at report 11)"},
        {"unplugged", {Fault::Kind::Unplug, 12}, {"read", "out.bin"},
         "Communication with the programmer failed; the operation was stopped.\n"
         "ioctl (GFEATURE): No such device (the simulated programmer was unplugged at report 12)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Machine m;
        m.files.write("in.bin", patternBytes(1024));
        m.programmer.addFault(c.fault);
        QStringList words = c.command;
        words.last() = m.files.path(words.last());
        EXPECT_EQ(m.cli(words), 1);
        EXPECT_TRUE(m.err.trimmed().endsWith(c.lastLines)) << m.err.toStdString();
        EXPECT_FALSE(QFile::exists(m.files.path("out.bin")));
        // A short report is no error to hidapi: only its length tells.
        EXPECT_EQ(standin::calls().errors.empty(), c.fault.kind == Fault::Kind::Short);
        expectEverythingReturned();
    }
}

TEST(StandInHidapi, ShortReplyClosesTheLinkAndIsNoData)
{
    Machine m;
    HidapiBackend backend;
    HidDevice device(backend);
    ASSERT_EQ(device.openProgrammer(), kOpenOk);
    m.programmer.addFault({Fault::Kind::Short, 2});
    uint8_t request[64] = {0x01, 0x09};
    uint8_t reply[64];
    std::fill(std::begin(reply), std::end(reply), 0xAA);
    EXPECT_FALSE(device.exchange(request, reply));
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(device.lastFailure().got, 32);
    EXPECT_EQ(device.lastFailure().wanted, 64u);
    EXPECT_EQ(reply[32], 0xAA) << "nothing past what came was touched";
    EXPECT_EQ(standin::calls().openDevices, 0);
}

// The access-rights hint of the terminal: the programmer is listed, but the
// system refuses to open it.
TEST(StandInHidapi, ListedButNotOpenableGivesTheAccessHint)
{
    Machine m({}, EACCES);
    EXPECT_EQ(m.cli({"probe"}), 1);
    EXPECT_EQ(m.err.trimmed(),
              "Not connected\nThe programmer is plugged in but cannot be opened (/dev/hidraw7: Permission denied). "
              "Your user needs read and write access to it: install the udev rule 60-ktr4180.rules, then unplug "
              "and replug the programmer (see the README).");
    expectEverythingReturned();
}

// Keyboards, security keys and a UPS are never listed, let alone opened;
// an interface of another maker that reuses the ids is opened, read and let go.
TEST(StandInHidapi, OtherMakersDevicesAreLeftAlone)
{
    Machine m({
        {"/dev/hidraw0", 0x046D, 0xC31C, L"Logitech", L"USB Keyboard", 0, nullptr},
        {"/dev/hidraw1", 0x1050, 0x0407, L"Yubico", L"YubiKey OTP+FIDO+CCID", EACCES, nullptr},
        {"/dev/hidraw2", 0x051D, 0x0002, L"American Power Conversion", L"Back-UPS", EACCES, nullptr},
        {"/dev/hidraw3", kProgrammerVendorId, kProgrammerProductId, L"Someone Else", L"VedUDUVur", 0, nullptr},
    });
    EXPECT_EQ(m.cli({"probe"}), 0) << m.err.toStdString();
    EXPECT_TRUE(m.out.startsWith("class: 0\nid: 01 EF 40 12")) << m.out.toStdString();
    ASSERT_FALSE(standin::calls().enumerations.empty());
    for (const Ids& asked : standin::calls().enumerations)
        EXPECT_EQ(asked, kProgrammerIds);
    for (const std::string& path : standin::calls().opened)
        EXPECT_TRUE(path == "/dev/hidraw3" || path == "/dev/hidraw7") << path;
    EXPECT_TRUE(standin::calls().errors.empty());
    expectEverythingReturned();
}

} // namespace
