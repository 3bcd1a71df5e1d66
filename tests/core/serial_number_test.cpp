// The serial number written into the Flash buffer: byte order, the data
// length rule, the step modes and the refusal of addresses beyond the buffer.

#include "buffers/Buffers.h"
#include "buffers/SerialNumber.h"
#include "support/RecordingUi.h"
#include "support/TestChipEntry.h"

#include <gtest/gtest.h>

#include <limits>

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

    // Ending exactly at the chip's last byte, or below the data, changes nothing.
    r.buffers.setFlashLength(0x80);
    ASSERT_TRUE(r.apply(0xFFC, 7));
    EXPECT_EQ(r.buffers.flashLength(), 0x80);
    EXPECT_EQ(r.buffers.flash()[0xFFC], 7);
    r.buffers.setFlashLength(0x200);
    ASSERT_TRUE(r.apply(0x10, 7));
    EXPECT_EQ(r.buffers.flashLength(), 0x200);
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

TEST(SerialNumber, AddressWhoseBytesLeaveTheBufferIsRefused)
{
    SerialRig r;
    const int32_t last = int32_t(Buffers::kFlashCapacity - 4);
    ASSERT_TRUE(r.apply(last, 0x01020304));
    EXPECT_EQ(r.buffers.flash()[Buffers::kFlashCapacity - 1], 0x01);
    EXPECT_TRUE(r.ui.errors().isEmpty());

    for (const int32_t bad : {last + 1, -1, std::numeric_limits<int32_t>::max()}) {
        RecordingUi ui;
        SerialNumber s{bad, 9, SerialNumber::Mode::Increment};
        r.buffers.setFlashLength(3);
        EXPECT_FALSE(ApplySerialNumber(s, r.buffers, r.chip, ui));
        EXPECT_EQ(ui.errors(), QStringList{ui.message(Msg::SerialAddressOutOfRange)});
        EXPECT_EQ(s.value, 9);
        EXPECT_EQ(r.buffers.flashLength(), 3);
    }
}

} // namespace
