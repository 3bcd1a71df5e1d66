// S-records: the reader's record kinds, checks and messages, the writer's
// choice of record kind and exact output, and agreement with an
// independent converter.

#include "buffers/SRecord.h"
#include "support/DataFileKit.h"
#include <gtest/gtest.h>

namespace {

TextRead readSrec(const QByteArray& text, qint64 capacity = 0x20000)
{
    return readText([](QIODevice& in, uint8_t* d, qint64 c, UserInterface& ui) { return ReadSRecord(in, d, c, ui); }, text,
                    capacity);
}

QByteArray writeSrec(const QByteArray& bytes)
{
    return writeText([](QIODevice& out, const uint8_t* b, qint64 n) { return WriteSRecord(out, b, n); }, bytes);
}

} // namespace

TEST(SRecordRead, AllThreeDataKindsAndTheEndRecordUnchecked)
{
    const TextRead r = readSrec("S0030000FC\r\nS1130000000102030405060708090A0B0C0D0E0F74\r\n"
                                  "S2070100000a0b0cD6\nS5030003F9\nS30900000100DEADBEEFBD   \n"
                                  "S9 anything at all");
    ASSERT_TRUE(r.errors.isEmpty()) << r.errors.join('|').toStdString();
    EXPECT_EQ(r.value, 0x10003);
    EXPECT_EQ(r.area[0x0F], 0x0F);
    EXPECT_EQ(r.area[0x10000], 0x0A);
    EXPECT_EQ(r.area[0x10002], 0x0C);
    EXPECT_EQ(r.area[0x100], 0xDE);
    EXPECT_EQ(r.area[0x103], 0xEF);
    EXPECT_EQ(r.area[0x104], 0xEE);
    // Header lines of any content, and unknown kinds, are skipped.
    EXPECT_TRUE(readSrec("S0zz\nS\nSx\nS7").errors.isEmpty());
}

TEST(SRecordRead, EveryFaultHasItsMessageAndItsLine)
{
    const QString cutOff = QStringLiteral("File Read Operation Failed: no S7, S8 or S9 end record and no S5 or S6 "
                                          "count record after line %1 (the file may be cut off)");
    const struct {
        const char* text;
        QString message;
    } cases[] = {
        {"S1050000AABB95", cutOff.arg(1)},
        {"S1050000AABB95\r\n\r\n", cutOff.arg(2)},
        {"", cutOff.arg(0)},
        {"1050000AABB95\nS9", "line 1: Illegal Line found (an S-record starts with \"S\")"},
        {"S1050000AABB95\nS1050000AXBB95\nS9", "line 2: Illegal Char in File (column 10)"},
        {"S1050000AABB96\nS9", "line 1: Checksum Error"},
        // One below the right value, in each record length.
        {"S1050000AABB94\nS9", "line 1: Checksum Error"},
        {"S206000000AABB93\nS9", "line 1: Checksum Error"},
        {"S30700000000AABB92\nS9", "line 1: Checksum Error"},
        // A count record that does not agree, or is itself damaged, ends nothing.
        {"S1050000AABB95\nS5030002FA\n", "line 2: the count record says 2 data records, the file holds 1 "
                                             "(the file may be cut off)"},
        {"S1050000AABB95\nS5030001FC\n", cutOff.arg(2)},
        {"S1050000AABB95\nS5030001FB\nS1050000AABB95\n", cutOff.arg(3)},
    };
    for (const auto& c : cases) {
        const TextRead r = readSrec(c.text);
        EXPECT_EQ(r.value, 0) << c.text;
        EXPECT_EQ(r.errors, QStringList{c.message}) << c.text;
    }
}

// What other tools write: no end record but a count that agrees (S5, or S6
// above 65,535 records), blank lines, a byte-order mark, a long header,
// records of 255 bytes.
TEST(SRecordRead, OtherToolsFilesAreRead)
{
    const QByteArray longest = recordLine("S3", QByteArray(1, char(255)) + QByteArray(4, 0) + patternBytes(250), true);
    ASSERT_EQ(longest.size(), 514);
    const QByteArray header = recordLine("S0", QByteArray(1, char(255)) + QByteArray(2, 0) + QByteArray(252, 'h'), true);
    const struct {
        QByteArray text;
        int32_t value;
    } files[] = {
        {"S0030000FC\nS1050000AABB95\nS5030001FB\n", 2},
        {"S1050000AABB95\r\nS1050000AABB95\r\nS604000002F9\r\n\r\n", 2},
        {"\xEF\xBB\xBF\n\nS1050000AABB95\n\t\nS9030000FC", 2},
        {header + "\r\n" + longest + "\r\nS70500000000FA\r\n", 250},
    };
    for (const auto& f : files) {
        const TextRead r = readSrec(f.text);
        EXPECT_TRUE(r.errors.isEmpty()) << f.text.left(40).toStdString() << r.errors.join('|').toStdString();
        EXPECT_EQ(r.value, f.value) << f.text.left(40).toStdString();
    }
}

TEST(SRecordRead, CapacityIsAnEndAddressAndAnOversizedRecordStoresNothing)
{
    const TextRead fits = readSrec("S10500FEAABB97\nS9", 0x100);
    EXPECT_TRUE(fits.errors.isEmpty());
    EXPECT_EQ(fits.value, 0x100);
    const TextRead over = readSrec("S10600FEAABBCCCA\nS9", 0x100);
    EXPECT_EQ(over.value, 0);
    EXPECT_EQ(over.errors, QStringList{"line 1: data at 0x00000100 beyond the 256-byte buffer"});
    EXPECT_EQ(over.area[0xFE], 0xEE);
    const TextRead far = readSrec(recordLine("S3", QByteArray::fromHex("0608000000AA"), true) + "\nS7", 8192);
    EXPECT_EQ(far.errors, QStringList{"line 1: data at 0x08000000 beyond the 8 KiB buffer"});
}

TEST(SRecordRead, LinesBeyondTheLongestRecordOrTheirCountAreRefused)
{
    const QByteArray longest = recordLine("S1", QByteArray(1, char(255)) + QByteArray(2, 0) + patternBytes(252), true);
    const TextRead ok = readSrec(longest + "\r\nS9\r\n", 0x1000);
    EXPECT_TRUE(ok.errors.isEmpty()) << ok.errors.join('|').toStdString();
    EXPECT_EQ(ok.value, 252);
    const TextRead tooLong = readSrec("S1050000AABB95\n" + longest + "0\nS9\n", 0x1000);
    EXPECT_EQ(tooLong.errors, QStringList{"line 2: longer than 514 characters"});
    // A count longer than its line, or too short for its own address and
    // checksum: nothing stored, nothing read from the next line.
    for (const char* text : {"S1070000AABB95\nS9\n", "S1020000FD\nS9\n", "S105\nS9\n"}) {
        const TextRead bad = readSrec(text);
        EXPECT_TRUE(bad.errors.value(0).startsWith("line 1: Illegal Line found (the record is shorter than"))
            << text << bad.errors.join('|').toStdString();
        EXPECT_EQ(bad.area[0], 0xEE) << text;
    }
}

TEST(SRecordRead, EveryRecordLengthInEitherCaseAndABadDigitAnywhere)
{
    // S1, S2 and S3 records in turn.
    const auto [text, image] = recordsOfEveryLength([](int n, int at, const QByteArray& bytes) {
        const int kind = 1 + n % 3;
        QByteArray fields(1, char(n + kind + 2));
        for (int i = kind; i >= 0; --i)
            fields += char(at >> (8 * i));
        return recordLine(kind == 1 ? "S1" : kind == 2 ? "S2" : "S3", fields + bytes, true);
    });
    EXPECT_TRUE(readsAs(readSrec(text + "S9030000FC\r\n", 0x400), image));

    // A bad digit in any place of a 20-byte record.
    const QByteArray bytes = patternBytes(20);
    const QByteArray good = recordLine("S1", QByteArray(1, char(23)) + QByteArray(2, 0) + bytes, true);
    const auto read = [](QIODevice& in, uint8_t* d, qint64 c, UserInterface& ui) { return ReadSRecord(in, d, c, ui); };
    EXPECT_EQ(firstWrongStopAtABadDigit(read, good, 8, bytes, "\nS9030000FC\n"), -1);
}

TEST(SRecordWrite, RecordsAreExactAndErasedOnesLeftOut)
{
    QByteArray ramp(16, '\0');
    for (int i = 0; i < 16; ++i)
        ramp[i] = char(i);
    EXPECT_EQ(writeSrec(ramp), "S00600004844521B\r\nS1130000000102030405060708090A0B0C0D0E0F74\r\nS9030000FC\r\n");
    EXPECT_EQ(writeSrec({}), "S00600004844521B\r\nS9030000FC\r\n");
    const QByteArray twenty = QByteArray(16, char(0xFF)) + QByteArray("\x01\x02\x03\x04", 4);
    EXPECT_EQ(writeSrec(twenty), "S00600004844521B\r\nS107001001020304DE\r\nS9030000FC\r\n");
}

TEST(SRecordWrite, RecordKindFollowsTheCount)
{
    const struct {
        qint64 count;
        const char* kind;
        const char* end;
    } cases[] = {
        {0xFFFF, "\r\nS1", "S9030000FC\r\n"},
        {0x10000, "\r\nS2", "S804000000FB\r\n"},
        {0xFFFFFF, "\r\nS2", "S804000000FB\r\n"},
        {0x1000000, "\r\nS3", "S70500000000FA\r\n"},
    };
    for (const auto& c : cases) {
        const QByteArray bytes = patternBytes(c.count, uint32_t(c.count));
        const QByteArray text = writeSrec(bytes);
        EXPECT_TRUE(text.mid(16, 4) == c.kind) << c.count;
        EXPECT_TRUE(text.endsWith(c.end)) << c.count;
        // Back through the reader: every byte where it was.
        const TextRead r = readSrec(text, c.count);
        EXPECT_TRUE(r.errors.isEmpty()) << c.count;
        EXPECT_EQ(r.value, c.count);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(r.area.data()), qsizetype(c.count)), bytes) << c.count;
    }
}

TEST(SRecordCrossCheck, AgreesWithTheSrecordConverter)
{
    if (srecCat().isEmpty())
        GTEST_SKIP() << "srec_cat not on PATH";
    Scratch s;
    QByteArray image = patternBytes(0x10123, 7);
    image.replace(0x4000, 0x40, QByteArray(0x40, char(0xFF)));
    const QString bin = s.write(QStringLiteral("image.bin"), image);

    const QString theirs = s.path(QStringLiteral("theirs.srec"));
    // Without a start address it writes no end record, which a file needs here.
    ASSERT_TRUE(runSrecCat({bin, "-binary", "-execution-start-address", "0", "-o", theirs, "-motorola"}));
    std::vector<uint8_t> area(0x20000, 0xFF);
    RecordingUi ui;
    EXPECT_EQ(ReadSRecord(theirs, area.data(), qint64(area.size()), ui), image.size());
    EXPECT_TRUE(ui.errors().isEmpty()) << ui.errors().join('|').toStdString();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(area.data()), image.size()), image);

    const QString ours = s.path(QStringLiteral("ours.src"));
    ASSERT_TRUE(WriteSRecord(ours, bytesOf(image), image.size()));
    const QString back = s.path(QStringLiteral("back.bin"));
    ASSERT_TRUE(runSrecCat({ours, "-motorola", "-fill", "0xFF", "0", QString::number(image.size()), "-o", back,
                            "-binary"}));
    EXPECT_EQ(s.read(QStringLiteral("back.bin")), image);
}
