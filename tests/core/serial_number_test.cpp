// The serial number written into the Flash buffer: byte order, the data
// length rule, the step modes and the refusal of addresses beyond the chip.

#include "buffers/Buffers.h"
#include "buffers/SerialNumber.h"
#include "support/RecordingUi.h"
#include "support/TestChipEntry.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace {

struct SerialRig {
    Buffers buffers;
    RecordingUi ui;
    ChipEntry chip = makeChip({.key = "T,M,N", .flash = 4096, .page = 256});
    SerialNumber serial;

    bool apply(int32_t address, int32_t value, SerialNumber::Mode mode = SerialNumber::Mode::Increment)
    {
        serial = {address, value, mode};
        return ApplySerialNumber(serial, buffers, chip, ui);
    }
};

TEST(SerialNumber, LeastSignificantByteFirstAndLengthGrowsInsideTheChip)
{
    SerialRig r;
    r.buffers.setFlashLength(0x80);
    ASSERT_TRUE(r.apply(0x100, 0x12345678));
    EXPECT_EQ(r.buffers.flash()[0x100], 0x78);
    EXPECT_EQ(r.buffers.flash()[0x101], 0x56);
    EXPECT_EQ(r.buffers.flash()[0x102], 0x34);
    EXPECT_EQ(r.buffers.flash()[0x103], 0x12);
    EXPECT_EQ(r.buffers.flashLength(), 0x104);
    EXPECT_EQ(r.serial.value, 0x12345679);

    // The length covers the number up to the chip's last byte; data reaching
    // past it already keep their length.
    for (const auto& [address, lengthBefore, lengthAfter] :
         {std::tuple{0xFFC, 0x80, 0x1000}, {0x10, 0x200, 0x200}, {0x1FE, 0x200, 0x202}}) {
        r.buffers.setFlashLength(lengthBefore);
        ASSERT_TRUE(r.apply(address, 7));
        EXPECT_EQ(r.buffers.flashLength(), lengthAfter) << address;
        EXPECT_EQ(r.buffers.flash()[address], 7);
    }
}

TEST(SerialNumber, StepModes)
{
    using Mode = SerialNumber::Mode;
    SerialRig r;
    r.apply(0, 0, Mode::Decrement);
    EXPECT_EQ(r.serial.value, 0);
    EXPECT_EQ(r.buffers.flash()[0], 0);
    r.apply(0, 1, Mode::Decrement);
    EXPECT_EQ(r.serial.value, 0);
    EXPECT_EQ(r.buffers.flash()[0], 1);
    r.apply(0, 42, Mode::FillFile);
    EXPECT_EQ(r.serial.value, 42);
    EXPECT_EQ(r.buffers.flash()[0], 42);
    r.apply(0, -5, Mode::Decrement);
    EXPECT_EQ(r.serial.value, -5);
    EXPECT_EQ(r.buffers.flash()[3], 0xFF);
    r.apply(0, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(r.serial.value, std::numeric_limits<int32_t>::min());
}

TEST(SerialNumber, AddressWhoseBytesLeaveTheChipIsRefused)
{
    SerialRig r;
    for (const auto& [chipBytes, address, fits] :
         {std::tuple{4096u, 0xFFC, true}, {4096u, 0xFFD, false}, {4096u, 0x1000, false}, {4096u, -1, false},
          {4096u, std::numeric_limits<int32_t>::max(), false},
          {uint32_t(Buffers::kFlashCapacity), int32_t(Buffers::kFlashCapacity - 4), true},
          {uint32_t(Buffers::kFlashCapacity), int32_t(Buffers::kFlashCapacity - 3), false}}) {
        RecordingUi ui;
        r.chip = makeChip({.key = "T,M,N", .flash = chipBytes, .page = 256});
        SerialNumber s{address, 9, SerialNumber::Mode::Increment};
        EXPECT_EQ(serialNumberFits(s, r.chip), fits) << address;
        r.buffers.setFlashLength(3);
        EXPECT_EQ(ApplySerialNumber(s, r.buffers, r.chip, ui), fits) << address;
        if (fits) {
            EXPECT_EQ(r.buffers.flash()[address], 9);
            EXPECT_EQ(r.buffers.flashLength(), address + 4);
            continue;
        }
        EXPECT_EQ(ui.errors(), QStringList{ui.message(Msg::SerialNumberOutsideChip)});
        EXPECT_EQ(s.value, 9);
        EXPECT_EQ(r.buffers.flashLength(), 3);
    }
}

} // namespace
