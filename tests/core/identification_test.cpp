// Chip identification: detection through the probe and the chip lists, and
// the auto sequence's signature check.

#include "support/OperationRig.h"

#include "operations/SignatureCheck.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

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

} // namespace
