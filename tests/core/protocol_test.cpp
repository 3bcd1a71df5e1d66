#include "support/FakeHidBackend.h"
#include "support/SimulatedRig.h"
#include "support/TestChipEntry.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

using Bytes = std::vector<uint8_t>;
using Fault = SimulatedProgrammer::Fault;

// A 64-byte command report: zero except the listed offsets.
Bytes report(std::initializer_list<std::pair<int, int>> set)
{
    Bytes r(64, 0);
    for (const auto& [offset, value] : set)
        r[static_cast<std::size_t>(offset)] = static_cast<uint8_t>(value);
    return r;
}

const ChipEntry kW25Q64 = makeChip({.key = "SPI_FLASH,WINBOND,W25Q64", .id = 0xEF4017, .flash = 0x800000,
                                    .page = 256, .chipClass = 0, .subtype = 1, .eraseDelay = 0x1234,
                                    .voltage = 1});
const ChipEntry kAT24C02 = makeChip({.key = "24_EEPROM,ATMEL,AT24C02", .id = 0x1F0102, .flash = 256, .page = 8,
                                     .chipClass = 1, .eraseDelay = 10});
const ChipEntry kMega = makeChip({.key = "AVR,ATMEL,ATmega328P", .id = 0x1E950F, .flash = 32768, .page = 128,
                                  .chipClass = 7, .eraseDelay = 0x0102, .eeprom = 1024, .eepromPage = 4,
                                  .interfaceCode = 2, .voltage = 1});

TEST(SetupReport, CarriesTheChipRecordByteForByte)
{
    SimulatedRig rig;
    rig.use(kW25Q64);
    rig.programmer.setSpeedIndex(-1);

    EXPECT_EQ(rig.programmer.setupChip(), 1);
    EXPECT_TRUE(rig.programmer.linkOpen());
    EXPECT_TRUE(rig.programmer.jobRunning());
    EXPECT_TRUE(rig.ui.errors().isEmpty());

    const Bytes expected = report({{0, 0x01}, {1, 0x09}, {2, 0}, {3, 1}, {4, 0x01}, {5, 0x00}, {6, 0x12}, {7, 0x34},
                                   {8, 0x00}, {9, 0x80}, {10, 0x00}, {11, 0x00}, {12, 0x00}, {13, 0xEF},
                                   {14, 0x40}, {15, 0x17}, {18, 0xFF}, {19, 0x1E}, {20, 1}});
    ASSERT_EQ(rig.sent().size(), 1u);
    EXPECT_EQ(rig.sent()[0], expected);
    const auto built = rig.programmer.setupReport();
    EXPECT_EQ(Bytes(built.begin(), built.end()), expected);
}

TEST(SetupReport, SpeedPositionAndOtherClasses)
{
    SimulatedRig rig;
    rig.use(kMega);
    rig.programmer.setSpeedIndex(7);
    const auto r = rig.programmer.setupReport();
    EXPECT_EQ(r[2], 7);
    EXPECT_EQ(r[18], 7);
    EXPECT_EQ(r[20], 1);
    EXPECT_EQ(r[4], 0x00);
    EXPECT_EQ(r[5], 0x80);
    EXPECT_EQ(r[6], 0x01) << "Setup sends the erase delay big-endian";
    EXPECT_EQ(r[7], 0x02);
    EXPECT_EQ(r[12], 0x00);
    EXPECT_EQ(r[13], 0x1E);

    // A chip without an identifier, and no chip record at all.
    rig.use(makeChip({.key = "x,y,z", .id = -1}));
    const auto negative = rig.programmer.setupReport();
    EXPECT_EQ(Bytes(negative.begin() + 12, negative.begin() + 16), Bytes(4, 0xFF));
    rig.programmer.setChip(nullptr);
    const auto none = rig.programmer.setupReport();
    EXPECT_EQ(Bytes(none.begin(), none.end()), report({{0, 1}, {1, 9}, {18, 7}, {19, 0x1E}}));
}

TEST(SetupChip, EmptySocketAsksForAChipAndTheJobStillFinishes)
{
    SimulatedRig rig;
    rig.use(kW25Q64, /*inSocket=*/false);
    EXPECT_EQ(rig.programmer.setupChip(), 2);
    EXPECT_TRUE(rig.programmer.linkOpen());
    EXPECT_EQ(rig.ui.errors(), QStringList{"No chips detected, please put the chip to try again!"});
    rig.programmer.finishChip();
    EXPECT_EQ(rig.commandCodes(), (std::vector<int>{kCmdSetup, kCmdFinish}));
    EXPECT_FALSE(rig.programmer.linkOpen());
    EXPECT_FALSE(rig.programmer.jobRunning());
}

TEST(SetupChip, NoProgrammerMeansNotConnectedAndNoTraffic)
{
    SimulatedRig rig;
    rig.use(kW25Q64);
    rig.sim.setPlugged(false);
    rig.ui.language = 0;
    EXPECT_EQ(rig.programmer.setupChip(), 0);
    EXPECT_EQ(rig.ui.errors(), QStringList{QStringLiteral("编程器未接入")});
    EXPECT_TRUE(rig.sim.traffic().empty());
    EXPECT_FALSE(rig.programmer.linkOpen());
}

TEST(SetupChip, ReplyThatNeverCameIsNotAChip)
{
    const struct {
        Fault fault;
        const char* why;  // the link's reason, on the message's second line
    } cases[] = {
        {{Fault::Kind::Get, 2}, "Broken pipe (simulated fault at report 2)"},
        {{Fault::Kind::Set, 1}, "Broken pipe (simulated fault at report 1)"},
        {{Fault::Kind::Unplug, 2}, "No such device (the simulated programmer was unplugged at report 2)"},
        {{Fault::Kind::Short, 2}, "The programmer answered 32 of 64 bytes."},
    };
    for (const auto& [fault, why] : cases) {
        SCOPED_TRACE(fault.atReport);
        SimulatedRig rig;
        rig.use(kW25Q64);
        rig.sim.addFault(fault);
        EXPECT_EQ(rig.programmer.setupChip(), 0);
        EXPECT_EQ(rig.ui.errors(), QStringList{QStringLiteral("Not connected\n") + QLatin1String(why)});
        EXPECT_FALSE(rig.programmer.linkOpen());
        EXPECT_FALSE(rig.programmer.jobRunning());
        // A later command of the same job would go nowhere.
        EXPECT_FALSE(rig.programmer.openStream(0, kCmdOpenFlashStream));
        EXPECT_EQ(rig.sim.reportCount(), fault.atReport);
    }
}

TEST(FinishChip, SendsAndResetsTheCompletionIndicator)
{
    SimulatedRig rig;
    rig.use(kW25Q64);
    ASSERT_EQ(rig.programmer.setupChip(), 1);
    rig.programmer.setCompletionIndicator(2);
    rig.programmer.finishChip();
    EXPECT_EQ(rig.lastCommand(kCmdFinish), report({{0, 1}, {1, 0x0A}, {21, 2}}));
    EXPECT_EQ(rig.sim.lastCompletionIndicator(), 2);
    EXPECT_EQ(rig.programmer.completionIndicator(), 0);
    EXPECT_EQ(rig.ui.status, "Ready");
    EXPECT_FALSE(rig.programmer.linkOpen());

    // The next job finishes with 0 again, and in the chosen language.
    rig.ui.language = 1;
    ASSERT_EQ(rig.programmer.setupChip(), 1);
    rig.programmer.finishChip();
    EXPECT_EQ(rig.lastCommand(kCmdFinish)[21], 0);
    EXPECT_EQ(rig.ui.status, QStringLiteral("準備好"));
}

TEST(OpenStream, FieldsAndTheLittleEndianEraseDelay)
{
    SimulatedRig rig;
    rig.use(kMega);
    ASSERT_TRUE(rig.openLink());
    EXPECT_TRUE(rig.programmer.openStream(0x12345678, kCmdOpenFlashStream));
    EXPECT_EQ(rig.sent().back(), report({{0, 1}, {1, 0x07}, {4, 0x00}, {5, 0x80}, {6, 0x02}, {7, 0x01},
                                         {8, 0x12}, {9, 0x34}, {10, 0x56}, {11, 0x78}}));
    EXPECT_TRUE(rig.programmer.openStream(0, kCmdOpenEepromStream));
    EXPECT_EQ(rig.sent().back(), report({{0, 1}, {1, 0x08}, {4, 0x00}, {5, 0x04}, {6, 0x02}, {7, 0x01}}));

    // The open command names the page size itself, even below one block.
    rig.use(makeChip({.key = "a,b,c", .flash = 4096, .page = 32, .chipClass = 1, .eraseDelay = 5}));
    EXPECT_TRUE(rig.programmer.openStream(0, kCmdOpenFlashStream));
    EXPECT_EQ(rig.sent().back(), report({{0, 1}, {1, 0x07}, {5, 32}, {6, 5}}));
}

TEST(DataReports, BlockSizeAndReportNumberFollowThePage)
{
    struct Case {
        int page, block, reportId;
    };
    const Case cases[] = {{1, 64, 2},     {32, 64, 2},    {64, 64, 2},   {128, 128, 3}, {256, 256, 4},
                          {512, 512, 5},  {264, 264, 6},  {528, 528, 7}, {1024, 1024, 2}, {100, 100, 2},
                          {4096, 4096, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        EXPECT_EQ(streamBlockSize(c.page), c.block);
        EXPECT_EQ(blockReportId(streamBlockSize(c.page)), c.reportId);
    }
}

TEST(DataReports, ReadAndWriteReportsOnTheWire)
{
    FakeHidBackend hid;
    auto& p = hid.add("p", kProgrammerVendorId, kProgrammerProductId, u"Quibex-USBProg", u"VedUDUVur");
    p.reply.resize(1025);
    for (std::size_t i = 0; i < p.reply.size(); ++i)
        p.reply[i] = static_cast<uint8_t>(i * 7);
    RecordingUi ui;
    HidDevice device(hid);
    Programmer programmer(device, ui);
    ASSERT_EQ(device.openProgrammer(), kOpenOk);

    Bytes data(1024, 0);
    ASSERT_TRUE(programmer.readBlock(blockReportId(1024), 1024, data.data()));
    ASSERT_EQ(hid.transfers.size(), 1u);
    EXPECT_FALSE(hid.transfers[0].set);
    EXPECT_EQ(hid.transfers[0].bytes.size(), 1025u);
    EXPECT_EQ(hid.transfers[0].bytes[0], 0x02);
    // Data starts at offset 0 of the reply; the last byte is not data.
    EXPECT_EQ(data, Bytes(p.reply.begin(), p.reply.begin() + 1024));

    Bytes page(528);
    for (std::size_t i = 0; i < page.size(); ++i)
        page[i] = static_cast<uint8_t>(0xFF - i);
    ASSERT_TRUE(programmer.writeBlock(blockReportId(528), 528, page.data()));
    ASSERT_EQ(hid.transfers.size(), 2u);
    const Bytes& sent = hid.transfers[1].bytes;
    EXPECT_TRUE(hid.transfers[1].set);
    ASSERT_EQ(sent.size(), 529u);
    EXPECT_EQ(sent[0], 0x07);
    EXPECT_EQ(Bytes(sent.begin() + 1, sent.end()), page);

    // A failed data report leaves the destination alone and the link open.
    p.getWorks = false;
    Bytes untouched(64, 0x33);
    EXPECT_FALSE(programmer.readBlock(2, 64, untouched.data()));
    EXPECT_EQ(untouched, Bytes(64, 0x33));
    EXPECT_TRUE(device.isOpen());
}

// What every probe report should be: the one report reused class after class.
Bytes probeReport(int code, int cls, int speed, int byte21)
{
    return report({{0, 1}, {1, code}, {2, cls}, {18, speed}, {21, byte21}});
}

TEST(ProbeChip, EmptySocketWalksAllFiveClasses)
{
    SimulatedRig rig;
    rig.programmer.setSpeedIndex(2);
    rig.programmer.setCompletionIndicator(2);
    uint8_t id[5] = {9, 9, 9, 9, 9};
    EXPECT_EQ(rig.programmer.probeChip(id), 0);

    std::vector<Bytes> expected;
    for (int cls = 0; cls < 5; ++cls) {
        const int carried = cls == 0 ? 0 : 2;  // byte 21 survives from the previous Finish
        expected.push_back(probeReport(kCmdSetup, cls, 2, carried));
        expected.push_back(probeReport(kCmdReadId, cls, 2, carried));
        expected.push_back(probeReport(kCmdFinish, cls, 2, 2));
    }
    EXPECT_EQ(rig.sent(), expected);
    EXPECT_EQ(rig.received().size(), 15u) << "every command report has its reply read";
    EXPECT_EQ(Bytes(id, id + 5), Bytes(5, 0)) << "the last ReadId reply is copied";
    EXPECT_FALSE(rig.programmer.linkOpen());
    EXPECT_EQ(rig.programmer.completionIndicator(), 2) << "the probe does not reset it";
    EXPECT_TRUE(rig.ui.events.empty()) << "the probe tells the user nothing";
}

TEST(ProbeChip, StopsAtTheAnsweringClass)
{
    SimulatedRig rig;
    rig.use(kAT24C02);
    rig.sim.setVariantFlag(0);
    uint8_t id[5] = {};
    EXPECT_EQ(rig.programmer.probeChip(id), 2);
    EXPECT_EQ(rig.commandCodes(), (std::vector<int>{kCmdSetup, kCmdReadId, kCmdFinish, kCmdSetup, kCmdReadId,
                                                    kCmdFinish}));
    EXPECT_EQ(Bytes(id, id + 5), (Bytes{2, 0x1F, 0x01, 0x02, 0}));
    EXPECT_FALSE(rig.programmer.linkOpen());

    SimulatedRig flash;
    flash.use(kW25Q64);
    EXPECT_EQ(flash.programmer.probeChip(id), 1);
    EXPECT_EQ(flash.commandCodes().size(), 3u);
    EXPECT_EQ(Bytes(id, id + 5), (Bytes{1, 0xEF, 0x40, 0x17, 1}));
}

// A reply naming another class is no answer from the class asked: the walk
// goes on until the class named is the one asked, or ends empty.
TEST(ProbeChip, AnotherClassesCodeIsNoAnswer)
{
    for (int code = 0; code <= 7; ++code) {
        SCOPED_TRACE(code);
        FakeHidBackend hid;
        FakeHidBackend::Interface& p =
            hid.add("p", kProgrammerVendorId, kProgrammerProductId, u"Quibex-USBProg", u"VedUDUVur");
        p.reply.assign(64, 0);
        p.reply[0] = uint8_t(code);
        RecordingUi ui;
        HidDevice device(hid);
        Programmer programmer(device, ui);
        uint8_t id[5] = {};
        const bool answers = code >= 1 && code <= 5;
        EXPECT_EQ(programmer.probeChip(id), answers ? code : 0);
        // Setup, ReadId and Finish per class tried, each with its reply.
        EXPECT_EQ(hid.transfers.size(), 6u * (answers ? code : 5));
    }
}

TEST(ProbeChip, SilentProgrammerIsNotAnEmptySocket)
{
    SimulatedRig unplugged;
    unplugged.sim.setPlugged(false);
    uint8_t id[5] = {};
    EXPECT_EQ(unplugged.programmer.probeChip(id), -1);
    EXPECT_TRUE(unplugged.sim.traffic().empty());

    // Report 2 is the first Setup's reply, 4 the first ReadId's: without the
    // guard either would read as class 0 answering.
    for (const Fault fault : {Fault{Fault::Kind::Set, 1}, Fault{Fault::Kind::Get, 2}, Fault{Fault::Kind::Get, 4},
                              Fault{Fault::Kind::Unplug, 3}, Fault{Fault::Kind::Short, 2}, Fault{Fault::Kind::Short, 4}}) {
        for (const bool withChip : {false, true}) {
            SCOPED_TRACE(testing::Message() << "report " << fault.atReport << (withChip ? " chip" : " empty"));
            SimulatedRig rig;
            if (withChip)
                rig.use(kAT24C02);
            rig.sim.addFault(fault);
            EXPECT_EQ(rig.programmer.probeChip(id), -1);
            EXPECT_FALSE(rig.programmer.linkOpen());
            EXPECT_EQ(rig.sim.reportCount(), fault.atReport) << "nothing more is sent after the failure";
        }
    }
}

TEST(ChipCommands, FuseLockSignatureAndRawReports)
{
    SimulatedRig rig;
    rig.use(kMega);
    ASSERT_TRUE(rig.openLink());

    uint8_t fuses[3] = {};
    EXPECT_TRUE(rig.programmer.readConfig(3, fuses));
    EXPECT_EQ(rig.sent().back(), report({{0, 1}, {1, 0x03}, {20, 3}}));
    EXPECT_EQ(Bytes(fuses, fuses + 3), (Bytes{0x62, 0xD9, 0xFF}));

    const uint8_t wanted[3] = {0xE2, 0xDE, 0xFD};
    EXPECT_TRUE(rig.programmer.writeFuses(wanted, 3));
    EXPECT_EQ(rig.sent().back(), report({{0, 1}, {1, 0x04}, {20, 3}, {21, 0xE2}, {22, 0xDE}, {23, 0xFD}}));
    EXPECT_EQ(rig.sim.fuses()[1], 0xDE);

    EXPECT_TRUE(rig.programmer.writeLock(0xFC));
    EXPECT_EQ(rig.sent().back(), report({{0, 1}, {1, 0x06}, {20, 1}, {21, 0xFC}}));
    uint8_t lock = 0;
    EXPECT_TRUE(rig.programmer.readConfig(1, &lock));
    EXPECT_EQ(rig.sent().back(), report({{0, 1}, {1, 0x03}, {20, 1}}));
    EXPECT_EQ(lock, 0xFC);

    uint8_t signature[6] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_TRUE(rig.programmer.readSignature(signature, 6));
    EXPECT_EQ(rig.sent().back(), report({{0, 1}, {1, 0x01}, {20, 3}}));
    EXPECT_EQ(Bytes(signature, signature + 3), (Bytes{0x1E, 0x95, 0x0F}));

    EXPECT_TRUE(rig.programmer.erase(0xBEEF));
    EXPECT_EQ(rig.sent().back(), report({{0, 1}, {1, 0x02}, {16, 0xBE}, {17, 0xEF}}));

    const uint8_t spi[4] = {0xDB, 0x00, 0x01, 0x00};
    EXPECT_TRUE(rig.programmer.sendRawSpi(spi, 4));
    EXPECT_EQ(rig.sent().back(), report({{0, 1}, {1, 0x0D}, {2, 0x02}, {3, 4}, {4, 0xDB}, {6, 0x01}}));
    // More bytes than a report holds are cut to what fits.
    const Bytes many(100, 0x06);
    EXPECT_TRUE(rig.programmer.sendRawSpi(many.data(), 100));
    EXPECT_EQ(rig.sent().back()[3], 60);
    EXPECT_EQ(rig.sent().back()[63], 0x06);

    bool busy = true;
    EXPECT_TRUE(rig.programmer.pollStatus(busy));
    EXPECT_EQ(rig.sent().back(), report({{0, 1}, {1, 0x0C}}));
    EXPECT_FALSE(busy);
}

TEST(ChipCommands, AFailedExchangeSilencesTheRestOfTheJob)
{
    SimulatedRig rig;
    rig.use(kW25Q64);
    ASSERT_EQ(rig.programmer.setupChip(), 1);
    // Report 3 is the next command, 4 its reply.
    rig.sim.addFault({Fault::Kind::Get, 4});
    bool busy = true;
    EXPECT_FALSE(rig.programmer.pollStatus(busy));
    EXPECT_FALSE(busy) << "no reply is no busy bit";
    EXPECT_FALSE(rig.programmer.linkOpen());
    const int count = rig.sim.reportCount();
    uint8_t block[256] = {};
    EXPECT_FALSE(rig.programmer.openStream(0, kCmdOpenFlashStream));
    EXPECT_FALSE(rig.programmer.writeBlock(4, 256, block));
    EXPECT_FALSE(rig.programmer.readBlock(4, 256, block));
    uint8_t fuses[3] = {1, 2, 3};
    EXPECT_FALSE(rig.programmer.readConfig(3, fuses));
    EXPECT_EQ(Bytes(fuses, fuses + 3), (Bytes{1, 2, 3}));
    rig.programmer.finishChip();
    EXPECT_EQ(rig.sim.reportCount(), count);
    EXPECT_EQ(rig.ui.status, "Ready");
}

} // namespace
