// Chip identification: detection through the probe and the chip lists, and
// the auto sequence's signature check.

#include "support/OperationRig.h"

#include "operations/SignatureCheck.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using Kind = RecordingUi::Event::Kind;

// Two types so that a class code can move the type list.
void fillList(OperationRig& rig)
{
    fillTable(rig.state.chips(),
              {makeChip({.key = "SPI_FLASH,WINBOND,W25Q32", .id = 0xEF4016, .flash = 4096, .page = 256}),
               makeChip({.key = "SPI_FLASH,WINBOND,W25Q64", .id = 0xEF4017, .flash = 8192, .page = 256}),
               makeChip({.key = "24_EEPROM,ATMEL,AT24C02", .flash = 256, .page = 8, .chipClass = 1})});
    rig.state.selection().apply(0, 0, 0);
}

TEST(Detect, FoundIdentifierSelectsTheChipAndNamesIt)
{
    OperationRig rig;
    fillList(rig);
    rig.sim.insertChip(rig.state.chips()[1]);
    rig.ops.detectChip();
    EXPECT_EQ(rig.state.currentChipIndex(), 1);
    EXPECT_EQ(rig.ui.texts(Kind::Information), QStringList{"The chip was detected:W25Q64\n\n Chip typeSPI_FLASH"});
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
    // No frame: no Setup for the selected chip, no controls, no timing.
    EXPECT_EQ(rig.wire(), QStringList({"C09", "C0B", "C0A"}));
    EXPECT_TRUE(rig.ui.texts(Kind::Controls).isEmpty());
    EXPECT_TRUE(rig.ui.texts(Kind::Elapsed).isEmpty());
    EXPECT_TRUE(rig.ui.logs().isEmpty());
}

TEST(Detect, UnknownIdentifierMovesTheTypeListToTheClass)
{
    OperationRig rig;
    fillList(rig);
    rig.sim.insertChip(rig.state.chips()[2]);  // class 1, identifier 0
    rig.ops.detectChip();
    EXPECT_EQ(rig.ui.errors(),
              QStringList{"Unknown chip ID =00 00 00Please choose the compatibility type manually."});
    EXPECT_EQ(rig.state.selection().typePosition(), 1);
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Declined);
}

TEST(Detect, NoProgrammerOrNoChipChangesNothing)
{
    OperationRig rig;
    fillList(rig);
    rig.sim.setPlugged(false);
    rig.ops.detectChip();
    EXPECT_EQ(rig.ui.errors(), QStringList{"Not connected"});
    EXPECT_EQ(rig.state.currentChipIndex(), 0);

    OperationRig empty;
    fillList(empty);
    empty.ops.detectChip();
    EXPECT_EQ(empty.ui.errors(), QStringList{"No chips detected, please put the chip to try again!"});
    EXPECT_EQ(empty.wire().size(), 15);
    EXPECT_EQ(empty.state.currentChipIndex(), 0);
}

TEST(Signature, TextPadsTheFirstTwoBytesWithBlanks)
{
    EXPECT_EQ(signatureText(0x0B, 0x40, 0x17), "ID = 0x B4017");
    EXPECT_EQ(signatureText(0x1E, 0x05, 0x0F), "ID = 0x1E 50F");
}

TEST(Signature, DifferenceAsksAndNoStopsTheSequence)
{
    OperationRig rig;
    // The selected chip says EF4017; the socket holds one answering 0B4017.
    ChipEntry selected = makeChip({.key = "SPI_FLASH,WINBOND,W25Q64", .id = 0xEF4017, .flash = 1024, .page = 256});
    ChipEntry other = selected;
    other.setChipId(0x0B4017);
    rig.use(selected, false);
    rig.sim.insertChip(other);
    rig.loadFlash(256);
    // Yes to the socket's question before the job, No to the signature step's.
    rig.ui.answers = {true, false};
    rig.ops.runAuto({.checkId = true, .erase = true, .writeFlash = true});

    EXPECT_EQ(rig.ui.questions(),
              QStringList({"The chip in the socket (class 0, ID = 0x0B4017) is not the chosen chip WINBOND W25Q64 "
                           "(class 0, ID = 0xEF4017). Go on with the chip in the socket?",
                           QString::fromUtf8("ID = 0x B4017 不匹配,选择继续？")}));
    EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C01", "C0A"}));
    EXPECT_EQ(rig.ui.logs(), QStringList{"AUTO stopped at: Detection"});
    EXPECT_EQ(rig.ui.texts(Kind::Elapsed).size(), 1);
    EXPECT_EQ(rig.ui.texts(Kind::Beep).size(), 1);
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Declined);

    rig.sim.clearTraffic();
    rig.ui.clear();
    rig.ui.answers = {true, true};
    rig.ops.runAuto({.checkId = true, .writeFlash = true});
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
    EXPECT_EQ(rig.wireAfterProbe(), QStringList({"C09", "C01", "C07", "W04/257", "C0A"}));
}

TEST(Signature, SameIdentifierGoesOnWithoutAQuestion)
{
    OperationRig rig;
    rig.use(makeChip({.key = "SPI_FLASH,WINBOND,W25Q64", .id = 0xEF4017, .flash = 1024, .page = 256}));
    rig.loadFlash(256);
    rig.ops.runAuto({.checkId = true, .writeFlash = true});
    EXPECT_TRUE(rig.ui.questions().isEmpty());
    EXPECT_EQ(rig.commands(0x01).at(0)[20], 3);
    EXPECT_EQ(rig.ops.lastOutcome(), Outcome::Done);
}

// The chip in the socket against the chosen chip, before any report that
// reads or changes it: a difference is the question naming both
// identifiers, and No ends the command with the chip untouched.
TEST(Socket, EveryCommandComparesTheSocketWithTheChosenChip)
{
    const ChipEntry w25q20 =
        makeChip({.key = "SPI_FLASH,WINBOND,W25Q20CL", .id = 0xEF4012, .flash = 4096, .page = 256, .eraseDelay = 2});
    const ChipEntry mega8 = makeChip({.key = "AVR,ATMEL,ATmega8", .id = 0x1E9307, .flash = 8192, .page = 64,
                                      .chipClass = 7, .eraseDelay = 10, .eeprom = 512, .eepromPage = 4});
    const ChipEntry tiny13 = makeChip({.key = "AVR,ATMEL,ATtiny13", .id = 0x1E9007, .flash = 1024, .page = 32,
                                       .chipClass = 7, .eraseDelay = 10, .eeprom = 64, .eepromPage = 4});
    const ChipEntry tiny25 = makeChip({.key = "AVR,ATMEL,ATtiny25", .id = 0x1E9108, .flash = 2048, .page = 32,
                                       .chipClass = 7, .eraseDelay = 10, .eeprom = 128, .eepromPage = 4});
    const ChipEntry c93c46 = makeChip({.key = "93_EEPROM,GENERIC,93C46", .flash = 128, .page = 16, .chipClass = 2,
                                       .subtype = 7, .eraseDelay = 10});
    const ChipEntry c24c02 = makeChip({.key = "24_EEPROM,ATMEL,AT24C02", .flash = 256, .page = 8, .chipClass = 1});
    // A further class without a signature: neither the probe nor a signature sees it.
    const ChipEntry paged = makeChip({.key = "X,Y,PAGED", .flash = 4096, .page = 256, .chipClass = 6});
    const QString tail = " Go on with the chip in the socket?";

    struct Case {
        const char* what;
        ChipEntry socket;
        ChipEntry chosen;
        QString question;  // empty: no difference
    };
    const std::vector<Case> cases{
        {"flash for an AVR", w25q20, mega8,
         "The chip in the socket (signature 0xEF4012) is not the chosen chip ATMEL ATmega8 (signature 0x1E9307)." + tail},
        {"flash for a 93C46", w25q20, c93c46,
         "The chip in the socket (class 0, ID = 0xEF4012) is not the chosen chip GENERIC 93C46 (class 2, ID = "
         "0x000000)." + tail},
        {"flash for a 24C02", w25q20, c24c02,
         "The chip in the socket (class 0, ID = 0xEF4012) is not the chosen chip ATMEL AT24C02 (class 1, ID = "
         "0x000000)." + tail},
        {"24C02 for a flash", c24c02, w25q20,
         "The chip in the socket (class 1, ID = 0x000000) is not the chosen chip WINBOND W25Q20CL (class 0, ID = "
         "0xEF4012)." + tail},
        {"ATtiny13 for an ATtiny25", tiny13, tiny25,
         "The chip in the socket (signature 0x1E9007) is not the chosen chip ATMEL ATtiny25 (signature 0x1E9108)."
             + tail},
        {"the 24C02 chosen", c24c02, c24c02, {}},
        {"the AVR chosen", mega8, mega8, {}},
        {"a class seen by neither", w25q20, paged, {}},
    };
    struct Command {
        const char* name;
        std::function<void(OperationRig&)> run;
    };
    const std::vector<Command> commands{
        {"read", [](OperationRig& r) { r.ops.readChip(MemoryPage::Flash); }},
        {"blank", [](OperationRig& r) { r.ops.blankCheck(); }},
        {"erase", [](OperationRig& r) { r.ops.eraseChip(); }},
        {"write", [](OperationRig& r) { r.ops.writeChip(MemoryPage::Flash, {.verifyAfter = true}); }},
        {"verify", [](OperationRig& r) { r.ops.verifyChip(MemoryPage::Flash); }},
        {"compare", [](OperationRig& r) { r.ops.compareChip(MemoryPage::Flash); }},
        {"auto", [](OperationRig& r) { r.ops.runAuto({.erase = true, .writeFlash = true, .verifyFlash = true}); }},
    };
    for (const Case& c : cases) {
        for (const Command& command : commands) {
            SCOPED_TRACE(std::string(c.what) + ", " + command.name);
            OperationRig rig;
            rig.use(c.chosen, false);
            rig.sim.insertChip(c.socket);
            std::fill(rig.sim.flash().begin(), rig.sim.flash().end(), 0x00);
            rig.loadFlash(64);
            rig.ui.defaultAnswer = false;
            command.run(rig);
            if (c.question.isEmpty()) {
                EXPECT_TRUE(rig.ui.questions().isEmpty());
                continue;
            }
            EXPECT_EQ(rig.ui.questions(), QStringList{c.question});
            EXPECT_NE(rig.ops.lastOutcome(), Outcome::Done);
            // The probe, and for a microcontroller Setup, its signature and Finish: nothing else.
            for (const QString& report : rig.wire())
                EXPECT_TRUE(QStringList({"C09", "C0B", "C0A", "C01"}).contains(report)) << report.toStdString();
            EXPECT_TRUE(std::all_of(rig.sim.flash().begin(), rig.sim.flash().end(), [](uint8_t b) { return b == 0; }));
            EXPECT_EQ(rig.state.buffers().flashLength(), 64) << "nothing read into the buffer";
        }
    }
}

} // namespace
