// Loading and saving by extension, Open and Save of the active page, and
// the erased areas that hold the buffers.

#include "app/FileWrite.h"
#include "app/ProgramState.h"
#include "buffers/DataFile.h"
#include "buffers/OpenSave.h"
#include "device/SimulatedProgrammer.h"
#include "support/DataFileKit.h"
#include "support/FileSizeLimit.h"
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

#include <sys/stat.h>

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

TEST(LoadFile, FormatFollowsTheLastExtensionInAnyCase)
{
    Scratch s;
    for (const char* name : {"DATA.HEX", "data.Hex"}) {
        const Load r = load(s.write(name, kHexOneByte));
        EXPECT_EQ(r.value, 1) << name;
        EXPECT_EQ(r.area[0], 0xAA) << name;
    }
    // Everything else is raw, S-records under ".src" included.
    for (const char* name : {"data.hex.bin", "data.rom", "data.src", "data", "data."}) {
        const Load r = load(s.write(name, kHexOneByte));
        EXPECT_EQ(r.value, int32_t(sizeof kHexOneByte - 1)) << name;
        EXPECT_EQ(head(r, 3), ":01") << name;
    }
}

TEST(LoadFile, EepFilesGoByTheirFirstCharacter)
{
    Scratch s;
    EXPECT_EQ(load(s.write("a.eep", kHexOneByte)).value, 1);
    const Load srec = load(s.write("b.EEP", kSrecOneByte));
    EXPECT_EQ(srec.value, 1);
    EXPECT_EQ(srec.area[0], 0xAA);
    EXPECT_EQ(load(s.write("c.eep", "Xyz")).value, 3);
    const Load empty = load(s.write("d.eep", ""));
    EXPECT_EQ(empty.value, 0);
    EXPECT_TRUE(empty.errors.isEmpty());
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

    const QByteArray capsule = patternBytes(2048, 3) + patternBytes(1000, 4);
    const Load cap = load(s.write("image.CAP", capsule), 4096);
    EXPECT_EQ(cap.value, 1000);
    EXPECT_EQ(head(cap, 1000), capsule.mid(2048));
    // The header counts against the capacity; a file shorter than it holds nothing.
    EXPECT_EQ(load(s.write("big.cap", capsule), 2048 + 999).errors, QStringList{"File is too big for Buffer"});
    const Load shortCap = load(s.write("short.cap", patternBytes(100)));
    EXPECT_EQ(shortCap.value, 0);
    EXPECT_TRUE(shortCap.errors.isEmpty());
    EXPECT_EQ(shortCap.area[0], 0xEE);
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
    EXPECT_EQ(ui.errors(), QStringList({"创建文件失败", "Error writing file.", "Error writing file."}));
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
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QByteArray received;
        std::thread reader([&] {
            QFile f(fifo);
            if (f.open(QIODevice::ReadOnly))
                received = f.readAll();
        });
        const bool saved = SaveBufferToFile(fifo, bytesOf(bytes), bytes.size(), ui);
        reader.join();
        EXPECT_TRUE(saved) << name;
        EXPECT_EQ(received, expected) << name;
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
};

} // namespace

TEST(OpenPage, FlashIsRefilledLoadedShownAndLogged)
{
    Scratch s;
    Program p;
    p.state.buffers().flash()[200] = 0x00;
    const QString path = s.write("small.bin", patternBytes(100));
    EXPECT_EQ(openIntoPage(p.state, MemoryPage::Flash, path), OpenOutcome::Loaded);
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
    EXPECT_EQ(openIntoPage(p.state, MemoryPage::Flash, missing), OpenOutcome::Failed);
    EXPECT_EQ(p.ui.errors(), QStringList{"Can't open File"});
    EXPECT_EQ(p.state.buffers().flashLength(), 77);
    EXPECT_EQ(p.state.buffers().flash()[0], 0x12);
    EXPECT_EQ(p.flashView.loads, 0);
    EXPECT_EQ(p.ui.logs(), QStringList{"Open" + missing});

    // A faulty file was read: the records it stored before the fault are not kept.
    p.ui.clear();
    const QString bad = s.write("bad.hex", ":01000000AA55\r\n:01000100BB00\r\n");
    EXPECT_EQ(openIntoPage(p.state, MemoryPage::Flash, bad), OpenOutcome::Failed);
    EXPECT_EQ(p.ui.errors(), QStringList{"Checksum Error type 0"});
    EXPECT_EQ(p.state.buffers().flashLength(), 77);
    EXPECT_EQ(p.state.buffers().flash()[0], 0x12);
    EXPECT_EQ(p.state.buffers().flash()[1], 0xFF);
    EXPECT_EQ(p.flashView.loads, 0);
    EXPECT_EQ(p.ui.logs(), QStringList{"Open" + bad});

    // A file that holds nothing is no failure: the buffer is blank, the length 0.
    p.ui.clear();
    EXPECT_EQ(openIntoPage(p.state, MemoryPage::Flash, s.write("empty.hex", ":00000001FF\r\n")), OpenOutcome::Loaded);
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
    EXPECT_EQ(openIntoPage(p.state, MemoryPage::Flash, exact), OpenOutcome::Loaded);
    EXPECT_EQ(p.state.buffers().flashLength(), Buffers::kFlashCapacity);
    EXPECT_EQ(p.state.buffers().flash()[Buffers::kFlashCapacity - 1], 0x5A);
    image += 'x';
    const QString over = s.write("over.bin", image);
    image.clear();
    EXPECT_EQ(openIntoPage(p.state, MemoryPage::Flash, over), OpenOutcome::Failed);
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
    EXPECT_EQ(openIntoPage(without.state, MemoryPage::Eeprom, path), OpenOutcome::Ignored);
    EXPECT_EQ(openIntoPage(without.state, MemoryPage::Other, path), OpenOutcome::Ignored);
    EXPECT_TRUE(without.ui.events.empty());
    EXPECT_FALSE(saveFromPage(without.state, MemoryPage::Eeprom, s.path("out.bin")));
    EXPECT_FALSE(QFile::exists(s.path("out.bin")));

    Program with(256, 512);
    EXPECT_EQ(openIntoPage(with.state, MemoryPage::Eeprom, path), OpenOutcome::Failed);
    EXPECT_EQ(with.ui.errors(), QStringList{"File is too big for Buffer"});
    const QString fits = s.write("fits.bin", patternBytes(8192));
    EXPECT_EQ(openIntoPage(with.state, MemoryPage::Eeprom, fits), OpenOutcome::Loaded);
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
    EXPECT_TRUE(saveFromPage(p.state, MemoryPage::Flash, s.path("f.bin")));
    EXPECT_TRUE(saveFromPage(p.state, MemoryPage::Eeprom, s.path("e.bin")));
    EXPECT_EQ(s.read("f.bin"), QByteArray(5, 0x11));
    EXPECT_EQ(s.read("e.bin"), QByteArray(3, 0x22));
    p.state.buffers().setFlashLength(0);
    EXPECT_TRUE(saveFromPage(p.state, MemoryPage::Flash, s.path("f.hex")));
    EXPECT_EQ(s.read("f.hex"), ":00000001FF\r\n");
}

TEST(OpenSaveFilters, DialogFiltersBecomeNameFilters)
{
    EXPECT_EQ(nameFilters(kOpenFileFilter),
              QStringList({"Binary (*.bin)", "Intel Hex(*.hex)", "Bios Rom (*.rom)", "Asus Rom (*.cap)",
                           "All files (*.*)"}));
    EXPECT_EQ(nameFilters(kSaveFileFilter).size(), 4);
    EXPECT_EQ(nameFilters("Plain|*.txt"), QStringList{"Plain (*.txt)"});
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
    EXPECT_EQ(openIntoPage(p.state, MemoryPage::Flash, bad), OpenOutcome::Failed);
    EXPECT_EQ(b.flashArea().stored(), 0);
    EXPECT_EQ(b.flashArea().at(0), 0xFF);
    // A record far up stores the buffer to its end, no further; the view shows
    // the rest of the chip as 0xFF.
    const QByteArray far = QByteArray::fromHex("DEADBEEF");
    const QString hex = s.write("far.hex", recordLine(":", QByteArray::fromHex("04800000") + far, false) + "\r\n:00000001FF\r\n");
    EXPECT_EQ(openIntoPage(p.state, MemoryPage::Flash, hex), OpenOutcome::Loaded);
    EXPECT_EQ(b.flashLength(), 0x8004);
    EXPECT_EQ(b.flashArea().stored(), 0x8004);
    EXPECT_EQ(p.flashView.bytes, QByteArray(0x8000, char(0xFF)) + far + QByteArray(0x7FFC, char(0xFF)));
    // Over a wholly stored buffer, an open lets the old bytes go.
    b.flash();
    EXPECT_EQ(openIntoPage(p.state, MemoryPage::Flash, s.write("small.bin", patternBytes(100))), OpenOutcome::Loaded);
    EXPECT_EQ(b.flashArea().stored(), 100);
    // A record one byte past the last one: the byte between is erased, not
    // what the file before left there.
    const QString gap = s.write("gap.hex", ":020000001122CB\r\n:0100030033C9\r\n:00000001FF\r\n");
    EXPECT_EQ(openIntoPage(p.state, MemoryPage::Flash, gap), OpenOutcome::Loaded);
    EXPECT_EQ(p.flashView.bytes.left(5), QByteArray::fromHex("1122FF33FF"));
    EXPECT_EQ(b.flashArea().at(2), 0xFF);
    EXPECT_EQ(openIntoPage(p.state, MemoryPage::Flash, s.write("small.bin", patternBytes(100))), OpenOutcome::Loaded);
    // Save and the CRC read past what was stored as 0xFF.
    b.setFlashLength(300);
    EXPECT_TRUE(saveFromPage(p.state, MemoryPage::Flash, s.path("out.bin")));
    const QByteArray saved = patternBytes(100) + QByteArray(200, char(0xFF));
    EXPECT_EQ(s.read("out.bin"), saved);
    EXPECT_EQ(b.flashCrc(), crc32Of(bytesOf(saved), saved.size()));
}

// The data went out whole, but the disk refused it when the file was
// flushed or committed: no save, no new file, the old one whole.
TEST(SaveFile, AFailedFinalCommitIsNoSave)
{
    for (const char* name : {"new.bin", "old.bin", "new.hex", "old.hex"}) {
        SCOPED_TRACE(name);
        Scratch s;
        const bool existing = QByteArray(name).startsWith("old");
        if (existing)
            s.write(name, "old");
        Program p(0x2000);
        std::fill_n(p.state.buffers().flash(), 6000, 0x5A);
        p.state.buffers().setFlashLength(6000);
        bool saved = true;
        {
            const FileSizeLimit limit(4096);
            ASSERT_TRUE(limit.active());
            saved = saveFromPage(p.state, MemoryPage::Flash, s.path(name));
        }
        EXPECT_FALSE(saved);
        EXPECT_EQ(p.ui.errors(), QStringList{"Error writing file."});
        EXPECT_EQ(QDir(s.path(".")).entryList(QDir::Files | QDir::Hidden),
                  existing ? QStringList{QString::fromLatin1(name)} : QStringList());
        if (existing) {
            EXPECT_EQ(s.read(name), "old");
        }
    }
    // Written and flushed, but the finished file cannot take the old one's
    // place (a folder was put there meanwhile): no save either.
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
