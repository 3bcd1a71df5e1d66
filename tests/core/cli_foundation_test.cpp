#include "cli/Cli.h"
#include "app/SimulatorOptions.h"
#include "app/WindowCommandLine.h"
#include "support/SystemTree.h"
#include "support/TestChipEntry.h"
#include "support/QtPrinting.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
    QStringList errLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    QStringList outLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

// Runs the front end in-process beside the bundled chip list.
CliRun cli(const QStringList& args, const QString& programDir = QStringLiteral(KTR_BINARY_DIR))
{
    CliRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = runCli(args, programDir, out, err, false);
    out.flush();
    err.flush();
    return r;
}

// The same with the standard streams' data: `in` behind "-" as IN, what
// "-" as OUT received in `data`.
struct StreamRun : CliRun {
    QByteArray data;
};

// What doctor sees of the system in these runs: a USB bus without the programmer.
const UsbSetupPaths* withoutProgrammer()
{
    static const SystemTree tree;
    static const UsbSetupPaths paths = (tree.usbBus(), tree.paths());
    return &paths;
}

StreamRun cliWithData(const QStringList& args, QByteArray in = {})
{
    StreamRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    QBuffer input(&in);
    QBuffer output(&r.data);
    input.open(QIODevice::ReadOnly);
    output.open(QIODevice::WriteOnly);
    r.status = runCli(args, ProgramFiles(QStringLiteral(KTR_BINARY_DIR)),
                      CliStreams{out, err, false, &input, &output, nullptr, withoutProgrammer()});
    out.flush();
    err.flush();
    return r;
}

QStringList bundledLines()
{
    QFile f(QStringLiteral(KTR_SOURCE_DIR "/data/chips.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The bundled chips whose key (as the importer builds it) contains text.
int bundledMatching(const QString& text)
{
    int n = 0;
    for (const QString& line : bundledLines()) {
        const QStringList f = line.split(QLatin1Char('\t'));
        const QString key = QStringList{f.value(0), f.value(1), f.value(2), f.value(14)}.join(QLatin1Char(','));
        n += key.contains(text) ? 1 : 0;
    }
    return n;
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

TEST(CliProbe, TraceOfAnEmptySocketShowsEveryReport)
{
    const CliRun r = cli({"--simulate", "--sim-empty", "--trace", "probe"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    const QStringList lines = r.errLines();
    ASSERT_EQ(lines.size(), 31);
    EXPECT_EQ(lines.last(), "No chips detected, please put the chip to try again!");

    const QRegularExpression report(QStringLiteral("^[<>] [0-9A-F]{2}( [0-9A-F]{2}){63}$"));
    const char* codes[] = {"09", "0B", "0A"};
    for (int i = 0; i < 30; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(report.match(lines[i]).hasMatch()) << lines[i].toStdString();
        const bool sent = i % 2 == 0;
        EXPECT_EQ(lines[i].left(2), sent ? "> " : "< ");
        if (sent) {
            const int n = i / 2;
            const QString expectedStart = QStringLiteral("> 01 %1 %2").arg(QLatin1String(codes[n % 3])).arg(n / 3, 2, 10, QLatin1Char('0'));
            EXPECT_TRUE(lines[i].startsWith(expectedStart)) << lines[i].left(12).toStdString();
        }
    }
}

TEST(CliProbe, ChipInTheSocketAndTheFaultsOfTheLink)
{
    // The first chip of the list is in the socket.
    const QStringList first = bundledLines().value(0).split(QLatin1Char('\t'));
    ASSERT_EQ(first.value(6), "0") << "the bundled list starts with a flash";
    const uint id = first.value(3).toUInt(nullptr, 16);
    CliRun r = cli({"--simulate", "probe"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString::asprintf("class: 0\nid: 01 %02X %02X %02X 01\n", id >> 16, (id >> 8) & 0xFF, id & 0xFF));

    r = cli({"--simulate", "--sim-chip", "24_eeprom,atmel,at24c02", "probe"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("class: 1\n")));

    // A reply that never came is a missing programmer, not an empty socket.
    r = cli({"--simulate", "--sim-fault", "get@2", "probe"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errLines(), QStringList({"Not connected", "Broken pipe (simulated fault at report 2)"}));
    // Report 4 is the first ReadId's reply: the trace shows what did cross.
    r = cli({"--simulate", "--sim-fault=unplug@4", "--trace", "probe"});
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.errLines().size(), 6) << "three reports, the failed fourth, then the message and its reason";
    EXPECT_EQ(r.errLines()[3], "< 01 failed") << "a reply that never came shows its report number only";
    EXPECT_FALSE(r.errLines()[2].endsWith("failed"));
    EXPECT_EQ(r.errLines().mid(4), QStringList({"Not connected",
                                                "No such device (the simulated programmer was unplugged at report 4)"}));
    // A set that fails shows the bytes it tried to send.
    r = cli({"--simulate", "--sim-fault=set@3", "--trace", "probe"});
    EXPECT_EQ(r.status, 1);
    ASSERT_GE(r.errLines().size(), 3);
    EXPECT_TRUE(r.errLines()[2].startsWith("> 01 0B ")) << r.errLines()[2].toStdString();
    EXPECT_TRUE(r.errLines()[2].endsWith(" failed"));

    r = cli({"--lang", "0", "--simulate", "--sim-empty", "probe"});
    EXPECT_EQ(r.errLines(), QStringList{QStringLiteral("没有检测到芯片，请放置芯片再试！")});

    r = cli({"--simulate", "--sim-chip", "NO,SUCH,CHIP", "probe"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("NO,SUCH,CHIP")));
}

TEST(CliListChips, PrintsTheBundledListAndFiltersIt)
{
    const QStringList source = bundledLines();
    ASSERT_FALSE(source.isEmpty());
    const CliRun all = cli({"list-chips"});
    EXPECT_EQ(all.status, 0);
    QStringList lines = all.outLines();
    ASSERT_EQ(lines.size(), source.size() + 1);
    EXPECT_EQ(lines.takeFirst(), "# index\ttype\tmanufacturer\tmodel\tid\tflash_bytes\tflash_page\tclass\tsubtype\t"
                                 "erase_delay\teeprom_bytes\teeprom_page\tinterface\tvoltage");
    for (int i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        const QStringList got = lines[i].split(QLatin1Char('\t'));
        const QStringList want = source[i].split(QLatin1Char('\t'));
        ASSERT_GE(got.size(), 8);
        EXPECT_EQ(got[0], QString::number(i));
        EXPECT_EQ(got.mid(1, 3), want.mid(0, 3));
        EXPECT_EQ(got[4].toUInt(nullptr, 16), want[3].toUInt(nullptr, 16));
        EXPECT_EQ(got[5], want[4]);
    }

    // The filter looks at the whole key in any case, trimmed; the header stays.
    struct Filter {
        const char* text;
        const char* matching;
    };
    for (const Filter f : {Filter{"W25", "W25"}, Filter{"w25", "W25"}, Filter{"  W25Q64 ", "W25Q64"},
                           Filter{"flash,win", "FLASH,WIN"}}) {
        SCOPED_TRACE(f.text);
        const int expected = bundledMatching(QLatin1String(f.matching));
        ASSERT_GT(expected, 0);
        ASSERT_LT(expected, source.size());
        const CliRun r = cli({"list-chips", f.text});
        EXPECT_EQ(r.outLines().size(), expected + 1);
        for (const QString& l : r.outLines().mid(1))
            EXPECT_TRUE(QString(l).replace('\t', ',').contains(QLatin1String(f.matching), Qt::CaseInsensitive));
    }
    const CliRun blank = cli({"list-chips", " "});
    EXPECT_EQ(blank.status, 0);
    EXPECT_EQ(blank.outLines().size(), 1) << "a blank filter lists nothing";
}

TEST(CliListChips, DamagedOrMissingChipList)
{
    QTemporaryDir dir;
    const QString dat = dir.filePath(QStringLiteral("bad.Dat"));
    ASSERT_TRUE(writeBytes(dat, entryBytes(chipNamed("A,B,C")) + entryBytes(chipNamed("D,E,F")) + QByteArray(1, 'x')));
    CliRun r = cli({"--db", dat, "list-chips"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.errLines(), QStringList{"The configuration file was destroyed."});

    // Without a list beside the program there is simply nothing to list.
    r = cli({"list-chips"}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.outLines().size(), 1);
    EXPECT_TRUE(r.out.startsWith("# index\t"));
    EXPECT_TRUE(r.err.isEmpty());
}

TEST(CliChipText, ExportOfTheBundledListIsItsSourceAndImportReadsItBack)
{
    QTemporaryDir dir;
    const QString txt = dir.filePath(QStringLiteral("out.txt"));
    CliRun r = cli({"export-chips", txt});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.errLines(), QStringList{QStringLiteral("The chip list was exported.")});
    EXPECT_EQ(readText(txt).split(QLatin1Char('\n'), Qt::SkipEmptyParts), bundledLines());

    const QString dat = dir.filePath(QStringLiteral("again.Dat"));
    r = cli({"import-chips", txt, dat});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QFileInfo(dat).size(), (bundledLines().size() + 1) * 68) << "the chips and one end entry";
    EXPECT_EQ(cli({"--db", dat, "list-chips"}).out, cli({"list-chips"}).out);

    // The same through the standard streams.
    const StreamRun exported = cliWithData({"export-chips", "-"});
    EXPECT_EQ(exported.status, 0);
    EXPECT_EQ(exported.data, readText(txt).toUtf8());
    const StreamRun imported = cliWithData({"import-chips", "-", "-"}, exported.data);
    EXPECT_EQ(imported.status, 0) << imported.err.toStdString();
    QFile again(dat);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(imported.data, again.readAll());
}

TEST(CliChipText, ImportRefusesBadInputAndWritesNothing)
{
    QTemporaryDir dir;
    const QString txt = dir.filePath(QStringLiteral("in.txt"));
    const QString dat = dir.filePath(QStringLiteral("out.Dat"));
    ASSERT_TRUE(writeBytes(txt, "A\tB\tC\t0x1\t12a\t1\t0\t0\t0\t0\t0\t0\t0\t1\t0\n"));
    CliRun r = cli({"import-chips", txt, dat});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errLines(), QStringList{"'12a' is not a valid integer value"});
    EXPECT_FALSE(QFile::exists(dat));

    ASSERT_TRUE(writeBytes(txt, QByteArray(48, 'k') + "\tB\tC\t0\t1\t1\t0\t0\t0\t0\t0\t0\t0\t1\t0\n"));
    r = cli({"import-chips", txt, dat});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("A chip's type, manufacturer, model and association field, with the commas between them, exceed 47 bytes")));
    EXPECT_FALSE(QFile::exists(dat));

    // An empty field or a blank inside one would move the later fields into
    // other columns (a Flash size read as a page size): the line is named.
    const QByteArray good = "A\tB\tC\t0x1\t4096\t256\t0\t0\t0\t0\t0\t0\t0\t1\t0";
    for (const auto& [line, says] : {std::pair{good + "\n" + "A\tB\tC\t0x1\t\t256\t0\t0\t0\t0\t0\t0\t0\t1\t0\n",
                                               "line 2: field 5 is empty"},
                                     std::pair{"A\tB\tW25Q 64\t0x1\t4096\t256\t0\t0\t0\t0\t0\t0\t0\t1\t0\n" + good,
                                               "line 1: field 3 is empty or holds a blank"},
                                     std::pair{good + "\n\n", "line 2: field 1 is empty"},
                                     std::pair{QByteArray("A\tB\tC\t0x1\t4096\n"), "line 1: field 6 is empty"}}) {
        ASSERT_TRUE(writeBytes(txt, line));
        r = cli({"import-chips", txt, dat});
        EXPECT_EQ(r.status, 1) << says;
        EXPECT_TRUE(r.err.startsWith(QString::fromLatin1(says))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(dat));
    }
    ASSERT_TRUE(writeBytes(txt, good + "\t\t\n"));
    EXPECT_EQ(cli({"import-chips", txt, dat}).status, 0) << "empty fields after the fifteenth, as the export writes";
    QFile::remove(dat);

    r = cli({"import-chips", dir.filePath(QStringLiteral("missing.txt")), dat});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errLines(), (QStringList{"Cannot read the file " + dir.filePath("missing.txt"), "No such file or directory"}));
    EXPECT_FALSE(QFile::exists(dat));
}

TEST(CliUsage, BadCommandLinesExitWithTwo)
{
    const QList<QStringList> bad = {
        {},
        {"frobnicate"},
        {"list-chips", "a", "b"},
        {"probe", "extra"},
        {"--lang", "7", "list-chips"},
        {"--lang"},
        {"--db"},
        {"--sim-empty", "probe"},
        {"--simulate", "--sim-fault", "bogus", "probe"},
        {"--simulate", "--sim-fault", "set@0", "probe"},
        {"import-chips", "only-one"},
        {"export-chips"},
    };
    for (const QStringList& args : bad) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const CliRun r = cli(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(QStringLiteral("usage: ktr4180-cli"))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(WindowCommandLine, EachLineGivesItsActionOptionsAndFile)
{
    using A = WindowCommandLine::Action;
    const struct {
        QStringList args;
        A action;
        const char* errorHas;
    } lines[] = {
        {{}, A::Run, ""},
        {{"image.bin"}, A::Run, ""},
        {{"--simulate=state.txt", "--sim-chip", "SPI_FLASH,WINBOND,W25Q64", "--sim-fault", "get@3",
          "--sim-fault=unplug@9", "x.hex"}, A::Run, ""},
        {{"--simulate", "--sim-empty"}, A::Run, ""},
        {{"-h"}, A::Help, ""},
        {{"--bogus", "--help"}, A::Help, ""},
        {{"--version", "a", "b"}, A::Version, ""},
        {{"--bogus"}, A::Error, "Unknown option 'bogus'"},
        {{"-x"}, A::Error, "Unknown option 'x'"},
        {{"a.bin", "b.bin"}, A::Error, "Only one data file can be opened: b.bin"},
        {{"--sim-chip", "A,B,C"}, A::Error, "go with --simulate"},
        {{"--simulate", "--sim-fault", "bogus"}, A::Error, "--sim-fault takes"},
        {{"--sim-chip"}, A::Error, "Missing value after '--sim-chip'"},
        {{"--simulate", "--sim-fill", "random:7", "--sim-slow-erase", "3000", "--sim-fault", "short@5"}, A::Run, ""},
        {{"--sim-fill", "random"}, A::Error, "go with --simulate"},
        {{"--sim-slow-erase", "10"}, A::Error, "go with --simulate"},
        {{"--simulate", "--sim-fill", "random:x"}, A::Error, "--sim-fill takes erased, random or random:SEED"},
        {{"--simulate", "--sim-fill", "zeros"}, A::Error, "--sim-fill takes"},
        {{"--simulate", "--sim-slow-erase", "0"}, A::Error, "--sim-slow-erase takes milliseconds, 1 to 600000"},
        {{"--simulate", "--sim-fault", "short@0"}, A::Error, "--sim-fault takes set@N, get@N, short@N or unplug@N"},
        {{"--simulate", "--sim-latency", "-1"}, A::Error, "--sim-latency takes milliseconds, 0 to 10000"},
    };
    for (const auto& l : lines) {
        SCOPED_TRACE(l.args.join(QLatin1Char(' ')).toStdString());
        WindowCommandLine line{QStringLiteral("9.8.7")};
        EXPECT_EQ(line.parse(l.args), l.action);
        EXPECT_TRUE(line.error().contains(QLatin1String(l.errorHas))) << line.error().toStdString();
        EXPECT_EQ(line.error().isEmpty(), l.action != A::Error);
    }

    WindowCommandLine line{QStringLiteral("9.8.7")};
    EXPECT_EQ(line.versionText(), QStringLiteral("ktr4180 9.8.7"));
    ASSERT_EQ(line.parse({"--simulate=state.txt", "--sim-chip", "SPI_FLASH,WINBOND,W25Q64", "--sim-fault", "get@3",
                          "--sim-fault=unplug@9", "x.hex"}),
              A::Run);
    const SimulatorOptions& sim = line.simulator();
    EXPECT_TRUE(sim.simulate);
    EXPECT_EQ(sim.state, QStringLiteral("state.txt"));
    EXPECT_EQ(sim.chip, QStringLiteral("SPI_FLASH,WINBOND,W25Q64"));
    ASSERT_EQ(sim.faults.size(), 2u);
    EXPECT_EQ(sim.faults[0].kind, SimulatedProgrammer::Fault::Kind::Get);
    EXPECT_EQ(sim.faults[1].kind, SimulatedProgrammer::Fault::Kind::Unplug);
    EXPECT_EQ(sim.faults[1].atReport, 9);
    EXPECT_EQ(line.dataFile(), QFileInfo(QStringLiteral("x.hex")).absoluteFilePath());
    // Each parse starts afresh.
    ASSERT_EQ(line.parse({"--simulate", "--sim-empty"}), A::Run);
    EXPECT_TRUE(sim.empty && sim.state.isEmpty() && !sim.chip && sim.faults.empty());
    EXPECT_TRUE(line.dataFile().isEmpty());
    // The values of the options both front ends share, the later one winning.
    ASSERT_EQ(line.parse({"--simulate", "--sim-fill", "random", "--sim-fill=random:0x10", "--sim-slow-erase",
                          "3000", "--sim-fault", "short@5", "--sim-latency", "20", "--sim-protect"}),
              A::Run);
    EXPECT_EQ(sim.fillSeed, std::optional<uint32_t>(16));
    EXPECT_EQ(sim.slowEraseMs, 3000);
    EXPECT_EQ(sim.latencyMs, 20);
    EXPECT_TRUE(sim.protect);
    ASSERT_EQ(sim.faults.size(), 1u);
    EXPECT_EQ(sim.faults[0].kind, SimulatedProgrammer::Fault::Kind::Short);
    EXPECT_EQ(sim.faults[0].atReport, 5);
    ASSERT_EQ(line.parse({"--simulate", "--sim-fill", "random"}), A::Run);
    EXPECT_EQ(sim.fillSeed, std::optional<uint32_t>(1)) << "random alone is seed 1";
}

// The window's --sim-chip takes the names the terminal's --chip takes.
TEST(WindowCommandLine, SimulatedChipByTheTerminalsNames)
{
    ChipTable table;
    table[0] = chipNamed("SPI_FLASH,WINBOND,W25Q64JV");
    table[1] = chipNamed("SPI_FLASH,WINBOND,W25Q64FV");
    table[2] = chipNamed("24_EEPROM,ATMEL,AT24C02");
    table[3] = chipNamed("24_EEPROM,MICROCHIP,AT24C02");
    const struct {
        const char* name;
        int index;
        const char* errorHas;
    } cases[] = {
        {"W25Q64JV", 0, ""},
        {"winbond w25q64fv", 1, ""},
        {"24_eeprom,atmel,at24c02", 2, ""},
        {"microchip AT24C02", 3, ""},
        {"AT24C02", -1, "fits several chips; name one of them with --sim-chip:\n  24_EEPROM,ATMEL,AT24C02\n"},
        {"W25Q64", -1, "No chip named \"W25Q64\" in the chip list.\nClosest models: W25Q64JV, W25Q64FV"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_EQ(simulatedChipIndex(table, QString::fromUtf8(c.name), error), c.index);
        EXPECT_TRUE(error.contains(QLatin1String(c.errorHas))) << error.toStdString();
        EXPECT_EQ(error.isEmpty(), c.index >= 0);
    }
}

// How a person meets the command line: each line with its exit status and
// the line it must print, on stdout ('o') or stderr ('e').
TEST(CliUsage, CommandLinesTheirStatusAndWhatTheySay)
{
    QTemporaryDir dir;
    struct Case {
        QStringList args;
        int status;
        char stream;
        QString says;
    };
    const QString missingFolder = dir.filePath("no/such/folder/out.bin");
    const QString image = dir.filePath("img.bin");
    writeBytes(image, QByteArray(300, 'k'));
    const QString onlyForce = "Only --force goes on with this chip.";
    const QString flashFor = "The chip in the socket (class 0, ID = 0xEF4012) is not the chosen chip ";
    const QString signatureOfFlash = "The chip in the socket (signature 0xEF4012) is not the chosen chip ATMEL ATmega8";
    const QString existing = dir.filePath("old.bin"), readOnly = dir.filePath("ro.bin");
    const QString comma = dir.filePath("comma.txt");
    writeBytes(existing, "old");
    writeBytes(readOnly, "keep");
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    writeBytes(comma, "SPI_FLASH\tWINBOND\tW25Q64JV\t0xEF4017\t8388608\t256\t0\t0\t2000\t0\t0\t0\t2000\t1\t0\n"
                      "SPI_FLASH\tWINBOND\tW25Q,64\t0xEF4017\t8388608\t256\t0\t0\t2000\t0\t0\t0\t2000\t1\t0\n");
    const QList<Case> cases = {
        {{"--help"}, 0, 'o', "Usage: ktr4180-cli [OPTIONS] COMMAND [ARGUMENTS]\n"},
        {{"-h"}, 0, 'o', "\n  read OUT  "},
        {{"read", "--help"}, 0, 'o', "Usage: ktr4180-cli [OPTIONS] read [--eeprom] [--full] [--check [--reads N]] [--json] [--format FORMAT] OUT\n"},
        {{"help", "convert"}, 0, 'o', "      --in-format FORMAT"},
        {{"--help-all"}, 0, 'o', "\nOptions of auto:\n"},
        {{"--version"}, 0, 'o', "ktr4180-cli 1."},
        {{"--bogus", "list-chips"}, 2, 'e', "ktr4180-cli: Unknown option 'bogus'."},
        {{"list-chips", "--eeprom"}, 2, 'e', "Unknown option 'eeprom'. (\"ktr4180-cli list-chips --help\" lists its options)"},
        {{"frob"}, 2, 'e', "unknown command 'frob'"},
        {{}, 2, 'e', "no command given"},
        {{"help", "frob"}, 2, 'e', "unknown command 'frob'"},
        {{"convert", "a"}, 2, 'e', "convert: missing OUT"},
        {{"probe", "x"}, 2, 'e', "probe: unexpected argument 'x'"},
        {{"--db"}, 2, 'e', "Missing value after '--db'."},
        {{"--lang", "9", "list-chips"}, 2, 'e', "--lang takes 0 (zh_CN), 1 (zh_TW) or 2 (en), not '9'"},
        {{"--sim-latency", "5", "probe"}, 2, 'e', "go with --simulate"},
        {{"--sim-fill", "random:7", "probe"}, 2, 'e', "go with --simulate"},
        {{"--simulate", "--sim-fault", "short@x", "probe"}, 2, 'e', "--sim-fault takes set@N, get@N, short@N or unplug@N"},
        {{"--simulate", "--sim-slow-erase", "600001", "probe"}, 2, 'e', "--sim-slow-erase takes milliseconds, 1 to 600000"},
        // Report 6 is the reply to the probe's first Finish: cut short, no chip is seen.
        {{"--simulate", "--chip", "w25q64jv", "--sim-fault", "short@5", "read", dir.filePath("short.bin")}, 1, 'e',
         "Not connected\nThe programmer answered 32 of 64 bytes.\n"},
        {{"convert", "--format", "xyz", "a", "b"}, 2, 'e', "--format takes bin, hex, srec or cap, not 'xyz'"},
        {{"--", "list-chips", "W25Q64JV"}, 0, 'o', "\tWINBOND\tW25Q64JV\t0xEF4017\t"},
        {{"list-chips", "--", "-"}, 0, 'o', "# index\t"},
        // A chip by its key, "MANUFACTURER MODEL" or its model, in any case.
        {{"--simulate", "--chip", "spi_flash,winbond,w25q64jv", "blank"}, 0, 'e', "Bank Complete!"},
        {{"--simulate", "-c", "Winbond w25q64jv", "blank"}, 0, 'e', "Bank Complete!"},
        {{"--simulate", "-cw25q64jv", "blank"}, 0, 'e', "Bank Complete!"},
        {{"--simulate", "--chip", "w25q64", "blank"}, 2, 'e', "Closest models: W25Q64JV, W25Q64BV"},
        {{"--simulate", "--chip", "w25q64", "blank"}, 2, 'e', "No chip named \"w25q64\" in the chip list."},
        {{"--simulate", "--chip-id", "0x123456", "blank"}, 2, 'e', "No chip with the identifier 0x123456"},
        {{"--simulate", "--sim-chip", "nosuch", "probe"}, 1, 'e', "No chip named \"nosuch\""},
        {{"--simulate", "--chip", "w25q64jv", "auto", "x.bin"}, 2, 'e', "auto needs at least one step: --unprotect"},
        {{"--simulate", "--chip", "w25q64jv", "auto", "--lock", "1", "--erase", "x.bin"}, 2, 'e', "--lock goes with --fuse"},
        {{"--simulate", "--chip", "w25q64jv", "fuses", "burn"}, 2, 'e', "fuses takes read, write or default, not 'burn'"},
        // Steps that would do nothing, or write what nobody named, and fuses of a chip without any.
        {{"--simulate", "--trace", "--chip", "w25q64jv", "auto", "--sn", "5", image}, 2, 'e', "--sn goes with --write-flash"},
        {{"--simulate", "--trace", "--chip", "atmega8", "auto", "--write-eeprom", image}, 2, 'e',
         "--write-eeprom/--verify-eeprom need the EEPROM data: --eeprom-file IN2"},
        {{"--simulate", "--trace", "--chip", "atmega8", "auto", "--write-flash", "--verify-eeprom", image}, 2, 'e',
         "need the EEPROM data"},
        {{"--simulate", "--trace", "--chip", "w25q20cl", "fuses", "write", "--fuse", "1=0xDF"}, 2, 'e',
         "The chosen chip has no fuse bytes; nothing was sent."},
        {{"--simulate", "--trace", "--chip", "w25q20cl", "fuses", "default"}, 2, 'e', "no fuse bytes"},
        {{"--simulate", "--trace", "--chip", "w25q20cl", "auto", "--fuse", image}, 2, 'e', "no fuse bytes"},
        {{"--simulate", "--trace", "--chip", "atmega8", "fuses", "write"}, 2, 'e', "fuses write takes the bytes to write"},
        {{"--simulate", "--trace", "--chip", "atmega8", "write", "--erase", "--eeprom", image}, 2, 'e',
         "--erase erases the Flash; it does not go with --eeprom"},
        // write --preserve: its options, and a file that would not fit, before anything is sent.
        {{"--simulate", "--trace", "--chip", "w25q64jv", "write", "--at", "0x100", image}, 2, 'e',
         "--at and --backup go with --preserve"},
        {{"--simulate", "--trace", "--chip", "atmega8", "write", "--preserve", "--eeprom", image}, 2, 'e',
         "--preserve keeps the Flash's bytes and verifies them; it does not go with --eeprom or --no-verify"},
        {{"--simulate", "--trace", "--chip", "w25q64jv", "write", "--preserve", "--at", "-4", image}, 2, 'e',
         "--at takes an address such as 0x10000, not '-4'"},
        {{"--simulate", "--trace", "--chip", "w25q64jv", "write", "--preserve", "--backup", image, image}, 2, 'e',
         "--backup names a file of its own, neither IN nor standard output"},
        {{"--simulate", "--trace", "--chip", "w25q64jv", "write", "--preserve", "--backup", "/dev/null", image}, 2, 'e',
         "--backup names a regular file, not a pipe or a device"},
        {{"--simulate", "--trace", "--chip", "w25q20cl", "write", "--preserve", "--at", "0x3FF00", "--backup",
          dir.filePath("b.bin"), image},
         1, 'e', "The file (3FF00h-4002Bh) runs past the chip's end (262144 bytes): nothing was sent."},
        {{"--simulate", "--trace", "--chip", "w25q64jv", "read", "--reads", "1", dir.filePath("r.bin")}, 2, 'e',
         "--reads takes a number of reads, 2 to 100, not '1'"},
        {{"--simulate", "--sim-unstable", "0x12G", "probe"}, 2, 'e', "--sim-unstable takes an address such as 0x1234"},
        {{"--sim-unstable", "0x12", "probe"}, 2, 'e', "go with --simulate"},
        {{"--simulate", "--trace", "--chip", "w25q64jv", "read", "--json", "-"}, 2, 'e',
         "--json prints on standard output: OUT must be a file, not \"-\""},
        {{"--simulate", "--trace", "--production-log", dir.path(), "auto", "--erase", image}, 1, 'e',
         "The production log could not be written: " + dir.path() + "\nIs a directory"},
        // An SPI flash in the socket: no other chip's command reads or changes it without --force.
        {{"--simulate", "--sim-chip", "w25q20cl", "--chip", "atmega8", "read", dir.filePath("a.bin")}, 1, 'e',
         signatureOfFlash},
        {{"--simulate", "--sim-chip", "w25q20cl", "--chip", "atmega8", "erase"}, 1, 'e', onlyForce},
        {{"--simulate", "--sim-chip", "w25q20cl", "--chip", "atmega8", "fuses", "read"}, 1, 'e', signatureOfFlash},
        {{"--simulate", "--sim-chip", "w25q20cl", "--chip", "atmega8", "--force", "auto", "--write-flash", image}, 0, 'e',
         signatureOfFlash + " (signature 0x1E9307). Go on with the chip in the socket? yes (--force)"},
        {{"--simulate", "--sim-chip", "w25q20cl", "--chip", "93c46-8bit-pe0", "blank"}, 1, 'e',
         flashFor + "GENERIC 93C46-8BIT-PE0 (class 2, ID = 0x000000)."},
        {{"--simulate", "--sim-chip", "w25q20cl", "--chip", "93c46-8bit-pe0", "--yes", "write", image}, 1, 'e', onlyForce},
        {{"--simulate", "--sim-chip", "w25q20cl", "--chip", "at24c02", "verify", image}, 1, 'e',
         flashFor + "ATMEL AT24C02 (class 1, ID = 0x000000)."},
        {{"--simulate", "--sim-chip", "w25q20cl", "--chip", "at24c02", "auto", "--erase", image}, 1, 'e', onlyForce},
        {{"--simulate", "--sim-chip", "attiny13", "--chip", "attiny25", "--yes", "write", image}, 1, 'e',
         "The chip in the socket (signature 0x1E9007) is not the chosen chip ATMEL ATtiny25 (signature 0x1E9108)."},
        // Files: the path and the system's reason, before the chip is touched.
        {{"--simulate", "--trace", "read", missingFolder}, 1, 'e',
         "Cannot write the file " + missingFolder + "\nNo such file or directory\n"},
        {{"--simulate", "--trace", "read", dir.path()}, 1, 'e', "Cannot write the file " + dir.path() + "\nIs a directory\n"},
        {{"--simulate", "--chip", "w25q64jv", "write", dir.filePath("none.bin")}, 1, 'e',
         "Cannot read the file " + dir.filePath("none.bin") + "\nNo such file or directory\n"},
        {{"--lang", "0", "--simulate", "--chip", "w25q64jv", "read", "--eeprom", "-"}, 1, 'e', "所选芯片没有EEPROM。"},
        {{"--lang", "en", "--simulate", "--sim-empty", "blank"}, 1, 'e', "No chips detected"},
        {{"--log", missingFolder, "list-chips"}, 1, 'e', "Cannot write the file " + missingFolder + "\n"},
        {{"--log", "/dev/full", "list-chips"}, 1, 'e', "Cannot write the file /dev/full\nNo space left on device\n"},
        {{"--simulate", "--trace", "--yes", "read", readOnly}, 1, 'e', "Cannot write the file " + readOnly + "\nPermission denied\n"},
        {{"convert", image, "/dev/full"}, 1, 'e', "Cannot write the file /dev/full\nNo space left on device\n"},
        {{"--db", dir.filePath("nosuch.Dat"), "list-chips"}, 1, 'e',
         "Cannot read the file " + dir.filePath("nosuch.Dat") + "\nNo such file or directory\n"},
        {{"--db", dir.path(), "list-chips"}, 1, 'e', "Cannot read the file " + dir.path() + "\nIs a directory\n"},
        {{"import-chips", comma, dir.filePath("comma.Dat")}, 1, 'e',
         "line 2: the name \"W25Q,64\" holds a comma, which separates a chip's names; nothing was saved."},
        // Questions that nobody answered say what would have.
        {{"convert", image, existing}, 1, 'e', "File already exists. Is it covered? \n(--yes answers it, --no declines)\n"},
        // A command's options before its word, each with its own value or none.
        {{"--format", "hex", "convert", image, dir.filePath("o.hex")}, 0, 'e', "Open " + image},
        {{"--fuse", "0=0x12", "fuses", "--help"}, 0, 'o', "Usage: ktr4180-cli [OPTIONS] fuses "},
        {{"--erase", "--write-flash", "auto", "--help"}, 0, 'o', "Usage: ktr4180-cli [OPTIONS] auto "},
        {{"--format", "hex", "frob"}, 2, 'e', "unknown command 'frob'"},
        {{"convert", "--help"}, 0, 'o', "start-address records are dropped"},
        {{"list-chips", "winbond w25q64jv"}, 0, 'o', "\tWINBOND\tW25Q64JV\t0xEF4017\t"},
        // auto takes IN only for the steps that use it.
        {{"--simulate", "--chip", "w25q64jv", "--progress=plain", "auto", "--erase"}, 0, 'e', "Erase Flash ..."},
        {{"--simulate", "--chip", "w25q64jv", "auto", "--verify"}, 2, 'e', "auto: --write-flash and --verify need IN"},
        // Plain progress ends with its 100% line; the terminal's wording has its spaces.
        {{"--simulate", "--chip", "w25q64jv", "--progress=plain", "read", "--full", "-"}, 0, 'e', "Read Flash ... 100%\n"},
        {{"--simulate", "--sim-chip", "w25q64jv", "detect"}, 0, 'e', "The chip was detected: W25Q64JV\nChip type: SPI_FLASH\n"},
        {{"--lang", "1", "export-chips", dir.filePath("chips.txt")}, 0, 'e', "配置匯出成功！"},
        // The check of the set-up: one line per check, exit 1 unless all are ok.
        {{"--simulate", "doctor"}, 0, 'o', "ok    Probe: The programmer answers; in the socket: class 0 (SPI flash)"},
        {{"--simulate", "doctor"}, 0, 'o', "ok    Programmer on USB: Simulated programmer: nothing to check here.\n"},
        {{"doctor"}, 1, 'o', "FAIL  Programmer on USB: Not on USB (no device c251:1c01): plug the programmer in"},
        {{"doctor"}, 1, 'o', "FAIL  Probe: Not connected: the programmer does not answer (see the checks above).\n"},
        {{"--lang", "0", "--simulate", "--sim-empty", "doctor"}, 1, 'o',
         QStringLiteral("FAIL  芯片探测: 编程器有应答，但没有芯片应答")},
        {{"doctor", "now"}, 2, 'e', "doctor: unexpected argument 'now'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const StreamRun r = cliWithData(c.args);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        const QString& text = c.stream == 'o' ? r.out : r.err;
        EXPECT_TRUE(text.contains(c.says)) << text.toStdString();
        if (c.status == 2) {
            EXPECT_TRUE(r.out.isEmpty());
        }
        // Refused before anything went to the programmer.
        if (c.args.contains("--trace")) {
            EXPECT_FALSE(r.err.contains("> 01 ")) << r.err.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(missingFolder));
}

// One JSON document on stdout: numbers as numbers, identifiers also as text.
TEST(CliJson, ListProbeAndDetect)
{
    StreamRun r = cliWithData({"list-chips", "--json", "w25q64jv"});
    ASSERT_EQ(r.status, 0);
    QJsonParseError error;
    const QJsonDocument chips = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    ASSERT_EQ(chips.array().size(), bundledMatching("W25Q64JV"));
    const QJsonObject chip = chips.array().first().toObject();
    EXPECT_EQ(chip["model"].toString(), "W25Q64JV");
    EXPECT_EQ(chip["id"].toInteger(), 0xEF4017);
    EXPECT_EQ(chip["id_hex"].toString(), "0xEF4017");
    EXPECT_EQ(chip["flash_bytes"].toInteger(), 8 * 1024 * 1024);
    EXPECT_EQ(QJsonDocument::fromJson(cliWithData({"list-chips", "--json"}).out.toUtf8()).array().size(),
              bundledLines().size());

    r = cliWithData({"--simulate", "--sim-chip", "w25q64jv", "probe", "--json"});
    ASSERT_EQ(r.status, 0);
    const QJsonObject probe = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(probe["class"].toInt(), 0);
    EXPECT_EQ(probe["id"].toInteger(), 0xEF4017);
    EXPECT_EQ(probe["id_bytes_hex"].toString(), "01 EF 40 17 01");
    EXPECT_EQ(probe["id_bytes"].toArray().size(), 5);

    r = cliWithData({"--simulate", "--sim-chip", "w25q64jv", "detect", "--json"});
    ASSERT_EQ(r.status, 0);
    const QJsonObject detect = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(detect["model"].toString(), "W25Q64JV");
    EXPECT_EQ(detect["manufacturer"].toString(), "WINBOND");
    EXPECT_EQ(detect["id_hex"].toString(), "0xEF4017");

    // The check of the set-up: the simulated programmer's system checks say so.
    const QStringList names = {"usb", "hidraw", "access", "udev-rule", "in-use", "probe", "exchange-time"};
    for (const bool simulated : {true, false}) {
        SCOPED_TRACE(simulated ? "simulated" : "no programmer");
        r = cliWithData(simulated ? QStringList{"--simulate", "doctor", "--json"} : QStringList{"doctor", "--json"});
        EXPECT_EQ(r.status, simulated ? 0 : 1);
        const QJsonDocument doctor = QJsonDocument::fromJson(r.out.toUtf8(), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
        const QJsonArray checks = doctor.object()["checks"].toArray();
        ASSERT_EQ(checks.size(), names.size());
        for (int i = 0; i < checks.size(); ++i) {
            const QJsonObject c = checks[i].toObject();
            EXPECT_EQ(c["name"].toString(), names[i]);
            EXPECT_TRUE(c["ok"].isBool());
            EXPECT_FALSE(c["detail"].toString().isEmpty());
            EXPECT_EQ(c["simulated"].toBool(), simulated && i < 5);
            EXPECT_EQ(c["ok"].toBool(), simulated) << c["detail"].toString().toStdString();
        }
    }
}

} // namespace
