#include "buffers/ByteSearch.h"
#include "buffers/HexText.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ByteSearch, SearchTextsAsHexBytesOrText)
{
    const struct {
        const char* text;
        SearchKind kind;
        std::optional<QByteArray> bytes;
    } cases[] = {
        {"EB 3C 90", SearchKind::HexBytes, QByteArray("\xEB\x3C\x90")},
        {"eb3c90", SearchKind::HexBytes, QByteArray("\xEB\x3C\x90")},
        {"  00ff ", SearchKind::HexBytes, QByteArray("\x00\xFF", 2)},
        {"EB3", SearchKind::HexBytes, std::nullopt},
        {"E B", SearchKind::HexBytes, std::nullopt},
        {"0x12", SearchKind::HexBytes, std::nullopt},
        {"", SearchKind::HexBytes, std::nullopt},
        {"  ", SearchKind::HexBytes, std::nullopt},
        {"EB 3C", SearchKind::Text, QByteArray("EB 3C")},
        {"芯", SearchKind::Text, QByteArray("\xE8\x8A\xAF")},
        {"", SearchKind::Text, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(searchPattern(QString::fromUtf8(c.text), c.kind), c.bytes) << c.text;
}

TEST(ByteSearch, ForwardFromAPlaceAndBackwardBeforeIt)
{
    //                          0123456789012
    const QByteArray haystack("ABCABxABCAB\xFF" "C", 13);
    const auto* data = reinterpret_cast<const uint8_t*>(haystack.constData());
    const qint64 n = haystack.size();
    const QByteArray ab("AB");
    const struct {
        QByteArray pattern;
        qint64 from;
        qint64 forward;
        qint64 backward;  // last match starting before `from`
    } cases[] = {
        {ab, 0, 0, -1},  {ab, 1, 3, 0},   {ab, 4, 6, 3},     {ab, 10, -1, 9},
        {ab, 13, -1, 9}, {ab, 99, -1, 9}, {"ABC", 1, 6, 0},   {"\xFF" "C", 0, 11, -1},
        {"C", 12, 12, 8}, {"ABCABxABCAB\xFF" "CD", 0, -1, -1}, {"Z", 0, -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findForward(data, n, c.pattern, c.from), c.forward) << c.pattern.constData() << " from " << c.from;
        EXPECT_EQ(findBackward(data, n, c.pattern, c.from), c.backward) << c.pattern.constData() << " before " << c.from;
    }
    EXPECT_EQ(findForward(data, n, QByteArray(), 0), -1);
    EXPECT_EQ(findBackward(data, n, QByteArray(), n), -1);

    // A match at the very end of a large buffer, found both ways.
    std::vector<uint8_t> big(std::size_t(1) << 20, 0xFF);
    big[big.size() - 2] = 0x55;
    big[big.size() - 1] = 0xAA;
    const qint64 size = qint64(big.size());
    EXPECT_EQ(findForward(big.data(), size, QByteArray("\x55\xAA"), 0), size - 2);
    EXPECT_EQ(findBackward(big.data(), size, QByteArray("\x55\xAA"), size), size - 2);
}

TEST(HexText, TwoDigitsABlanksBetweenANewLineEverySixteen)
{
    std::vector<uint8_t> bytes(18);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 17);
    EXPECT_EQ(hexText(bytes.data(), 0), QString());
    EXPECT_EQ(hexText(bytes.data() + 15, 1), QStringLiteral("FF"));
    EXPECT_EQ(hexText(bytes.data(), 18),
              QStringLiteral("00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF\n10 21"));
}
