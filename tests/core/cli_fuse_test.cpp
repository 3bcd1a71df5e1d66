#include "cli/Cli.h"
#include "support/TestChipEntry.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kBundled = QStringLiteral(KTR_SOURCE_DIR "/data/xml/0.xml");

struct CliRun {
    int status = -1;
    QStringList out;
    QStringList err;
};

// A program folder with one AVR chip in its chip list and the bundled fuse
// description in xml/; a state file keeps the simulated chip between runs.
class CliFuses : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ChipEntry mega = makeChip({.key = "AVR,ATMEL,ATmega328P", .id = 0x1E950F, .flash = 32768, .page = 128,
                                         .chipClass = 7, .eraseDelay = 10, .eeprom = 1024, .eepromPage = 4,
                                         .interfaceCode = 2, .voltage = 1});
        ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("ktr4180.Dat")), entryBytes(mega)));
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("xml")));
        ASSERT_TRUE(QFile::copy(kBundled, dir.filePath(QStringLiteral("xml/0.xml"))));
    }

    CliRun run(QStringList args)
    {
        CliRun r;
        QString out, err;
        QTextStream o(&out), e(&err);
        r.status = runCli(args, dir.path(), o, e, false);
        o.flush();
        e.flush();
        r.out = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        r.err = err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return r;
    }
    CliRun onChip(QStringList args)
    {
        return run(QStringList{QStringLiteral("--simulate=") + dir.filePath(QStringLiteral("chip.state")),
                               QStringLiteral("--chip"), QStringLiteral("AVR,ATMEL,ATmega328P")}
                   + args);
    }
    QString writeFile(const QByteArray& content)
    {
        const QString path = dir.filePath(QStringLiteral("other.xml"));
        EXPECT_TRUE(writeBytes(path, content));
        return path;
    }

    QTemporaryDir dir;
};

const QStringList kDefaultBytes = {"fuse\t0\tLOW\t0x62", "fuse\t1\tHIGH\t0xD9", "fuse\t2\tEXTENDED\t0xFF",
                                   "lock\t3\tLOCKBIT\t0xFF"};

TEST_F(CliFuses, DescriptionListsCountSettingsAndBytes)
{
    const CliRun r = run({"fuse-description"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.join('\n').toStdString();
    ASSERT_GT(r.out.size(), 5);
    EXPECT_EQ(r.out[0], "fuse bytes\t3");
    EXPECT_TRUE(r.out.contains("setting\t1\t0x20\t0x00\tSerial program downloading (SPI) enabled (SPIEN)"));
    EXPECT_EQ(r.out.mid(r.out.size() - 4),
              (QStringList{"byte\t0\tLOW\t0x62", "byte\t1\tHIGH\t0xD9", "byte\t2\tEXTENDED\t0xFF", "byte\t3\tLOCKBIT\t0xFF"}));

    const CliRun chinese = run({"--lang", "0", "fuse-description"});
    EXPECT_TRUE(chinese.out.contains(QStringLiteral("setting\t1\t0x20\t0x00\t使能串行编程下载 (SPI) (SPIEN)")));
}

TEST_F(CliFuses, DescriptionProblemsGoToStderrAndFail)
{
    const CliRun broken = run({"fuse-description", writeFile("<ZFPART><FUSEBYTES>1</FUSEBYTES><FUSE0><NAME> A </NAME>"
                                                             "</FUSE0></ZFPART>")});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.err, QStringList{"Node 'DEFAULT' not found!"});
    EXPECT_EQ(broken.out, (QStringList{"fuse bytes\t1", "byte\t0\tA\t0x00"})) << "name trimmed";

    QByteArray big = "<ZFPART>";
    for (int n = 0; n < 33; ++n)
        big += "<FUSE" + QByteArray::number(n) + "><NAME>x</NAME><DEFAULT>0</DEFAULT></FUSE" + QByteArray::number(n) + ">";
    const CliRun refused = run({"fuse-description", writeFile(big + "</ZFPART>")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(refused.err.size(), 1);

    EXPECT_EQ(run({"fuse-description", "a", "b"}).status, 2);
}

TEST_F(CliFuses, ReadWriteAndDefaultOnTheSimulatedChip)
{
    const CliRun fresh = onChip({"fuses", "read"});
    EXPECT_EQ(fresh.status, 0);
    EXPECT_EQ(fresh.out, kDefaultBytes);
    ASSERT_EQ(fresh.err.size(), 2);
    EXPECT_TRUE(fresh.err[0].startsWith("001:FUSERead Complete! ("));
    EXPECT_TRUE(fresh.err[1].startsWith("002:LOCKRead Complete! ("));

    const CliRun written = onChip({"fuses", "write", "--fuse", "0=0xE2", "--fuse=2=0xFD", "--lock", "0x3C"});
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(written.out, (QStringList{"fuse\t0\tLOW\t0xE2", "fuse\t1\tHIGH\t0xD9", "fuse\t2\tEXTENDED\t0xFD",
                                        "lock\t3\tLOCKBIT\t0x3C"}));
    EXPECT_EQ(onChip({"fuses", "read"}).out, written.out);

    // Only the lock named: the fuse bytes on the chip stay as they are.
    EXPECT_EQ(onChip({"fuses", "write", "--lock", "0x0C"}).status, 0);
    const CliRun lockOnly = onChip({"fuses", "read"});
    EXPECT_EQ(lockOnly.out[0], "fuse\t0\tLOW\t0xE2");
    EXPECT_EQ(lockOnly.out[3], "lock\t3\tLOCKBIT\t0x0C");

    // Lock bits programmed lock the fuse bytes until an erase: the write
    // that the chip ignored is no success.
    const CliRun ignored = onChip({"fuses", "write", "--fuse", "0=0x62"});
    EXPECT_EQ(ignored.status, 1);
    EXPECT_TRUE(ignored.err.join('\n').contains("written 0x62 0xD9 0xFD, read back 0xE2 0xD9 0xFD"))
        << ignored.err.join('\n').toStdString();
    EXPECT_FALSE(ignored.err.join('\n').contains("FUSEWrite Complete!"));
    ASSERT_EQ(onChip({"erase"}).status, 0);
    ASSERT_EQ(onChip({"fuses", "write", "--lock", "0x3F"}).status, 0);

    // The lock byte printed is the chip's, read in the same job.
    const CliRun reset = onChip({"fuses", "default"});
    EXPECT_EQ(reset.status, 0);
    ASSERT_EQ(reset.err.size(), 2);
    EXPECT_TRUE(reset.err[0].startsWith("001:LOCKRead Complete! ("));
    EXPECT_TRUE(reset.err[1].startsWith("002:FUSEWrite Complete! ("));
    EXPECT_EQ(reset.out[3], "lock\t3\tLOCKBIT\t0x3F");
    const CliRun after = onChip({"fuses", "read"});
    EXPECT_EQ(after.out.mid(0, 3), kDefaultBytes.mid(0, 3));
    EXPECT_EQ(after.out[3], "lock\t3\tLOCKBIT\t0x3F") << "the lock byte is not part of the defaults";
}

// The auto sequence's fuse step writes the description's fuse bytes, shown
// before the run, and a lock byte only when one is named.
TEST_F(CliFuses, AutoFuseStepLoadsTheChipsDescription)
{
    const QString image = dir.filePath(QStringLiteral("img.bin"));
    ASSERT_TRUE(writeBytes(image, QByteArray(256, char(0x5A))));
    ASSERT_EQ(onChip({"fuses", "write", "--fuse", "0=0xE2", "--lock", "0x3F"}).status, 0);

    const CliRun fuses = onChip({"auto", image, "--fuse"});
    EXPECT_EQ(fuses.status, 0) << fuses.err.join('\n').toStdString();
    EXPECT_TRUE(fuses.err.contains("fuse step: fuse bytes 0x62 0xD9 0xFF")) << fuses.err.join('\n').toStdString();
    const CliRun afterFuses = onChip({"fuses", "read"});
    EXPECT_EQ(afterFuses.out.mid(0, 3), kDefaultBytes.mid(0, 3));
    EXPECT_EQ(afterFuses.out[3], "lock\t3\tLOCKBIT\t0x3F") << "no lock byte named, none written";

    const CliRun locked = onChip({"auto", image, "--fuse", "--lock", "0x0C"});
    EXPECT_EQ(locked.status, 0);
    EXPECT_TRUE(locked.err.contains("fuse step: fuse bytes 0x62 0xD9 0xFF, lock byte 0x0C"));
    EXPECT_EQ(onChip({"fuses", "read"}).out[3], "lock\t3\tLOCKBIT\t0x0C");

    EXPECT_EQ(onChip({"auto", image, "--lock", "0x0C"}).status, 2) << "a lock byte needs the fuse step";
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("xml/0.xml"))));
    const CliRun missing = onChip({"auto", image, "--fuse"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(onChip({"fuses", "read"}).status, 1) << "still no description";
}

TEST_F(CliFuses, BadArgumentsAndMissingDescription)
{
    for (const QStringList& args : {QStringList{"fuses"}, QStringList{"fuses", "erase"}, QStringList{"fuses", "read", "x"},
                                    QStringList{"fuses", "write", "--fuse", "3=0x00"},
                                    QStringList{"fuses", "write", "--fuse", "0=0x100"},
                                    QStringList{"fuses", "write", "--fuse", "0"}, QStringList{"fuses", "write", "--lock"},
                                    QStringList{"fuses", "write", "--fuse", "1=0xDF", "--fuse", "1=0xD9"},
                                    QStringList{"fuses", "write", "--lock", "0x3C", "--lock", "0x3F"},
                                    QStringList{"auto", "--fuse", "--lock", "0x3C", "--lock", "0x3F"},
                                    QStringList{"fuses", "write", "--bogus"}})
        EXPECT_EQ(onChip(args).status, 2) << args.join(' ').toStdString();

    const CliRun noChip = run({"--simulate", "--sim-empty", "fuses", "read"});
    EXPECT_EQ(noChip.status, 1);
    EXPECT_TRUE(noChip.out.isEmpty());

    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("xml/0.xml"))));
    const CliRun missing = onChip({"fuses", "read"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_EQ(run({"fuse-description"}).status, 1);
}

} // namespace

namespace {

TEST_F(CliFuses, ReadAsJson)
{
    const CliRun r = onChip({"fuses", "read", "--json"});
    ASSERT_EQ(r.status, 0) << r.err.join('\n').toStdString();
    const QJsonArray bytes = QJsonDocument::fromJson(r.out.join('\n').toUtf8()).object()["bytes"].toArray();
    ASSERT_EQ(bytes.size(), 4);
    EXPECT_EQ(bytes[0].toObject()["name"].toString(), "LOW");
    EXPECT_EQ(bytes[0].toObject()["value"].toInt(), 0x62);
    EXPECT_EQ(bytes[0].toObject()["value_hex"].toString(), "0x62");
    EXPECT_EQ(bytes[3].toObject()["kind"].toString(), "lock");
    EXPECT_EQ(onChip({"fuses", "read", "--lock", "0x3F"}).status, 2) << "--lock goes with write";
}

} // namespace
