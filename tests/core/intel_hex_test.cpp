// Intel HEX: record layouts, the reader's checks and messages, the writer's
// exact output, boundaries, and agreement with an independent converter.

#include "buffers/HexBlocks.h"
#include "buffers/IntelHex.h"
#include "support/DataFileKit.h"
#include <gtest/gtest.h>

#include <cctype>

namespace {

TextRead readHex(const QByteArray& text, qint64 capacity = 0x20000)
{
    return readText([](QIODevice& in, uint8_t* d, qint64 c, UserInterface& ui) { return ReadIntelHex(in, d, c, ui); }, text,
                    capacity);
}

QByteArray writeHex(const QByteArray& bytes)
{
    return writeText([](QIODevice& out, const uint8_t* b, qint64 n) { return WriteIntelHex(out, b, n); }, bytes);
}

} // namespace

TEST(IntelHexRead, ResultIsTheHighestEndAddressAndUncoveredBytesStay)
{
    const TextRead r = readHex(":10010000000102030405060708090A0B0C0D0E0F77\r\n:00000001FF\r\n");
    ASSERT_TRUE(r.errors.isEmpty()) << r.errors.join('|').toStdString();
    EXPECT_EQ(r.value, 272);
    EXPECT_EQ(r.area[0x100], 0x00);
    EXPECT_EQ(r.area[0x10F], 0x0F);
    EXPECT_EQ(r.area[0xFF], 0xEE);
    EXPECT_EQ(r.area[0x110], 0xEE);
}

TEST(IntelHexRead, LineEndsAndDigitCaseAreFree)
{
    // Lower-case digits, bare line feeds, trailing blanks, no final line end.
    const TextRead r = readHex(":02000000abCD86  \n:00000001ff");
    EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join('|').toStdString();
    EXPECT_EQ(r.value, 2);
    EXPECT_EQ(r.area[0], 0xAB);
    EXPECT_EQ(r.area[1], 0xCD);
}

TEST(IntelHexRead, SegmentAndLinearBasesPlaceTheNextRecord)
{
    const TextRead seg = readHex(":020000021000EC\n:01001000AA45\n:00000001FF\n");
    EXPECT_TRUE(seg.errors.isEmpty());
    EXPECT_EQ(seg.value, 0x10011);
    EXPECT_EQ(seg.area[0x10010], 0xAA);
    const TextRead lin = readHex(":020000040001F9\n:01001000AA45\n:00000001FF\n");
    EXPECT_TRUE(lin.errors.isEmpty());
    EXPECT_EQ(lin.value, 0x10011);
    EXPECT_EQ(lin.area[0x10010], 0xAA);
    // Start-address records are passed over unchecked, even with a wrong checksum.
    const TextRead start = readHex(":0400000300003800C2\n:04000005000000CD00\n:01000000AA55\n:00000001FF\n");
    EXPECT_TRUE(start.errors.isEmpty());
    EXPECT_EQ(start.value, 1);
}

TEST(IntelHexRead, MissingEndRecordFailsWithTwoMessagesButKeepsTheData)
{
    const TextRead r = readHex(":01000000AA55\r\n");
    EXPECT_EQ(r.value, 0);
    EXPECT_EQ(r.errors, QStringList({"File Read Operation Failed", "Error reading File"}));
    EXPECT_EQ(r.area[0], 0xAA);
    EXPECT_EQ(readHex("").errors.size(), 2);
}

TEST(IntelHexRead, EveryFaultHasItsMessage)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"01000000AA55\n", "Illegal Line found"},
        {"\n:00000001FF\n", "Illegal Line found"},
        {":0100000GAA55\n", "Illegal Char in File"},
        {":01000000AX55\n", "Illegal Char in File"},
        {":00000006FA\n", "Invalid Record type"},
        {":01000000AA56\n", "Checksum Error type 0"},
        {":00000101FE\n", "Invalid EOF Record"},
        {":01000001FF\n", "Invalid EOF Record"},
        {":00000001FE\n", "Invalid EOF Record"},
        {":03000002100000EB\n", "Invalid Record Length for type 2"},
        {":020000021000ED\n", "Checksum Error type 2"},
        {":0100000400FB\n", "Invalid Record Length for type 4"},
        {":020000040001F8\n", "Checksum Error type 4"},
    };
    for (const auto& c : cases) {
        const TextRead r = readHex(QByteArray(c.text) + ":00000001FF\n");
        EXPECT_EQ(r.value, 0) << c.text;
        EXPECT_EQ(r.errors, QStringList{c.message}) << c.text;
    }
}

TEST(IntelHexRead, CapacityIsAnEndAddressAndAnOversizedRecordStoresNothing)
{
    const TextRead fits = readHex(":0200FE00AABB9B\n:00000001FF\n", 0x100);
    EXPECT_TRUE(fits.errors.isEmpty());
    EXPECT_EQ(fits.value, 0x100);
    const TextRead over = readHex(":0300FE00AABBCCCE\n:00000001FF\n", 0x100);
    EXPECT_EQ(over.value, 0);
    EXPECT_EQ(over.errors, QStringList{"File exceeds Maximum Size"});
    EXPECT_EQ(over.area[0xFE], 0xEE);
    EXPECT_EQ(over.area[0xFF], 0xEE);
    EXPECT_EQ(over.area[0x100], 0xEE);
}

TEST(IntelHexRead, LinesBeyondTheLineBufferOrTheirCountAreRefused)
{
    // 250 data bytes: 511 characters with the line feed, inside the buffer.
    const QByteArray bytes = patternBytes(250);
    uint32_t sum = 250;
    QByteArray line = ":FA000000";
    for (char b : bytes) {
        line += QByteArray::number(uint8_t(b), 16).rightJustified(2, '0').toUpper();
        sum += uint8_t(b);
    }
    line += QByteArray::number((0x100 - (sum & 0xFF)) & 0xFF, 16).rightJustified(2, '0').toUpper();
    ASSERT_EQ(line.size() + 1, 512);
    const TextRead ok = readHex(line + "\n:00000001FF\n", 0x1000);
    EXPECT_TRUE(ok.errors.isEmpty()) << ok.errors.join('|').toStdString();
    EXPECT_EQ(ok.value, 250);
    EXPECT_EQ(ok.area[249], uint8_t(bytes[249]));
    // The same with a carriage return no longer fits the buffer.
    const TextRead tooLong = readHex(line + "\r\n:00000001FF\n", 0x1000);
    EXPECT_EQ(tooLong.errors, QStringList{"Illegal Line found"});
    // A count that claims more digits than the line holds, and a record cut
    // before its checksum: refused before any byte is stored, never read on
    // into the next line.
    for (const char* text : {":04000000AABB\n:00000001FF\n", ":02000000AABB\n:00000001FF\n", ":0200"}) {
        const TextRead cut = readHex(text, 0x100);
        EXPECT_EQ(cut.errors, QStringList{"Illegal Line found"}) << text;
        EXPECT_EQ(cut.area[0], 0xEE) << text;
    }
}

TEST(IntelHexRead, EveryRecordLengthInEitherCaseAndABadDigitAnywhere)
{
    const auto [text, image] = recordsOfEveryLength([](int n, int at, const QByteArray& bytes) {
        return recordLine(":", QByteArray(1, char(n)) + char(at >> 8) + char(at) + char(0) + bytes, false);
    });
    EXPECT_TRUE(readsAs(readHex(text + ":00000001FF\r\n", 0x400), image));

    // A bad digit in any place of a 20-byte record.
    const QByteArray bytes = patternBytes(20);
    const QByteArray good = recordLine(":", QByteArray(1, char(20)) + QByteArray(3, 0) + bytes, false);
    const auto read = [](QIODevice& in, uint8_t* d, qint64 c, UserInterface& ui) { return ReadIntelHex(in, d, c, ui); };
    EXPECT_EQ(firstWrongStopAtABadDigit(read, good, 9, bytes, "\n:00000001FF\n"), -1);
}

TEST(HexBlocks, AgreeWithQtForEveryLengthByteAndCharacter)
{
    for (int n = 0; n <= 40; ++n) {
        QByteArray bytes;
        for (int i = 0; i < n; ++i)
            bytes += char(i * 37 + n * 11);
        uint32_t expectedSum = 5;
        for (char b : bytes)
            expectedSum += uint8_t(b);
        char text[80] = {};
        uint32_t sum = 5;
        const char* end = encodeHexBytes(text, bytesOf(bytes), size_t(n), sum);
        EXPECT_EQ(QByteArray(text, end - text), bytes.toHex().toUpper()) << n;
        EXPECT_EQ(sum, expectedSum) << n;
        for (const QByteArray& digits : {bytes.toHex().toUpper(), bytes.toHex()}) {
            uint8_t out[40] = {};
            sum = 5;
            EXPECT_TRUE(decodeHexBytes(digits.constData(), size_t(n), out, sum)) << n;
            EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(out), n), bytes) << n;
            EXPECT_EQ(sum, expectedSum) << n;
        }
    }
    // Every character in every place of a 16-digit block and of its tail.
    for (int place = 0; place < 18; ++place) {
        for (int c = 0; c < 256; ++c) {
            QByteArray digits(18, '7');
            digits[place] = char(c);
            uint8_t out[9];
            uint32_t sum = 0;
            const bool digit = std::isxdigit(c) != 0;
            ASSERT_EQ(decodeHexBytes(digits.constData(), 9, out, sum), digit) << place << ' ' << c;
            if (digit) {
                ASSERT_EQ(out[place / 2], uint8_t(QByteArray::fromHex(digits.mid(place & ~1, 2))[0])) << place << ' ' << c;
            }
        }
    }
}

TEST(IntelHexRead, UnopenableFileSaysSo)
{
    RecordingUi ui;
    uint8_t area[4];
    EXPECT_EQ(ReadIntelHex(QStringLiteral("/nonexistent/x.hex"), area, 4, ui), 0);
    EXPECT_EQ(ui.errors(), QStringList{"Can't open File"});
}

TEST(IntelHexWrite, RecordsAreExactAndErasedOnesLeftOut)
{
    QByteArray ramp(32, '\0');
    for (int i = 0; i < 32; ++i)
        ramp[i] = char(i);
    EXPECT_EQ(writeHex(ramp), ":20000000000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1FF0\r\n"
                              ":00000001FF\r\n");
    EXPECT_EQ(writeHex({}), ":00000001FF\r\n");

    QByteArray seventy = patternBytes(70);
    seventy.replace(32, 32, QByteArray(32, char(0xFF)));
    const QList<QByteArray> lines = writeHex(seventy).split('\n');
    ASSERT_EQ(lines.size(), 4);  // three lines and the empty rest
    EXPECT_TRUE(lines[0].startsWith(":20000000"));
    EXPECT_TRUE(lines[1].startsWith(":06004000"));
    EXPECT_EQ(lines[2], ":00000001FF\r");
}

TEST(IntelHexWrite, ExtendedAddressRecordsAtEach64KiB)
{
    const QByteArray bytes = patternBytes(0x10001);
    const QList<QByteArray> lines = writeHex(bytes).split('\n');
    ASSERT_EQ(lines.size(), 0x800 + 4);
    EXPECT_TRUE(lines[0x7FF].startsWith(":20FFE000"));
    EXPECT_EQ(lines[0x800], ":020000040001F9\r");
    EXPECT_TRUE(lines[0x801].startsWith(":01000000"));
    EXPECT_EQ(lines[0x801].size(), 1 + 2 + 4 + 2 + 2 + 2 + 1);
    // Base 0x30000 has its own checksum.
    EXPECT_TRUE(writeHex(patternBytes(0x30001)).contains(":020000040003F7\r\n"));
}

TEST(IntelHexWrite, RoundTripsAcrossTheBoundaries)
{
    for (const qint64 n : {qint64(31), qint64(0xFFFF), qint64(0x10000), qint64(0x10001), qint64(0x2FFF1)}) {
        const QByteArray bytes = patternBytes(n, uint32_t(n));
        const TextRead r = readHex(writeHex(bytes), 0x30000);
        EXPECT_TRUE(r.errors.isEmpty()) << n;
        EXPECT_EQ(r.value, n);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(r.area.data()), qsizetype(n)), bytes) << n;
    }
}

TEST(IntelHexWrite, PathFormFailsWithoutAFolderAndLeavesNothing)
{
    Scratch s;
    const QString path = s.path(QStringLiteral("missing/x.hex"));
    EXPECT_FALSE(WriteIntelHex(path, nullptr, 0));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(IntelHexCrossCheck, AgreesWithTheSrecordConverter)
{
    if (srecCat().isEmpty())
        GTEST_SKIP() << "srec_cat not on PATH";
    Scratch s;
    QByteArray image = patternBytes(0x20123);
    image.replace(0x8000, 0x100, QByteArray(0x100, char(0xFF)));
    const QString bin = s.write(QStringLiteral("image.bin"), image);

    // Its file, our reader.
    const QString theirs = s.path(QStringLiteral("theirs.hex"));
    ASSERT_TRUE(runSrecCat({bin, "-binary", "-o", theirs, "-intel"}));
    std::vector<uint8_t> area(0x30000, 0xFF);
    RecordingUi ui;
    EXPECT_EQ(ReadIntelHex(theirs, area.data(), qint64(area.size()), ui), image.size());
    EXPECT_TRUE(ui.errors().isEmpty()) << ui.errors().join('|').toStdString();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(area.data()), image.size()), image);

    // Our file, its reader.
    const QString ours = s.path(QStringLiteral("ours.hex"));
    ASSERT_TRUE(WriteIntelHex(ours, bytesOf(image), image.size()));
    const QString back = s.path(QStringLiteral("back.bin"));
    ASSERT_TRUE(runSrecCat({ours, "-intel", "-fill", "0xFF", "0", QString::number(image.size()), "-o", back,
                            "-binary"}));
    EXPECT_EQ(s.read(QStringLiteral("back.bin")), image);
}
