#include "device/HidDevice.h"
#include "support/FakeHidBackend.h"

#include <gtest/gtest.h>

namespace {

const std::u16string kMaker = u"Quibex-USBProg";
const std::u16string kProduct = u"VedUDUVur";

class HidDeviceTest : public ::testing::Test {
protected:
    FakeHidBackend hid;
    HidDevice device{hid};

    FakeHidBackend::Interface& programmer(const std::string& path)
    {
        return hid.add(path, kProgrammerVendorId, kProgrammerProductId, kMaker, kProduct);
    }
    // Which interface the open link talks to: the path of the next transfer.
    std::string openedPath()
    {
        const uint8_t probe[2] = {0x01, 0x00};
        hid.transfers.clear();
        if (!device.setFeature(probe, sizeof probe) || hid.transfers.empty())
            return {};
        return hid.transfers.back().path;
    }
};

TEST_F(HidDeviceTest, OpensTheProgrammerAmongOtherInterfaces)
{
    hid.add("keyboard", 0x046D, 0xC31C, u"Logi", u"Keyboard");
    hid.add("same-ids-other-maker", kProgrammerVendorId, kProgrammerProductId, u"Someone", kProduct);
    hid.add("same-ids-other-product", kProgrammerVendorId, kProgrammerProductId, kMaker, u"Other");
    programmer("first");
    programmer("second");

    EXPECT_EQ(device.openProgrammer(), kOpenOk);
    EXPECT_TRUE(device.isOpen());
    // The lower of two programmers in the platform's list, after the misfits.
    EXPECT_EQ(openedPath(), "first");
    // Every candidate that was not taken has been let go; the keyboard was
    // never even listed.
    EXPECT_EQ(hid.liveHandles, 1);
    EXPECT_EQ(hid.openCalls, (std::vector<std::string>{"same-ids-other-maker", "same-ids-other-product", "first"}));
    EXPECT_EQ(hid.listings, (std::vector<std::pair<uint16_t, uint16_t>>{{kProgrammerVendorId, kProgrammerProductId}}));

    device.close();
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(hid.liveHandles, 0);
    device.close();  // closing a closed link does nothing
    EXPECT_FALSE(device.isOpen());
}

TEST_F(HidDeviceTest, ResultTellsTheLastNoteworthyEvent)
{
    EXPECT_EQ(device.openProgrammer(), kOpenNoMatch) << "empty list";

    hid.add("locked-keyboard", 0x1234, 0x5678, u"x", u"y").opens = false;
    EXPECT_EQ(device.openProgrammer(), kOpenNoMatch) << "another device is not even tried";
    hid.add("locked", kProgrammerVendorId, kProgrammerProductId, kMaker, kProduct).opens = false;
    EXPECT_EQ(device.openProgrammer(), kOpenFailed);

    // A later id match resets the result before its strings are compared.
    hid.add("foreign", kProgrammerVendorId, kProgrammerProductId, u"Someone", kProduct);
    EXPECT_EQ(device.openProgrammer(), kOpenNoMatch);

    hid.add("mute", kProgrammerVendorId, kProgrammerProductId, std::nullopt, kProduct);
    EXPECT_EQ(device.openProgrammer(), kOpenStringFailed);

    hid.add("mute-product", kProgrammerVendorId, kProgrammerProductId, kMaker, std::nullopt);
    EXPECT_EQ(device.openProgrammer(), kOpenStringFailed);

    hid.add("other-ids", 0x1111, 0x2222, kMaker, kProduct);
    EXPECT_EQ(device.openProgrammer(), kOpenStringFailed) << "an id mismatch is not noteworthy";

    hid.add("locked-too", kProgrammerVendorId, kProgrammerProductId, u"x", u"y").opens = false;
    EXPECT_EQ(device.openProgrammer(), kOpenFailed);
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(hid.liveHandles, 0);

    programmer("good");
    EXPECT_EQ(device.openProgrammer(), kOpenOk);
    EXPECT_EQ(openedPath(), "good");
}

TEST_F(HidDeviceTest, WrongIdsAreSkippedEvenWithTheRightStrings)
{
    hid.add("vendor-only", kProgrammerVendorId, 0x0001, kMaker, kProduct);
    hid.add("product-only", 0x0001, kProgrammerProductId, kMaker, kProduct);
    EXPECT_NE(device.openProgrammer(), kOpenOk);
    EXPECT_FALSE(device.isOpen());
}

TEST_F(HidDeviceTest, NoneArgumentsAcceptTheFirstIdMatch)
{
    hid.add("other", 0x0001, 0x0002, kMaker, kProduct);
    hid.add("unreadable", kProgrammerVendorId, kProgrammerProductId, std::nullopt, std::nullopt);
    programmer("real");

    EXPECT_EQ(device.open(kProgrammerVendorId, std::nullopt, kProgrammerProductId, std::string("VedUDUVur")),
              kOpenOk);
    EXPECT_EQ(openedPath(), "unreadable");
    device.close();
    EXPECT_EQ(device.open(kProgrammerVendorId, std::string("nobody"), kProgrammerProductId, std::nullopt),
              kOpenOk);
    EXPECT_EQ(openedPath(), "unreadable");
}

TEST_F(HidDeviceTest, WideCharacterNarrowsToQuestionMarkAndDoesNotMatch)
{
    EXPECT_EQ(narrowHidString(u"Quibex-USBProg"), "Quibex-USBProg");
    EXPECT_EQ(narrowHidString(u"A\u00E9\u00FF\u0100Z\u4E2D"), std::string("A\xE9\xFF?Z?"));
    EXPECT_EQ(narrowHidString(std::u16string(u"ab\0cd", 5)), "ab") << "the string ends at its zero";
    EXPECT_EQ(narrowHidString(u""), "");

    hid.add("fancy", kProgrammerVendorId, kProgrammerProductId, u"Quibex-USBPr\u043Eg", kProduct);
    EXPECT_EQ(device.openProgrammer(), kOpenNoMatch);
    // The same text narrowed is what would have to match.
    EXPECT_EQ(device.open(kProgrammerVendorId, std::string("Quibex-USBPr?g"), kProgrammerProductId,
                          std::string("VedUDUVur")),
              kOpenOk);
}

TEST_F(HidDeviceTest, ComparisonIsWholeStringAndCaseSensitive)
{
    hid.add("upper", kProgrammerVendorId, kProgrammerProductId, u"QUIBEX-USBPROG", kProduct);
    hid.add("longer", kProgrammerVendorId, kProgrammerProductId, u"Quibex-USBProg2", kProduct);
    hid.add("shorter", kProgrammerVendorId, kProgrammerProductId, kMaker, u"VedUDUVu");
    EXPECT_EQ(device.openProgrammer(), kOpenNoMatch);
}

TEST_F(HidDeviceTest, ClosedLinkDoesNoIo)
{
    programmer("p");
    uint8_t buffer[64] = {0x01};
    EXPECT_FALSE(device.setFeature(buffer, 64));
    EXPECT_FALSE(device.getFeature(buffer, 64));
    uint8_t reply[64] = {};
    EXPECT_FALSE(device.exchange(buffer, reply));
    EXPECT_TRUE(hid.transfers.empty());
}

TEST_F(HidDeviceTest, ExchangeSendsRequestAndAsksForReportOne)
{
    FakeHidBackend::Interface& p = programmer("p");
    p.reply.assign(64, 0);
    p.reply[0] = 0x42;
    p.reply[63] = 0x99;
    ASSERT_EQ(device.openProgrammer(), kOpenOk);

    uint8_t request[64] = {};
    request[0] = 0x01;
    request[1] = 0x09;
    request[63] = 0x7E;
    uint8_t reply[64];
    std::fill(std::begin(reply), std::end(reply), 0xAA);
    ASSERT_TRUE(device.exchange(request, reply));

    ASSERT_EQ(hid.transfers.size(), 2u);
    EXPECT_TRUE(hid.transfers[0].set);
    EXPECT_EQ(hid.transfers[0].bytes, std::vector<uint8_t>(request, request + 64));
    EXPECT_FALSE(hid.transfers[1].set);
    ASSERT_EQ(hid.transfers[1].bytes.size(), 64u);
    EXPECT_EQ(hid.transfers[1].bytes[0], 0x01) << "the reply is asked for as report number 1";
    EXPECT_EQ(reply[0], 0x42) << "byte 0 of the reply is payload";
    EXPECT_EQ(reply[63], 0x99);
    EXPECT_TRUE(device.isOpen());
}

TEST_F(HidDeviceTest, FailedExchangeClosesTheLinkForGood)
{
    const struct {
        const char* what;
        bool setWorks;
        bool getWorks;
        long replyLength;
        HidDevice::Failure failure;
    } cases[] = {
        {"set fails", false, true, -1, {"Broken pipe", -1, 64}},
        {"get fails", true, false, -1, {"Broken pipe", -1, 64}},
        // A short reply is no reply: its tail would be what the buffer held.
        {"get comes back short", true, true, 63, {"", 63, 64}},
        {"get brings nothing", true, true, 0, {"", 0, 64}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bool failSet = !c.setWorks;
        hid.list.clear();
        hid.transfers.clear();
        FakeHidBackend::Interface& p = programmer("p");
        p.setWorks = c.setWorks;
        p.getWorks = c.getWorks;
        p.replyLength = c.replyLength;
        p.reply.assign(64, 0x5A);
        ASSERT_EQ(device.openProgrammer(), kOpenOk);
        EXPECT_EQ(device.lastFailure().wanted, 0u) << "an open starts without a failure";

        uint8_t request[64] = {0x01, 0x0B};
        uint8_t reply[64] = {};
        EXPECT_FALSE(device.exchange(request, reply));
        EXPECT_FALSE(device.isOpen());
        EXPECT_EQ(hid.liveHandles, 0);
        EXPECT_EQ(hid.transfers.size(), failSet ? 1u : 2u) << "no get after a failed set";
        EXPECT_EQ(device.lastFailure().platformText, c.failure.platformText);
        EXPECT_EQ(device.lastFailure().got, c.failure.got);
        EXPECT_EQ(device.lastFailure().wanted, c.failure.wanted);

        const std::size_t before = hid.transfers.size();
        EXPECT_FALSE(device.setFeature(request, 64));
        EXPECT_FALSE(device.getFeature(reply, 64));
        EXPECT_FALSE(device.exchange(request, reply));
        EXPECT_EQ(hid.transfers.size(), before);
    }
}

TEST_F(HidDeviceTest, PlainFeatureFailureKeepsTheLinkOpen)
{
    FakeHidBackend::Interface& p = programmer("p");
    p.setWorks = false;
    p.getWorks = false;
    ASSERT_EQ(device.openProgrammer(), kOpenOk);
    uint8_t data[65] = {0x02};
    EXPECT_FALSE(device.setFeature(data, 65));
    EXPECT_FALSE(device.getFeature(data, 65));
    EXPECT_TRUE(device.isOpen());
    p.getWorks = true;
    p.replyLength = 64;
    EXPECT_FALSE(device.getFeature(data, 65)) << "a data report one byte short";
    EXPECT_EQ(device.lastFailure().got, 64);
    EXPECT_TRUE(device.isOpen());
    ASSERT_EQ(hid.transfers.size(), 3u);
    EXPECT_EQ(hid.transfers[0].bytes.size(), 65u);
    EXPECT_EQ(hid.transfers[1].bytes[0], 0x02) << "the caller's report number goes out unchanged";
}

TEST_F(HidDeviceTest, WireTapSeesEveryReportWithItsOutcome)
{
    FakeHidBackend::Interface& p = programmer("p");
    p.reply = std::vector<uint8_t>(64, 0x5A);
    std::vector<std::pair<HidDevice::Direction, bool>> seen;
    device.setWireTap([&](HidDevice::Direction d, const uint8_t*, std::size_t n, bool ok) {
        EXPECT_EQ(n, 64u);
        seen.emplace_back(d, ok);
    });
    ASSERT_EQ(device.openProgrammer(), kOpenOk);
    uint8_t request[64] = {0x01, 0x0C};
    uint8_t reply[64] = {};
    EXPECT_TRUE(device.exchange(request, reply));
    p.getWorks = false;
    EXPECT_FALSE(device.exchange(request, reply));
    using D = HidDevice::Direction;
    const std::vector<std::pair<D, bool>> expected = {
        {D::ToDevice, true}, {D::FromDevice, true}, {D::ToDevice, true}, {D::FromDevice, false}};
    EXPECT_EQ(seen, expected);
}

} // namespace
