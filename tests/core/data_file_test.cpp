// Loading and saving by extension, Open and Save of the active page, and
// the erased areas that hold the buffers.

#include "app/FileWrite.h"
#include "app/ProgramState.h"
#include "buffers/DataFile.h"
#include "buffers/ErasedArea.h"
#include "buffers/OpenSave.h"
#include "device/SimulatedProgrammer.h"
#include "support/DataFileKit.h"
#include "support/FileText.h"
#include "support/RecordingUi.h"
#include "support/RecordingView.h"
#include "support/TestChipEntry.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kHexOneByte[] = ":01000000AA55\r\n:00000001FF\r\n";
constexpr char kSrecOneByte[] = "S1040000AA51\r\nS9030000FC\r\n";

struct Load {
    int32_t value;
    std::vector<uint8_t> area;
    QStringList errors;
};

Load load(const QString& path, qint64 capacity = 4096)
{
    Load r{0, std::vector<uint8_t>(size_t(capacity) + 16, 0xEE), {}};
    RecordingUi ui;
    r.value = LoadFileIntoBuffer(path, r.area.data(), capacity, ui);
    r.errors = ui.errors();
    return r;
}

QByteArray head(const Load& r, qsizetype n) { return QByteArray(reinterpret_cast<const char*>(r.area.data()), n); }

} // namespace

// Each name and content with what it opens as: the bytes stored from 0, and
// the log line of a file known by its content.
TEST(LoadFile, ANameOrElseTheContentDecidesTheFormat)
{
    Scratch s;
    const QByteArray text = "\xEF\xBB\xBF\r\n\r\n";
    const QByteArray raw = QByteArray("S1050000AABB95\n") + patternBytes(40);
    const struct {
        const char* name;
        QByteArray content;
        QByteArray stored;
        const char* log;
    } cases[] = {
        {"DATA.HEX", kHexOneByte, "\xAA", ""},
        {"data.Ihx", kHexOneByte, "\xAA", ""},
        {"data.mcs", kHexOneByte, "\xAA", ""},
        {"data.s19", kSrecOneByte, "\xAA", ""},
        {"data.MOT", kSrecOneByte, "\xAA", ""},
        {"data.src", kSrecOneByte, "\xAA", ""},
        // Raw names stay raw whatever their first byte.
        {"data.hex.bin", kHexOneByte, kHexOneByte, ""},
        {"data.rom", kSrecOneByte, kSrecOneByte, ""},
        // Other names and ".eep" by their content, said in the log.
        {"data", kHexOneByte, "\xAA", "data: read by its content as Intel HEX"},
        {"data.txt", text + kSrecOneByte, "\xAA", "data.txt: read by its content as S-records"},
        {"a.eep", kHexOneByte, "\xAA", "a.eep: read by its content as Intel HEX"},
        {"b.EEP", kSrecOneByte, "\xAA", "b.EEP: read by its content as S-records"},
        {"c.eep", "Xyz", "Xyz", "c.eep: read by its content as raw"},
        {"d.eep", raw, raw, "d.eep: read by its content as raw"},
        {"data.", ":01000000AA56\r\n", ":01000000AA56\r\n", "data.: read by its content as raw"},
    };
    for (const auto& c : cases) {
        RecordingUi ui;
        std::vector<uint8_t> area(256, 0xEE);
        const int32_t n = LoadFileIntoBuffer(s.write(c.name, c.content), area.data(), 256, ui);
        EXPECT_TRUE(ui.errors().isEmpty()) << c.name;
        EXPECT_EQ(n, c.stored.size()) << c.name;
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(area.data()), c.stored.size()), c.stored) << c.name;
        EXPECT_EQ(ui.logs(), *c.log ? QStringList{c.log} : QStringList()) << c.name;
    }
    // A file of nothing is raw and holds nothing.
    const Load empty = load(s.write("e.eep", ""));
    EXPECT_EQ(empty.value, 0);
    EXPECT_TRUE(empty.errors.isEmpty());
}

// Every name of the table opens back the image saved under it, raw names
// and capsules (saved without a header) included, with an image that
// begins like a record and holds an erased run.
TEST(LoadFile, EveryNameOfTheTableOpensBackWhatWasSavedUnderIt)
{
    Scratch s;
    QByteArray image = QByteArray("S1050000AABB95\r\n") + patternBytes(100 * 1000, 5);
    image.replace(5000, 300, QByteArray(300, char(0xFF)));
    int names = 0;
    for (const FileFormat* f = fileFormatsBegin(); f != fileFormatsEnd(); ++f) {
        for (const QString& extension : QString::fromLatin1(f->extensions).split(' ')) {
            for (const QString& name : {"image." + extension, "IMAGE." + extension.toUpper()}) {
                SCOPED_TRACE(name.toStdString());
                RecordingUi ui;
                ASSERT_TRUE(SaveBufferToFile(s.path(name), bytesOf(image), image.size(), ui));
                const QByteArray saved = s.read(name);
                EXPECT_TRUE(f->format == DataFormat::IntelHex ? saved.startsWith(":")
                            : f->format == DataFormat::SRecord ? saved.startsWith("S0")
                                                                : saved == image);
                ErasedArea back(1 << 20);
                EXPECT_EQ(LoadFileIntoBuffer(s.path(name), back, ui), image.size());
                EXPECT_TRUE(ui.errors().isEmpty()) << ui.errors().join('|').toStdString();
                EXPECT_TRUE(QByteArray(reinterpret_cast<const char*>(back.bytes(0, image.size())), image.size()) == image);
                ++names;
            }
        }
    }
    EXPECT_EQ(names, 2 * 17);
}

// The other tools' files, made here from one image, open as the image
// under their names and by their content; a cut-off one is refused.
TEST(LoadFile, OtherToolsFilesOpenByNameAndByContent)
{
    if (srecCat().isEmpty() || objcopy().isEmpty())
        GTEST_SKIP() << "srec_cat (srecord) or objcopy (binutils) not on PATH";
    Scratch s;
    QByteArray image = patternBytes(70000, 11);
    image.replace(0x9000, 0x300, QByteArray(0x300, char(0xFF)));
    const QString bin = s.write("image.bin", image);
    const struct {
        QString program;
        const char* name;
        QStringList args;  // "OUT" stands for the output's path
        const char* edit;  // what is done to the output: "" nothing, "blank" blank lines, "cut" its end cut off
    } makers[] = {
        // S1 and S2 records, an S5 count and no end record; S3 records of 255 bytes.
        {srecCat(), "srec_cat.srec", {bin, "-binary", "-o", "OUT", "-motorola"}, ""},
        {srecCat(), "srec_cat.s37", {bin, "-binary", "-o", "OUT", "-motorola", "-address-length=4", "-obs=250", "-crlf"}, ""},
        {srecCat(), "srec_cat.hex", {bin, "-binary", "-o", "OUT", "-intel", "-obs=255", "-crlf"}, ""},
        {srecCat(), "blank.hex", {bin, "-binary", "-o", "OUT", "-intel"}, "blank"},
        {objcopy(), "objcopy.s19", {"-I", "binary", "-O", "srec", "--srec-len=64", bin, "OUT"}, ""},
        // Type-02 segment records below 1 MiB.
        {objcopy(), "objcopy.ihx", {"-I", "binary", "-O", "ihex", bin, "OUT"}, ""},
        {srecCat(), "cut.srec", {bin, "-binary", "-o", "OUT", "-motorola"}, "cut"},
    };
    for (const auto& m : makers) {
        const QString name = QLatin1String(m.name);
        SCOPED_TRACE(m.name);
        QStringList args = m.args;
        args.replace(args.indexOf("OUT"), s.path(name));
        ASSERT_TRUE(runTool(m.program, args));
        QByteArray text = s.read(name);
        if (QByteArray(m.edit) == "blank")
            text.replace("\n:", "\n\n \r\n:");
        if (QByteArray(m.edit) == "cut")
            text.truncate(text.lastIndexOf("\nS1") + 1);
        s.write(name, text);
        s.write(name + ".txt", text);
        for (const QString& path : {s.path(name), s.path(name + ".txt")}) {
            ErasedArea area(1 << 20);
            RecordingUi ui;
            const int32_t n = LoadFileIntoBuffer(path, area, ui);
            if (QByteArray(m.edit) == "cut") {
                EXPECT_EQ(n, 0);
                EXPECT_EQ(ui.errors().size(), 1);
                EXPECT_TRUE(ui.errors().value(0).contains("(the file may be cut off)"));
                continue;
            }
            EXPECT_TRUE(ui.errors().isEmpty()) << ui.errors().join('|').toStdString();
            EXPECT_EQ(n, image.size());
            EXPECT_TRUE(QByteArray(reinterpret_cast<const char*>(area.bytes(0, n)), n) == image);
        }
    }
}

TEST(LoadFile, RawAndCapsuleSizesAgainstTheCapacity)
{
    Scratch s;
    const QByteArray bytes = patternBytes(100);
    const Load exact = load(s.write("exact.bin", bytes), 100);
    EXPECT_EQ(exact.value, 100);
    EXPECT_EQ(head(exact, 100), bytes);
    EXPECT_EQ(exact.area[100], 0xEE);
    const Load over = load(s.write("over.bin", bytes + 'x'), 100);
    EXPECT_EQ(over.value, 0);
    EXPECT_EQ(over.errors, QStringList{"File is too big for Buffer"});
    EXPECT_EQ(over.area[0], 0xEE);

    const QByteArray image = patternBytes(1000, 4);
    const Load cap = load(s.write("image.CAP", capsuleHeader(2048, 3048) + image), 4096);
    EXPECT_EQ(cap.value, 1000);
    EXPECT_EQ(head(cap, 1000), image);
    // The header counts against the capacity.
    EXPECT_EQ(load(s.write("big.cap", capsuleHeader(2048, 3048) + image), 2048 + 999).errors,
              QStringList{"File is too big for Buffer"});
    // Without a header that fits the file, a ".cap" is raw: all of it is kept.
    for (const QByteArray& header : {capsuleHeader(2048, 3049), capsuleHeader(2047, 3048), capsuleHeader(2048, 2047),
                                     patternBytes(2048, 3)}) {
        const Load notCapsule = load(s.write("raw.cap", header + image), 4096);
        EXPECT_EQ(notCapsule.value, 3048);
        EXPECT_EQ(head(notCapsule, 3048), header + image);
    }
    const Load shortCap = load(s.write("short.cap", patternBytes(100)));
    EXPECT_EQ(shortCap.value, 100);
    EXPECT_TRUE(shortCap.errors.isEmpty());
}

// Standard input tells no size: it is read to the capacity and one byte
// more at most, an endless one too; a capsule's header goes there too.
TEST(LoadStream, ReadsNoMoreThanTheCapacityAndOneByte)
{
    const struct {
        QByteArray stream;
        bool endless;
        DataFormat format;
        int32_t value;
        QByteArray stored;
    } cases[] = {
        {patternBytes(100), false, DataFormat::ByName, 100, patternBytes(100)},
        {patternBytes(5000), false, DataFormat::Raw, 0, {}},
        {patternBytes(7), true, DataFormat::ByName, 0, {}},
        {capsuleHeader(2048, 2100) + patternBytes(52), false, DataFormat::Capsule, 52, patternBytes(52)},
        {kHexOneByte, false, DataFormat::ByName, 1, "\xAA"},
    };
    for (const auto& c : cases) {
        PipeDevice in(c.stream, c.endless);
        ErasedArea area(c.format == DataFormat::Capsule ? 4096 : 1024);
        RecordingUi ui;
        EXPECT_EQ(LoadStreamIntoBuffer(in, area, ui, c.format), c.value) << c.stream.size();
        // What the device reads ahead of its reader is all that comes on top.
        EXPECT_LE(in.given(), area.capacity() + 1 + 16384) << c.stream.size();
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(area.bytes(0, c.stored.size())), c.stored.size()), c.stored);
        EXPECT_EQ(area.at(c.stored.size()), 0xFF) << c.stream.size();
        EXPECT_EQ(ui.errors(), c.value ? QStringList() : QStringList{"File is too big for Buffer"});
    }
}

TEST(LoadFile, AFileThatCannotBeOpenedSaysSoWhateverItsFormat)
{
    Scratch s;
    for (const char* name : {"none.bin", "none.hex", "none.eep", "none.cap"})
        EXPECT_EQ(load(s.path(name)).errors, QStringList{"Can't open File"}) << name;
}

TEST(SaveFile, FormatFollowsTheExtension)
{
    Scratch s;
    const QByteArray bytes("\x01\x02", 2);
    RecordingUi ui;
    ASSERT_TRUE(SaveBufferToFile(s.path("a.HEX"), bytesOf(bytes), 2, ui));
    EXPECT_EQ(s.read("a.HEX"), ":020000000102FB\r\n:00000001FF\r\n");
    ASSERT_TRUE(SaveBufferToFile(s.path("a.src"), bytesOf(bytes), 2, ui));
    EXPECT_EQ(s.read("a.src"), "S00600004844521B\r\nS10500000102F7\r\nS9030000FC\r\n");
    ASSERT_TRUE(SaveBufferToFile(s.path("a.cap"), bytesOf(bytes), 2, ui));
    EXPECT_EQ(s.read("a.cap"), bytes);
    ASSERT_TRUE(SaveBufferToFile(s.path("a.eep"), bytesOf(bytes), 2, ui));
    EXPECT_EQ(s.read("a.eep"), bytes);
    ASSERT_TRUE(SaveBufferToFile(s.path("empty.bin"), bytesOf(bytes), 0, ui));
    EXPECT_TRUE(QFile::exists(s.path("empty.bin")));
    EXPECT_EQ(s.read("empty.bin"), QByteArray());
    EXPECT_TRUE(ui.errors().isEmpty());
    EXPECT_TRUE(ui.questions().isEmpty());
}

TEST(SaveFile, AnExistingFileIsReplacedOnlyOnYes)
{
    Scratch s;
    const QString path = s.write("old.bin", "old");
    RecordingUi ui;
    ui.answers = {false, true};
    EXPECT_FALSE(SaveBufferToFile(path, bytesOf("new"), 3, ui));
    EXPECT_EQ(s.read("old.bin"), "old");
    EXPECT_TRUE(SaveBufferToFile(path, bytesOf("new"), 3, ui));
    EXPECT_EQ(s.read("old.bin"), "new");
    EXPECT_EQ(ui.questions(), QStringList(2, "File already exists. Is it covered? "));
}

TEST(SaveFile, FailuresAreReportedAndLeaveNoFile)
{
    Scratch s;
    RecordingUi ui;
    EXPECT_FALSE(SaveBufferToFile(s.path("no/dir.bin"), bytesOf("x"), 1, ui));
    EXPECT_FALSE(SaveBufferToFile(s.path("no/dir.hex"), bytesOf("x"), 1, ui));
    EXPECT_FALSE(SaveBufferToFile(s.path("no/dir.src"), bytesOf("x"), 1, ui));
    // The system's reason goes with the message.
    EXPECT_EQ(ui.errors(), QStringList({"创建文件失败\nNo such file or directory", "Error writing file.\nNo such file or directory",
                                        "Error writing file.\nNo such file or directory"}));
    EXPECT_FALSE(QDir(s.path("no")).exists());
}

// A FIFO stays what it is and receives exactly what a regular
// file would hold; nothing asks about overwriting it.
TEST(SaveFile, TargetsThatAreNotRegularFilesAreWrittenWhereTheyAre)
{
    Scratch s;
    const QByteArray bytes = patternBytes(3000);
    for (const char* name : {"pipe.bin", "pipe.hex", "pipe.src"}) {
        RecordingUi ui;
        ASSERT_TRUE(SaveBufferToFile(s.path(QStringLiteral("plain_") + name), bytesOf(bytes), bytes.size(), ui));
        const QByteArray expected = s.read(QStringLiteral("plain_") + name);

        const QString fifo = s.path(name);
        FifoReader reader(fifo);
        ASSERT_TRUE(reader.created());
        const bool saved = SaveBufferToFile(fifo, bytesOf(bytes), bytes.size(), ui);
        EXPECT_TRUE(saved) << name;
        EXPECT_EQ(reader.received(), expected) << name;
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode)) << name;
        EXPECT_TRUE(ui.questions().isEmpty()) << name;
        EXPECT_TRUE(ui.errors().isEmpty()) << name;
    }
}

namespace {

struct Program {
    SimulatedProgrammer sim;
    RecordingUi ui;
    ProgramState state{sim, ui};
    RecordingView flashView;
    RecordingView eepromView;

    explicit Program(uint32_t flash = 256, uint16_t eeprom = 0)
    {
        fillTable(state.chips(), {makeChip({.key = "T,M,N", .flash = flash, .page = 16, .eeprom = eeprom})});
        state.setCurrentChipIndex(0);
        state.buffers().setFlashView(&flashView);
        state.buffers().setEepromView(&eepromView);
    }
    OpenOutcome open(MemoryPage page, const QString& path)
    {
        return openIntoPage(state.buffers(), state.currentChip(), page, path, ui);
    }
    bool save(MemoryPage page, const QString& path)
    {
        return saveFromPage(state.buffers(), state.currentChip(), page, path, ui);
    }
};

} // namespace

TEST(OpenPage, FlashIsRefilledLoadedShownAndLogged)
{
    Scratch s;
    Program p;
    p.state.buffers().flash()[200] = 0x00;
    const QString path = s.write("small.bin", patternBytes(100));
    EXPECT_EQ(p.open(MemoryPage::Flash, path), OpenOutcome::Loaded);
    EXPECT_EQ(p.state.buffers().flashLength(), 100);
    EXPECT_EQ(p.flashView.bytes.size(), 256);
    EXPECT_EQ(p.flashView.bytes.left(100), patternBytes(100));
    EXPECT_EQ(p.flashView.bytes.mid(100), QByteArray(156, char(0xFF)));
    EXPECT_EQ(p.ui.logs(), QStringList{"Open" + path});
}

TEST(OpenPage, AFailedLoadChangesNothing)
{
    Scratch s;
    Program p;
    p.state.buffers().flash()[0] = 0x12;
    p.state.buffers().setFlashLength(77);
    const QString missing = s.path("gone.bin");
    EXPECT_EQ(p.open(MemoryPage::Flash, missing), OpenOutcome::Failed);
    EXPECT_EQ(p.ui.errors(), QStringList{"Can't open File"});
    EXPECT_EQ(p.state.buffers().flashLength(), 77);
    EXPECT_EQ(p.state.buffers().flash()[0], 0x12);
    EXPECT_EQ(p.flashView.loads, 0);
    EXPECT_EQ(p.ui.logs(), QStringList{"Open" + missing});

    // A faulty file was read: the records it stored before the fault are not kept.
    p.ui.clear();
    const QString bad = s.write("bad.hex", ":01000000AA55\r\n:01000100BB00\r\n");
    EXPECT_EQ(p.open(MemoryPage::Flash, bad), OpenOutcome::Failed);
    EXPECT_EQ(p.ui.errors(), QStringList{"line 2: Checksum Error type 0"});
    EXPECT_EQ(p.state.buffers().flashLength(), 77);
    EXPECT_EQ(p.state.buffers().flash()[0], 0x12);
    EXPECT_EQ(p.state.buffers().flash()[1], 0xFF);
    EXPECT_EQ(p.flashView.loads, 0);
    EXPECT_EQ(p.ui.logs(), QStringList{"Open" + bad});

    // A file that holds nothing is no failure: the buffer is blank, the length 0.
    p.ui.clear();
    EXPECT_EQ(p.open(MemoryPage::Flash, s.write("empty.hex", ":00000001FF\r\n")), OpenOutcome::Loaded);
    EXPECT_TRUE(p.ui.errors().isEmpty());
    EXPECT_EQ(p.state.buffers().flashLength(), 0);
    EXPECT_EQ(p.state.buffers().flash()[0], 0xFF);
    EXPECT_EQ(p.flashView.loads, 1);
}

TEST(OpenPage, WholeFlashBufferLoadsAndOneByteMoreIsRefused)
{
    Scratch s;
    Program p;
    QByteArray image(int(Buffers::kFlashCapacity), '\x5A');
    const QString exact = s.write("exact.bin", image);
    EXPECT_EQ(p.open(MemoryPage::Flash, exact), OpenOutcome::Loaded);
    EXPECT_EQ(p.state.buffers().flashLength(), Buffers::kFlashCapacity);
    EXPECT_EQ(p.state.buffers().flash()[Buffers::kFlashCapacity - 1], 0x5A);
    image += 'x';
    const QString over = s.write("over.bin", image);
    image.clear();
    EXPECT_EQ(p.open(MemoryPage::Flash, over), OpenOutcome::Failed);
    EXPECT_EQ(p.ui.errors(), QStringList{"File is too big for Buffer"});
    EXPECT_EQ(p.state.buffers().flashLength(), Buffers::kFlashCapacity);
    const uint8_t* flash = p.state.buffers().flash();
    EXPECT_TRUE(std::all_of(flash, flash + Buffers::kFlashCapacity, [](uint8_t b) { return b == 0x5A; }));
}

TEST(OpenPage, EepromPageActsOnlyWhenTheChipHasOne)
{
    Scratch s;
    const QString path = s.write("e.bin", patternBytes(8193));
    Program without;
    EXPECT_EQ(without.open(MemoryPage::Eeprom, path), OpenOutcome::Ignored);
    EXPECT_EQ(without.open(MemoryPage::Other, path), OpenOutcome::Ignored);
    EXPECT_TRUE(without.ui.events.empty());
    EXPECT_FALSE(without.save(MemoryPage::Eeprom, s.path("out.bin")));
    EXPECT_FALSE(QFile::exists(s.path("out.bin")));

    Program with(256, 512);
    EXPECT_EQ(with.open(MemoryPage::Eeprom, path), OpenOutcome::Failed);
    EXPECT_EQ(with.ui.errors(), QStringList{"File is too big for Buffer"});
    const QString fits = s.write("fits.bin", patternBytes(8192));
    EXPECT_EQ(with.open(MemoryPage::Eeprom, fits), OpenOutcome::Loaded);
    EXPECT_EQ(with.state.buffers().eepromLength(), 8192);
    EXPECT_EQ(with.eepromView.bytes, patternBytes(512));
    EXPECT_EQ(with.flashView.loads, 0);
}

TEST(SavePage, WritesTheDataLengthOfThePage)
{
    Scratch s;
    Program p(256, 512);
    std::fill_n(p.state.buffers().flash(), 8, 0x11);
    p.state.buffers().setFlashLength(5);
    std::fill_n(p.state.buffers().eeprom(), 8, 0x22);
    p.state.buffers().setEepromLength(3);
    EXPECT_TRUE(p.save(MemoryPage::Flash, s.path("f.bin")));
    EXPECT_TRUE(p.save(MemoryPage::Eeprom, s.path("e.bin")));
    EXPECT_EQ(s.read("f.bin"), QByteArray(5, 0x11));
    EXPECT_EQ(s.read("e.bin"), QByteArray(3, 0x22));
    p.state.buffers().setFlashLength(0);
    EXPECT_TRUE(p.save(MemoryPage::Flash, s.path("f.hex")));
    EXPECT_EQ(s.read("f.hex"), ":00000001FF\r\n");
}

TEST(OpenSaveFilters, TheDialogsOfferTheTableAndSaveFollowsTheFilterChosen)
{
    EXPECT_EQ(openNameFilters(),
              QStringList({"Binary (*.bin)", "Intel Hex (*.hex *.ihx *.ihex *.h86 *.mcs)",
                           "S-records (*.srec *.s19 *.s28 *.s37 *.src *.mot *.s *.sx)", "Bios Rom (*.rom)",
                           "Asus Rom (*.cap)", "EEPROM data (*.eep)", "All files (*)"}));
    EXPECT_EQ(saveNameFilters(), QStringList({"Binary (*.bin)", "Intel Hex (*.hex *.ihx *.ihex *.h86 *.mcs)",
                                              "S-records (*.srec *.s19 *.s28 *.s37 *.src *.mot *.s *.sx)",
                                              "Bios Rom (*.rom)", "All files (*)"}));
    const QString bin = saveNameFilters()[0], hex = saveNameFilters()[1], srec = saveNameFilters()[2];
    const struct {
        const char* typed;
        QString filter;
        const char* path;
        DataFormat format;
    } choices[] = {
        {"/d/readback", bin, "/d/readback.bin", DataFormat::Raw},
        {"/d/readback", hex, "/d/readback.hex", DataFormat::IntelHex},
        {"/d/readback", srec, "/d/readback.srec", DataFormat::SRecord},
        {"/d/readback", "All files (*)", "/d/readback", DataFormat::ByName},
        // A name's own extension wins, so that it opens back as what it holds.
        {"/d/fw.hex", bin, "/d/fw.hex", DataFormat::ByName},
        {"/d/fw.S19", hex, "/d/fw.S19", DataFormat::ByName},
        // An extension the table does not know takes the filter's format.
        {"/d/fw.v2", hex, "/d/fw.v2", DataFormat::IntelHex},
        {"/d/fw.v2", bin, "/d/fw.v2", DataFormat::Raw},
    };
    for (const auto& c : choices) {
        const SaveChoice got = saveChoice(c.typed, c.filter);
        EXPECT_EQ(got.path, c.path) << c.typed << ' ' << c.filter.toStdString();
        EXPECT_EQ(got.format, c.format) << c.typed << ' ' << c.filter.toStdString();
    }
}

TEST(ErasedArea, ReadsErasedAboveWhatWasStoredWhateverTheMemoryHeld)
{
    ErasedArea area(4 << 20);
    const uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const struct {
        const char* step;
        std::function<void()> act;
        qint64 stored;
        std::vector<std::pair<qint64, uint8_t>> bytes;
    } steps[] = {
        {"fresh", [] {}, 0, {{0, 0xFF}, {(4 << 20) - 1, 0xFF}}},
        {"span", [&] { std::memset(area.span(100, 4), 0x11, 4); }, 104, {{99, 0xFF}, {100, 0x11}, {103, 0x11}, {104, 0xFF}}},
        {"empty span", [&] { area.span(1 << 20, 0); }, 104, {{104, 0xFF}}},
        {"write above the mark", [&] { area.write(200, data, 8); }, 208, {{104, 0xFF}, {199, 0xFF}, {200, 1}, {207, 8}}},
        {"erase from", [&] { area.eraseFrom(150); }, 150, {{103, 0x11}, {200, 0xFF}}},
        {"read span", [&] { area.bytes(0, 300); }, 300, {{103, 0x11}, {200, 0xFF}, {207, 0xFF}}},
        {"erase", [&] { area.erase(); }, 0, {{103, 0xFF}}},
        {"span after erase", [&] { area.span(0, 3 << 20); }, 3 << 20, {{103, 0xFF}, {(3 << 20) - 1, 0xFF}}},
        // Memory above a lowered mark still holds the old bytes: a span or a
        // write that starts one byte past the mark must erase that byte too.
        {"data, erased from 4", [&] { area.eraseFrom(0); area.write(0, data, 8); area.eraseFrom(4); }, 4,
         {{3, 4}, {4, 0xFF}, {7, 0xFF}}},
        {"span one past the mark", [&] { std::memset(area.span(5, 2), 0x22, 2); }, 7,
         {{4, 0xFF}, {5, 0x22}, {6, 0x22}, {7, 0xFF}}},
        {"data, erased from 4 again", [&] { area.write(0, data, 8); area.eraseFrom(4); }, 4, {{4, 0xFF}}},
        {"write one past the mark", [&] { area.write(5, data, 1); }, 6, {{4, 0xFF}, {5, 1}, {6, 0xFF}}},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(area.stored(), s.stored) << s.step;
        for (const auto& [address, value] : s.bytes) {
            uint8_t copied = 0;
            area.copyOut(address, 1, &copied);
            EXPECT_EQ(area.at(address), value) << s.step << " at " << address;
            EXPECT_EQ(copied, value) << s.step << " at " << address;
        }
    }
    // Readers across the mark: what was stored, then 0xFF; nothing stored by them.
    area.eraseFrom(0);
    area.write(0, data, 8);
    uint8_t room[12] = {};
    const uint8_t* across = area.peek(4, 12, room);
    EXPECT_EQ(std::vector<uint8_t>(across, across + 12), std::vector<uint8_t>({5, 6, 7, 8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(area.peek(0, 8, room), area.bytes(0, 8));
    EXPECT_EQ(area.stored(), 8);
    // Moved, the bytes go along; plain memory counts as stored and is erased by writing.
    ErasedArea moved = std::move(area);
    EXPECT_EQ(moved.at(7), 8);
    EXPECT_EQ(area.capacity(), 0);
    uint8_t plain[4] = {9, 9, 9, 9};
    ErasedArea over = ErasedArea::over(plain, 4);
    EXPECT_EQ(over.stored(), 4);
    over.eraseFrom(2);
    EXPECT_EQ(std::vector<uint8_t>(plain, plain + 4), std::vector<uint8_t>({9, 9, 0xFF, 0xFF}));
}

TEST(OpenPage, ABufferStoresOnlyWhatTheFileReachesAndReadsErasedAbove)
{
    Scratch s;
    Program p(0x10000);
    Buffers& b = p.state.buffers();
    EXPECT_EQ(b.flashArea().stored(), 0);
    // A failed open of a blank buffer leaves it blank.
    const QString bad = s.write("bad.hex", ":01000000AA55\r\n:01000100BB00\r\n");
    EXPECT_EQ(p.open(MemoryPage::Flash, bad), OpenOutcome::Failed);
    EXPECT_EQ(b.flashArea().stored(), 0);
    EXPECT_EQ(b.flashArea().at(0), 0xFF);
    // A record far up stores the buffer to its end, no further; the view shows
    // the rest of the chip as 0xFF.
    const QByteArray far = QByteArray::fromHex("DEADBEEF");
    const QString hex = s.write("far.hex", recordLine(":", QByteArray::fromHex("04800000") + far, false) + "\r\n:00000001FF\r\n");
    EXPECT_EQ(p.open(MemoryPage::Flash, hex), OpenOutcome::Loaded);
    EXPECT_EQ(b.flashLength(), 0x8004);
    EXPECT_EQ(b.flashArea().stored(), 0x8004);
    EXPECT_EQ(p.flashView.bytes, QByteArray(0x8000, char(0xFF)) + far + QByteArray(0x7FFC, char(0xFF)));
    // Over a wholly stored buffer, an open lets the old bytes go.
    b.flash();
    EXPECT_EQ(p.open(MemoryPage::Flash, s.write("small.bin", patternBytes(100))), OpenOutcome::Loaded);
    EXPECT_EQ(b.flashArea().stored(), 100);
    // A record one byte past the last one: the byte between is erased, not
    // what the file before left there.
    const QString gap = s.write("gap.hex", ":020000001122CB\r\n:0100030033C9\r\n:00000001FF\r\n");
    EXPECT_EQ(p.open(MemoryPage::Flash, gap), OpenOutcome::Loaded);
    EXPECT_EQ(p.flashView.bytes.left(5), QByteArray::fromHex("1122FF33FF"));
    EXPECT_EQ(b.flashArea().at(2), 0xFF);
    EXPECT_EQ(p.open(MemoryPage::Flash, s.write("small.bin", patternBytes(100))), OpenOutcome::Loaded);
    // Save and the CRC read past what was stored as 0xFF.
    b.setFlashLength(300);
    EXPECT_TRUE(p.save(MemoryPage::Flash, s.path("out.bin")));
    const QByteArray saved = patternBytes(100) + QByteArray(200, char(0xFF));
    EXPECT_EQ(s.read("out.bin"), saved);
    EXPECT_EQ(b.flashCrc(), crc32Of(bytesOf(saved), saved.size()));
}

// Written whole, but the finished file cannot take the old one's place (a
// folder was put there meanwhile): the final commit fails, and that is no save.
TEST(SaveFile, AFailedFinalCommitIsNoSave)
{
    Scratch s;
    const QString old = s.write("old.bin", "old");
    const FileWrite replaced = writeFileSafely(old, [&](QIODevice& out) {
        return out.write("new") == 3 && QFile::remove(old) && QDir(s.path(".")).mkdir(QStringLiteral("old.bin"));
    });
    EXPECT_EQ(replaced, FileWrite::Failed);
    EXPECT_TRUE(QFileInfo(old).isDir());
}

TEST(SaveFile, AFailedWriteLeavesNoNewFileAndAnExistingOneWhole)
{
    Scratch s;
    const auto failing = [](QIODevice& out) { return out.write("part") == 4 && false; };
    EXPECT_EQ(writeFileSafely(s.path("new.bin"), failing), FileWrite::Failed);
    EXPECT_EQ(writeFileSafely(s.path("no/dir.bin"), failing), FileWrite::NotOpened);
    const QString old = s.write("old.bin", "old");
    EXPECT_EQ(writeFileSafely(old, failing), FileWrite::Failed);
    EXPECT_EQ(s.read("old.bin"), "old");
    EXPECT_EQ(QDir(s.path(".")).entryList(QDir::Files), QStringList{"old.bin"});
    EXPECT_EQ(writeFileSafely(old, [](QIODevice& out) { return out.write("new") == 3; }), FileWrite::Written);
    EXPECT_EQ(writeFileSafely(s.path("fresh.bin"), [](QIODevice& out) { return out.write("fresh") == 5; }), FileWrite::Written);
    EXPECT_EQ(s.read("old.bin"), "new");
    EXPECT_EQ(s.read("fresh.bin"), "fresh");
}

namespace {

// Runs `act` in a child process whose files may grow to `limit` bytes at
// most (0: no limit), as the user nobody when `asNobody` and the tests run
// as the superuser (who may write into any folder); gives what `act` said.
QString inChild(qint64 limit, bool asNobody, const std::function<QString()>& act)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return QStringLiteral("no pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{rlim_t(limit), rlim_t(limit)};
        if ((limit > 0 && ::setrlimit(RLIMIT_FSIZE, &size) != 0)
            || (asNobody && ::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)))
            ::_exit(2);
        const QByteArray said = act().toUtf8();
        ::_exit(::write(pipeEnds[1], said.constData(), size_t(said.size())) == said.size() ? 0 : 3);
    }
    ::close(pipeEnds[1]);
    QByteArray said;
    char chunk[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
        said.append(chunk, n);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? QString::fromUtf8(said) : QStringLiteral("child failed");
}

} // namespace

// A size limit or a full device fails the save with the system's reason,
// and the file that was there is as it was: also where the folder takes
// no new file and the file is rewritten in place, which reserves its room
// first.
TEST(SaveFile, ASizeLimitOrAFullDeviceKeepsTheOldFileAndSaysWhy)
{
    Scratch s;
    const QString open = s.path("open"), locked = s.path("locked");
    ASSERT_TRUE(QDir().mkpath(open) && QDir().mkpath(locked));
    const QByteArray old = patternBytes(20000, 2);
    const QByteArray image = patternBytes(12000, 3);
    const struct {
        QString path;
        bool existing;
        qint64 limit;
        const char* reason;
        QByteArray after;
    } cases[] = {
        {open + "/new.bin", false, 8192, "File too large", {}},
        {open + "/new.hex", false, 8192, "File too large", {}},
        {open + "/old.bin", true, 8192, "File too large", old},
        {locked + "/old.bin", true, 8192, "File too large", old},
        {locked + "/old.hex", true, 8192, "File too large", old},
        // Room enough: rewritten in place, the longer old file cut to the new size.
        {locked + "/fits.bin", true, 0, "", image},
        {"/dev/full", false, 0, "No space left on device", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        if (c.existing) {
            ASSERT_TRUE(putFile(c.path, old));
            ::chown(QFile::encodeName(c.path).constData(), 65534, 65534);
        }
        // Nobody may make a file in the locked folder; its files are theirs to write.
        ::chmod(QFile::encodeName(s.path(".")).constData(), 0755);
        ::chmod(QFile::encodeName(locked).constData(), 0555);
        const bool inPlace = c.path.startsWith(locked);
        const QString said = inChild(c.limit, inPlace, [&] {
            QString reason;
            const FileWrite written = WriteBufferToFile(c.path, bytesOf(image), image.size(), DataFormat::ByName, &reason);
            return written == FileWrite::Written ? QString() : reason;
        });
        ::chmod(QFile::encodeName(locked).constData(), 0755);
        EXPECT_EQ(said, QLatin1String(c.reason));
        if (c.path != "/dev/full") {
            QFile after(c.path);
            EXPECT_EQ(after.exists(), !c.after.isEmpty());
            EXPECT_TRUE((after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray()) == c.after);
        }
    }
    // No file was left behind by the failed saves.
    EXPECT_EQ(QDir(open).entryList(QDir::Files), QStringList{"old.bin"});
    EXPECT_EQ(QDir(locked).entryList(QDir::Files), QStringList({"fits.bin", "old.bin", "old.hex"}));
}

// A name of one of the program's own streams is that stream: ">>" appends
// through it, and nothing asks about replacing it.
TEST(SaveFile, AnOwnStreamIsWrittenThroughItsDescriptor)
{
    Scratch s;
    const QString path = s.write("appended.bin", "old");
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    for (const QString& name : {QStringLiteral("/proc/self/fd/%1").arg(fd), QStringLiteral("/dev/fd/%1").arg(fd),
                                QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(fd)}) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(ownStreamOf(name), fd);
        EXPECT_TRUE(isSpecialFile(name));
        RecordingUi ui;
        EXPECT_TRUE(SaveBufferToFile(name, bytesOf("new"), 3, ui));
        EXPECT_TRUE(ui.questions().isEmpty());
    }
    ::close(fd);
    EXPECT_EQ(s.read("appended.bin"), "oldnewnewnew");
    EXPECT_EQ(ownStreamOf(QStringLiteral("/dev/stdout")), 1);
    EXPECT_EQ(ownStreamOf(QStringLiteral("/proc/1/fd/1")), std::nullopt) << "another process's stream";
    EXPECT_EQ(ownStreamOf(QStringLiteral("/proc/self/fd/%1").arg(fd)), std::nullopt) << "a closed one";
    EXPECT_EQ(ownStreamOf(path), std::nullopt);
}
