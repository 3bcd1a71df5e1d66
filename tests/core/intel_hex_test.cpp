// Intel HEX: record layouts, the reader's checks and messages, the writer's
// exact output, boundaries, and agreement with an independent converter.

#include "buffers/HexBlocks.h"
#include "buffers/IntelHex.h"
#include "support/DataFileKit.h"
#include <gtest/gtest.h>

#include <cctype>
#include <utility>
#include <vector>

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

TEST(IntelHexRead, MissingEndRecordFailsAsCutOffButKeepsTheData)
{
    const TextRead r = readHex(":01000000AA55\r\n\r\n");
    EXPECT_EQ(r.value, 0);
    EXPECT_EQ(r.errors, QStringList{"File Read Operation Failed: no end record after line 2 (the file may be cut off)"});
    EXPECT_EQ(r.area[0], 0xAA);
    EXPECT_EQ(readHex("").errors.size(), 1);
}

TEST(IntelHexRead, EveryFaultHasItsMessageAndItsLine)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"01000000AA55\n", "line 1: Illegal Line found (an Intel HEX record starts with \":\")"},
        {"\n\xEF\xBB\xBF:00000001FF\n", "line 2: Illegal Line found (an Intel HEX record starts with \":\")"},
        {":0100000GAA55\n", "line 1: Illegal Char in File (column 9)"},
        {"\r\n:01000000AX55\n", "line 2: Illegal Char in File (column 11)"},
        {":00000006FA\n", "line 1: Invalid Record type"},
        {":01000000AA56\n", "line 1: Checksum Error type 0"},
        {":01000001FF\n", "line 1: Invalid EOF Record"},
        {":00000001FE\n", "line 1: Invalid EOF Record"},
        {":03000002100000EB\n", "line 1: Invalid Record Length for type 2"},
        {":020000021000ED\n", "line 1: Checksum Error type 2"},
        {":0100000400FB\n", "line 1: Invalid Record Length for type 4"},
        {":020000040001F8\n", "line 1: Checksum Error type 4"},
        {":0200\n", "line 1: Illegal Line found (the record is shorter than its fields)"},
        {":04000000AABB\n", "line 1: Illegal Line found (the record is shorter than its byte count)"},
    };
    for (const auto& c : cases) {
        const TextRead r = readHex(QByteArray(c.text) + ":00000001FF\n");
        EXPECT_EQ(r.value, 0) << c.text;
        EXPECT_EQ(r.errors, QStringList{c.message}) << c.text;
    }
}

// What other tools write: a byte-order mark, blank lines, an end record
// that carries the start address, records of 255 bytes.
TEST(IntelHexRead, OtherToolsFilesAreRead)
{
    const QByteArray record = recordLine(":", QByteArray::fromHex("02001000ABCD"), false);
    const QByteArray longest = recordLine(":", QByteArray(1, char(255)) + QByteArray(3, 0) + patternBytes(255), false);
    ASSERT_EQ(longest.size(), 521);
    const struct {
        QByteArray text;
        int32_t value;
    } files[] = {
        {"\xEF\xBB\xBF" + record + "\r\n:00000001FF\r\n", 0x12},
        {"\r\n  \n" + record + "\n\n\t\n:00000001FF\n\n", 0x12},
        {record + "\n:00000101FE\n", 0x12},
        {record + "\n" + recordLine(":", QByteArray::fromHex("00800001"), false) + "  \n", 0x12},
        {longest + "\r\n:00000001FF", 255},
    };
    for (const auto& f : files) {
        const TextRead r = readHex(f.text);
        EXPECT_TRUE(r.errors.isEmpty()) << f.text.left(40).toStdString() << r.errors.join('|').toStdString();
        EXPECT_EQ(r.value, f.value) << f.text.left(40).toStdString();
    }
    EXPECT_EQ(readHex(longest + "\r\n:00000001FF").area[254], uint8_t(patternBytes(255)[254]));
}

// After a type-02 record the offset wraps within the segment; linear
// addresses (type 04, or none) count on.
TEST(IntelHexRead, SegmentedDataWrapsWithinTheSegment)
{
    const QByteArray crossing = recordLine(":", QByteArray::fromHex("04FFFE00") + "\x01\x02\x03\x04", false) + "\n";
    const struct {
        const char* base;
        int32_t value;
        std::vector<std::pair<int, uint8_t>> bytes;
    } cases[] = {
        {":020000021000EC\n", 0x20000, {{0x1FFFE, 1}, {0x1FFFF, 2}, {0x10000, 3}, {0x10001, 4}, {0x20000, 0xEE}}},
        {":020000040001F9\n", 0x20002, {{0x1FFFF, 2}, {0x20000, 3}, {0x20001, 4}, {0x10000, 0xEE}}},
    };
    for (const auto& c : cases) {
        const TextRead r = readHex(c.base + crossing + ":00000001FF\n", 0x30000);
        EXPECT_TRUE(r.errors.isEmpty()) << c.base << r.errors.join('|').toStdString();
        EXPECT_EQ(r.value, c.value) << c.base;
        for (const auto& [address, value] : c.bytes)
            EXPECT_EQ(r.area[size_t(address)], value) << c.base << ' ' << address;
    }
    // A wrapped run checks both its parts against the capacity.
    const TextRead over = readHex(":020000021000EC\n" + crossing + ":00000001FF\n", 0x1FFFF);
    EXPECT_EQ(over.errors, QStringList{"line 2: data at 0x0001FFFF beyond the 131071-byte buffer"});
}

TEST(IntelHexRead, CapacityIsAnEndAddressAndAnOversizedRecordStoresNothing)
{
    const TextRead fits = readHex(":0200FE00AABB9B\n:00000001FF\n", 0x100);
    EXPECT_TRUE(fits.errors.isEmpty());
    EXPECT_EQ(fits.value, 0x100);
    const TextRead over = readHex(":0300FE00AABBCCCE\n:00000001FF\n", 0x100);
    EXPECT_EQ(over.value, 0);
    EXPECT_EQ(over.errors, QStringList{"line 1: data at 0x00000100 beyond the 256-byte buffer"});
    EXPECT_EQ(over.area[0xFE], 0xEE);
    EXPECT_EQ(over.area[0xFF], 0xEE);
    EXPECT_EQ(over.area[0x100], 0xEE);
    const TextRead far = readHex(recordLine(":", QByteArray::fromHex("02000004080B"), false) + "\n:01000000AA55\n:00000001FF\n",
                                 64 << 20);
    EXPECT_EQ(far.errors, QStringList{"line 2: data at 0x080B0000 beyond the 64 MiB buffer"});
}

TEST(IntelHexRead, LinesBeyondTheLongestRecordOrTheirCountAreRefused)
{
    // 255 data bytes make the longest record; blanks and a line end may follow it.
    const QByteArray longest = recordLine(":", QByteArray(1, char(255)) + QByteArray(3, 0) + patternBytes(255), false);
    const TextRead ok = readHex(longest + "    \r\n:00000001FF\n", 0x1000);
    EXPECT_TRUE(ok.errors.isEmpty()) << ok.errors.join('|').toStdString();
    EXPECT_EQ(ok.value, 255);
    const struct {
        QByteArray text;
        int line;
    } tooLong[] = {
        {":01000000AA55\n" + longest + "0\n:00000001FF\n", 2},
        {longest + "00\n:00000001FF\n", 1},
        {":" + QByteArray(2000, '0'), 1},
    };
    for (const auto& t : tooLong) {
        const TextRead r = readHex(t.text, 0x1000);
        EXPECT_EQ(r.errors, QStringList{QStringLiteral("line %1: longer than 521 characters").arg(t.line)});
    }
    // A count that claims more digits than the line holds, and a record cut
    // before its checksum: refused before any byte is stored, never read on
    // into the next line.
    for (const char* text : {":04000000AABB\n:00000001FF\n", ":02000000AABB\n:00000001FF\n", ":0200"}) {
        const TextRead cut = readHex(text, 0x100);
        EXPECT_TRUE(cut.errors.value(0).startsWith("line 1: Illegal Line found")) << text;
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
