// Self-check of the chip list that ships with the program: the text source
// data/chips.txt, the ktr4180.Dat built from it, the facts of every entry,
// public tables of SPI flash and AVR facts, detection of every SPI flash and
// AVR through the simulated programmer, and a write/verify of the new kinds.

#include "app/ProgramState.h"
#include "chipdb/ChipKey.h"
#include "chipdb/ChipTable.h"
#include "device/SimulatedProgrammer.h"
#include "support/OperationRig.h"
#include "support/RecordingUi.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <memory>

namespace {

constexpr int kTextColumns = 27;
constexpr int kFilledColumns = 15;
constexpr uint32_t kFlashBuffer = 64u * 1024 * 1024;
constexpr uint32_t kEepromBuffer = 8192;
constexpr uint8_t kClassAvr = 7;

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QList<QByteArray> fileLines(const QString& path)
{
    QList<QByteArray> lines = readFile(path).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The rows of a tab-separated table under tests/data, header left out, each
// with at least `columns` cells.
QList<QList<QByteArray>> tableRows(const char* name, int columns)
{
    QList<QList<QByteArray>> rows;
    const QList<QByteArray> lines = fileLines(QStringLiteral(KTR_SOURCE_DIR "/tests/data/") + QLatin1String(name));
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> cells = lines[i].split('\t');
        if (cells.size() >= columns)
            rows.append(cells);
    }
    return rows;
}

bool isPowerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

struct Chip {
    int index;
    QByteArray type, maker, model;
    const ChipEntry* entry;
};

// The built list is loaded once; every test reads it.
class BundledChipList : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        table_ = new ChipTable;
        loadResult_ = table_->loadFile(QStringLiteral(KTR_BINARY_DIR "/ktr4180.Dat"));
        chips_ = new std::vector<Chip>;
        for (int i = 0; i < table_->count(); ++i) {
            const ChipNames n = chipNames((*table_)[i].keyText());
            chips_->push_back({i, n.type, n.manufacturer, n.model, &(*table_)[i]});
        }
    }
    static void TearDownTestSuite()
    {
        delete chips_;
        delete table_;
    }
    void SetUp() override
    {
        ASSERT_EQ(loadResult_, ChipTable::LoadResult::Loaded) << "the build writes ktr4180.Dat";
        ASSERT_FALSE(chips_->empty());
    }

    // The list with its end entry in the state's table, the lists built as
    // at start-up.
    static void startWithBundledList(ProgramState& state)
    {
        for (int i = 0; i <= table_->count(); ++i)
            state.chips()[i] = (*table_)[i];
        state.selection().apply(0, 0, 0);
    }

    static std::vector<Chip> ofClass(uint8_t cls)
    {
        std::vector<Chip> out;
        for (const Chip& c : *chips_)
            if (c.entry->chipClass == cls)
                out.push_back(c);
        return out;
    }

    static ChipTable* table_;
    static ChipTable::LoadResult loadResult_;
    static std::vector<Chip>* chips_;
};

ChipTable* BundledChipList::table_ = nullptr;
ChipTable::LoadResult BundledChipList::loadResult_ = ChipTable::LoadResult::Missing;
std::vector<Chip>* BundledChipList::chips_ = nullptr;

// --- the text source and the built file -----------------------------------

TEST_F(BundledChipList, TextLinesAreInTheExportLayoutAndImportSafe)
{
    const QList<QByteArray> lines = fileLines(QStringLiteral(KTR_SOURCE_DIR "/data/chips.txt"));
    ASSERT_FALSE(lines.isEmpty());
    for (int i = 0; i < lines.size(); ++i) {
        const QList<QByteArray> cells = lines[i].split('\t');
        ASSERT_EQ(cells.size(), kTextColumns) << "line " << i + 1;
        for (int c = 0; c < kFilledColumns; ++c) {
            const QByteArray& cell = cells[c];
            // The import drops empty cells and splits at blanks; a comma or a
            // quote would change how the key splits.
            EXPECT_FALSE(cell.isEmpty()) << "line " << i + 1 << " column " << c;
            for (const char ch : cell)
                EXPECT_TRUE(uint8_t(ch) > 32 && ch != ',' && ch != '"')
                    << "line " << i + 1 << " column " << c << ": '" << cell.constData() << "'";
        }
        for (int c = kFilledColumns; c < kTextColumns; ++c)
            EXPECT_TRUE(cells[c].isEmpty()) << "line " << i + 1 << " column " << c;
        bool ok = false;
        const uint id = cells[3].mid(2).toUInt(&ok, 16);
        EXPECT_TRUE(ok && cells[3] == QByteArray("0x") + QByteArray::number(id, 16).toUpper())
            << "identifier of line " << i + 1 << ": " << cells[3].constData();
        const uint subtype = cells[7].mid(2).toUInt(&ok, 16);
        EXPECT_TRUE(ok && cells[7] == QByteArray("0x") + QByteArray::number(subtype, 16).toUpper())
            << "subtype of line " << i + 1 << ": " << cells[7].constData();
        EXPECT_EQ(cells[8], cells[12]) << "shown and saved erase delay of line " << i + 1;
        EXPECT_EQ(cells[14], "0") << "association of line " << i + 1;
    }
}

TEST_F(BundledChipList, BuiltFileHoldsExactlyTheTextList)
{
    const QList<QByteArray> lines = fileLines(QStringLiteral(KTR_SOURCE_DIR "/data/chips.txt"));
    ASSERT_EQ(int(chips_->size()), lines.size()) << "ktr4180.Dat is rebuilt from chips.txt";
    const QByteArray raw = readFile(QStringLiteral(KTR_BINARY_DIR "/ktr4180.Dat"));
    EXPECT_EQ(raw.size(), (lines.size() + 1) * int(sizeof(ChipEntry))) << "entries plus the end entry";
    for (int i = 0; i < lines.size(); ++i) {
        const QList<QByteArray> c = lines[i].split('\t');
        ASSERT_GE(c.size(), kFilledColumns);
        const ChipEntry& e = (*table_)[i];
        const auto num = [&](int col) { return c[col].toLongLong(nullptr, 0); };
        EXPECT_EQ(e.keyText(), c[0] + ',' + c[1] + ',' + c[2] + ",0") << "line " << i + 1;
        EXPECT_EQ(e.chipId(), num(3)) << c[2].constData();
        EXPECT_EQ(e.flashBytes(), num(4)) << c[2].constData();
        EXPECT_EQ(e.flashPage(), num(5)) << c[2].constData();
        EXPECT_EQ(e.chipClass, num(6)) << c[2].constData();
        EXPECT_EQ(e.subtype, num(7)) << c[2].constData();
        EXPECT_EQ(e.voltageCode, num(9)) << c[2].constData();
        EXPECT_EQ(e.eepromBytes(), num(10)) << c[2].constData();
        EXPECT_EQ(e.eepromPageSize, num(11)) << c[2].constData();
        EXPECT_EQ(e.eraseDelayValue(), num(12)) << c[2].constData();
        EXPECT_EQ(e.interfaceCode, num(13)) << c[2].constData();
    }
}

// --- rules for every entry -------------------------------------------------

TEST_F(BundledChipList, HoldsEnoughChipsAndFitsTheTable)
{
    EXPECT_GE(chips_->size(), 880u);
    // The editor saves at most kCapacity - 1 entries: the end entry takes a slot.
    EXPECT_LE(chips_->size(), std::size_t(ChipTable::kCapacity - 1)) << "room for the end entry";
}

TEST_F(BundledChipList, ReadmeCountsTheChips)
{
    static const QRegularExpression count(QStringLiteral("chip list of (\\d+) chips"));
    const QString readme = QString::fromUtf8(readFile(QStringLiteral(KTR_SOURCE_DIR "/README.md")));
    const QRegularExpressionMatch m = count.match(readme);
    ASSERT_TRUE(m.hasMatch()) << "README.md names the size of the bundled list";
    EXPECT_EQ(m.captured(1).toInt(), int(chips_->size()));
}

TEST_F(BundledChipList, NamesAreUniqueSplitBackAndKeysFit)
{
    QSet<QByteArray> seen;
    QMap<QByteArray, QByteArray> makerSpelling;
    for (const Chip& c : *chips_) {
        const QByteArray key = c.entry->keyText();
        EXPECT_LE(key.size(), ChipEntry::kMaxKeyLength) << key.constData();
        EXPECT_EQ(SplitChipKey(key).size(), 4) << key.constData();
        EXPECT_FALSE(c.type.isEmpty() || c.maker.isEmpty() || c.model.isEmpty()) << key.constData();
        // The lists compare names ignoring ASCII case: a second entry equal
        // that way could never become current.
        const QByteArray folded = (c.type + ',' + c.maker + ',' + c.model).toLower();
        EXPECT_FALSE(seen.contains(folded)) << "twice: " << key.constData();
        seen.insert(folded);
        // One spelling per maker, or the entries of the other spelling hide.
        const QByteArray maker = c.maker.toLower();
        if (!makerSpelling.contains(maker))
            makerSpelling.insert(maker, c.maker);
        EXPECT_EQ(makerSpelling.value(maker), c.maker) << key.constData();
        EXPECT_EQ(c.maker, c.maker.toUpper()) << "makers are written in upper case: " << key.constData();
    }
}

TEST_F(BundledChipList, TypesMatchClassesAndFirstAppearInClassOrder)
{
    const std::map<QByteArray, uint8_t> classOfType = {
        {"SPI_FLASH", kClassSpiFlash}, {"24_EEPROM", kClass24Eeprom}, {"93_EEPROM", kClass93Eeprom},
        {"95_EEPROM", kClass95Eeprom}, {"25_EEPROM", kClass25Eeprom}, {"AVR", kClassAvr},
    };
    for (const Chip& c : *chips_) {
        const auto it = classOfType.find(c.type);
        ASSERT_NE(it, classOfType.end()) << "unknown type " << c.type.constData();
        EXPECT_EQ(c.entry->chipClass, it->second) << c.entry->keyText().constData();
    }
    // Identification without a match moves the type list to the detected
    // class: the list as the selection builds it must have class n at n.
    SimulatedProgrammer sim;
    RecordingUi ui;
    ProgramState state(sim, ui);
    startWithBundledList(state);
    EXPECT_EQ(state.selection().types(),
              (QList<QByteArray>{"SPI_FLASH", "24_EEPROM", "93_EEPROM", "95_EEPROM", "25_EEPROM", "AVR"}));
}

TEST_F(BundledChipList, SizesFitTheBuffersAndPagesDivideThem)
{
    for (const Chip& c : *chips_) {
        const ChipEntry& e = *c.entry;
        const QByteArray keyText = e.keyText();
        const char* key = keyText.constData();
        EXPECT_GT(e.flashBytes(), 0u) << key;
        EXPECT_LE(e.flashBytes(), kFlashBuffer) << key;
        EXPECT_LE(e.eepromBytes(), kEepromBuffer) << key;
        EXPECT_LE(e.voltageCode, 1) << key;
        EXPECT_GT(e.eraseDelayValue(), 0) << key;
        // Classes that step by pages need a page size; all others have one too.
        ASSERT_GT(e.flashPage(), 0) << key;
        EXPECT_TRUE(isPowerOfTwo(e.flashPage())) << key;
        EXPECT_LE(e.flashPage(), e.flashBytes()) << key;
        EXPECT_EQ(e.flashBytes() % e.flashPage(), 0u) << key;
        if (e.chipClass != kClassAvr) {
            EXPECT_TRUE(isPowerOfTwo(e.flashBytes())) << key;
            EXPECT_EQ(e.eepromBytes(), 0) << key;
            EXPECT_EQ(e.eepromPageSize, 0) << key;
            EXPECT_EQ(e.interfaceCode, 1) << "ZIF socket: " << key;
        }
    }
}

// A 24-, 25- or 95-series name carries its density in Kbit: 01/010 = 1,
// 16/160 = 16, 128, 1024, M01/1M = 1024.
int densityKbitFromName(const QByteArray& model, const char* series)
{
    static const QRegularExpression pattern(QStringLiteral("(24|25|95)([A-Z]*)(\\d+)(M?)"));
    QRegularExpressionMatchIterator it = pattern.globalMatch(QString::fromLatin1(model));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1) != QLatin1String(series))
            continue;
        const QString digits = m.captured(3);
        const int value = digits.toInt();
        if (m.captured(4) == QLatin1String("M"))
            return value * 1024;
        if (m.captured(2).endsWith(QLatin1Char('M')) && digits.size() == 2)
            return value * 1024;
        if (digits.size() == 3 && digits.endsWith(QLatin1Char('0')) && isPowerOfTwo(value / 10) && value / 10 <= 64)
            return value / 10;
        return value;
    }
    return -1;
}

TEST_F(BundledChipList, SerialEepromSizesMatchTheirNamesAndPages)
{
    const std::vector<Chip> ee24 = ofClass(kClass24Eeprom);
    EXPECT_GE(ee24.size(), 11u);
    QSet<uint32_t> sizes24;
    for (const Chip& c : ee24) {
        const ChipEntry& e = *c.entry;
        EXPECT_EQ(e.chipId(), 0) << c.model.constData();
        EXPECT_EQ(int(e.flashBytes()), densityKbitFromName(c.model, "24") * 128) << c.model.constData();
        const int subtype = e.flashBytes() > 65536 ? 2 : e.flashBytes() >= 4096 ? 1 : 0;
        EXPECT_EQ(e.subtype, subtype) << c.model.constData();
        EXPECT_GE(e.flashPage(), 8) << c.model.constData();
        EXPECT_LE(e.flashPage(), 256) << c.model.constData();
        sizes24.insert(e.flashBytes());
    }
    EXPECT_EQ(sizes24, (QSet<uint32_t>{128, 256, 512, 1024, 2048, 4096, 8192, 16384, 32768, 65536, 131072}))
        << "24C01 to 24C1024";

    for (const auto& [cls, series] : {std::pair{kClass95Eeprom, "95"}, std::pair{kClass25Eeprom, "25"}}) {
        const std::vector<Chip> list = ofClass(cls);
        EXPECT_GE(list.size(), 10u) << series;
        for (const Chip& c : list) {
            const ChipEntry& e = *c.entry;
            EXPECT_EQ(e.chipId(), 0) << c.model.constData();
            EXPECT_EQ(e.subtype, 0) << c.model.constData();
            EXPECT_EQ(int(e.flashBytes()), densityKbitFromName(c.model, series) * 128) << c.model.constData();
            EXPECT_GE(e.flashPage(), 8) << c.model.constData();
            EXPECT_LE(e.flashPage(), 256) << c.model.constData();
        }
    }
}

TEST_F(BundledChipList, MicrowireSubtypesMatchSizeOrganisationAndName)
{
    static const QRegularExpression number(QStringLiteral("93[A-Z]*(46|56|66|76|86)"));
    const std::map<QString, uint32_t> sizeOfNumber = {
        {"46", 128}, {"56", 256}, {"66", 512}, {"76", 1024}, {"86", 2048}};
    QSet<int> codes;
    for (const Chip& c : ofClass(kClass93Eeprom)) {
        const ChipEntry& e = *c.entry;
        const int code = e.subtype;
        const bool org16 = (code & 0x50) == 0x50;
        const int bits = code & 0x0F;
        EXPECT_EQ(code & ~0x7F, 0) << c.model.constData();
        EXPECT_EQ(code & 0x50, org16 ? 0x50 : 0) << c.model.constData();
        EXPECT_TRUE(org16 ? (bits >= 6 && bits <= 10) : (bits >= 7 && bits <= 11)) << c.model.constData();
        // Each address selects one byte (8-bit) or one word (16-bit).
        EXPECT_EQ(e.flashBytes(), (org16 ? 2u : 1u) << bits) << c.model.constData();
        const QRegularExpressionMatch m = number.match(QString::fromLatin1(c.model));
        ASSERT_TRUE(m.hasMatch()) << c.model.constData();
        EXPECT_EQ(e.flashBytes(), sizeOfNumber.at(m.captured(1))) << c.model.constData();
        EXPECT_EQ(e.chipId(), 0) << c.model.constData();
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 20) << "every Microwire subtype has an entry";
}

TEST_F(BundledChipList, AvrEntriesFollowTheirSignatures)
{
    const std::vector<Chip> avr = ofClass(kClassAvr);
    EXPECT_GE(avr.size(), 160u);
    for (const Chip& c : avr) {
        const ChipEntry& e = *c.entry;
        const char* model = c.model.constData();
        EXPECT_EQ(c.type, "AVR");
        EXPECT_EQ(e.interfaceCode, 2) << "ISP header: " << model;
        EXPECT_EQ(e.subtype, 0) << model;
        // Signature: 0x1E, then the Flash size as 1 KB << the low nibble of a
        // 0x9n byte (0xAn for the RF parts).
        const uint32_t sig = uint32_t(e.chipId());
        EXPECT_EQ(sig >> 16, 0x1Eu) << model;
        const uint32_t sizeCode = (sig >> 8) & 0xFF;
        ASSERT_TRUE((sizeCode >> 4) == 0x9 || (sizeCode >> 4) == 0xA) << model;
        EXPECT_EQ(e.flashBytes(), 1024u << (sizeCode & 0x0F)) << model;
        // The ATtiny441/841 write 8-word pages.
        EXPECT_GE(e.flashPage(), 16) << model;
        EXPECT_LE(e.flashPage(), 256) << model;
        // The USB parts ATmega8U2/16U2/32U2 all write 64-word pages.
        if (c.model.endsWith("U2")) {
            EXPECT_EQ(e.flashPage(), 128) << model;
        }
        EXPECT_GT(e.eepromBytes(), 0) << model;
        EXPECT_TRUE(isPowerOfTwo(e.eepromBytes())) << model;
        EXPECT_TRUE(isPowerOfTwo(e.eepromPageSize)) << model;
        EXPECT_LE(e.eepromPageSize, 8) << model;
    }
}

// One part of the public AVR parts table (tests/data/avr-reference.tsv).
struct AvrReference {
    uint32_t signature;
    uint32_t flash;
    uint32_t flashPage;
    uint32_t eeprom;
    uint32_t eepromPage;         // 0 when the table gives none
    bool eepromPageCommands;     // Load/Write EEPROM Memory Page over ISP
    int chipEraseDelayUs;        // -1 when the table gives none
    int vccMaxMillivolts;
};

std::map<QByteArray, AvrReference> loadAvrReference()
{
    std::map<QByteArray, AvrReference> parts;
    for (const QList<QByteArray>& f : tableRows("avr-reference.tsv", 9)) {
        AvrReference r;
        r.signature = f[1].toUInt(nullptr, 16);
        r.flash = f[2].toUInt();
        r.flashPage = f[3].toUInt();
        r.eeprom = f[4].toUInt();
        r.eepromPage = f[5].toUInt();
        r.eepromPageCommands = f[6] == "yes";
        bool known = false;
        r.chipEraseDelayUs = f[7].toInt(&known);
        if (!known)
            r.chipEraseDelayUs = -1;
        r.vccMaxMillivolts = f[8].toInt();
        parts.emplace(f[0], r);
    }
    return parts;
}

// Every AVR entry is a part of the table, with its facts: an EEPROM without
// page commands is written a byte at a time (page 1), the erase waits at least
// the table's chip-erase delay and never less than 10 ms, and a part that
// cannot take 5 V is supplied with 3.3 V.
TEST_F(BundledChipList, AvrEntriesAgreeWithThePublicTable)
{
    const std::map<QByteArray, AvrReference> reference = loadAvrReference();
    ASSERT_GE(reference.size(), 160u);
    std::size_t matched = 0;
    for (const Chip& c : ofClass(kClassAvr)) {
        const ChipEntry& e = *c.entry;
        const char* model = c.model.constData();
        const auto it = reference.find(c.model);
        if (it == reference.end()) {
            ADD_FAILURE() << model << " is not in the table";
            continue;
        }
        ++matched;
        const AvrReference& r = it->second;
        EXPECT_EQ(uint32_t(e.chipId()), r.signature) << model;
        EXPECT_EQ(e.flashBytes(), r.flash) << model;
        EXPECT_EQ(e.flashPage(), r.flashPage) << model;
        EXPECT_EQ(e.eepromBytes(), r.eeprom) << model;
        EXPECT_EQ(e.eepromPageSize, r.eepromPageCommands ? r.eepromPage : 1u) << model;
        const int waitMs = std::max(10, int(std::ceil(std::max(r.chipEraseDelayUs, 0) / 1000.0)));
        EXPECT_EQ(e.eraseDelayValue(), waitMs) << model;
        EXPECT_EQ(e.voltageCode, r.vccMaxMillivolts >= 5500 ? 1 : 0) << model;
    }
    EXPECT_EQ(matched, reference.size()) << "every part of the table is in the list";
}

// --- SPI flash ---------------------------------------------------------------

// Parts whose datasheets program one byte (Byte Program) or one two-byte word
// (AAI Word Program, or Atmel's Sequential Byte Program) per command: the
// programmer's "SST flash" scheme, whoever made them. Every other SPI flash
// of the list takes up to 256 bytes per Page Program, SST's own SST25VF064C
// and SST26 family included.
const QSet<QByteArray>& byteProgrammedParts()
{
    static const QSet<QByteArray> parts = {
        "SST25VF020B", "SST25VF040B", "SST25VF080B", "SST25VF016B", "SST25VF032B",
        "PCT25VF040B", "PCT25VF080B", "PCT25VF016B", "PCT25VF032B", // licensed twins of the above
        "F25L004A", "F25L008A", "F25L016A",                         // ESMT: AAI word programming
        "AT26F004",                                                 // byte program architecture
        "AT26DF041",                                                // 02h programs one byte
    };
    return parts;
}

TEST_F(BundledChipList, SpiFlashEntriesFollowTheirIdentifiers)
{
    // Parts whose Page Program takes fewer than 256 bytes.
    const QMap<QByteArray, uint16_t> smallPages = {{"MX25L5121E", 32}};
    const std::vector<Chip> flash = ofClass(kClassSpiFlash);
    EXPECT_GE(flash.size(), 340u);
    QSet<QByteArray> makers;
    int byteProgrammed = 0;
    for (const Chip& c : flash) {
        const ChipEntry& e = *c.entry;
        const char* model = c.model.constData();
        makers.insert(c.maker);
        EXPECT_EQ(e.flashPage(), smallPages.value(c.model, 256)) << model;
        EXPECT_EQ(e.voltageCode, 0) << "3.3V: " << model;
        EXPECT_GT(e.chipId(), 0) << model;
        EXPECT_LE(e.chipId(), 0xFFFFFF) << model;
        const bool byByte = byteProgrammedParts().contains(c.model);
        byteProgrammed += byByte ? 1 : 0;
        const int subtype = e.flashBytes() > 16u * 1024 * 1024 ? 2 : byByte ? 1 : 0;
        EXPECT_EQ(e.subtype, subtype) << model;
        // Only SST's SuperFlash cell (JEDEC maker code 0xBF, which the licensed
        // twins answer too) erases a whole chip within a second, whatever the
        // programming scheme: the byte-programmed ESMT and Atmel parts take
        // seconds. Below 20 polls is seconds typed where polls belong.
        if ((e.chipId() >> 16) != 0xBF) {
            EXPECT_GE(e.eraseDelayValue(), 20) << model;
        }

        // The capacity byte gives the size as 2^n bytes (n = 0x10..0x19, and
        // 0x20.. for 64 MiB and up; Macronix's 0x3n codes count 0x20 higher),
        // except for makers and memory types with their own device codes and
        // the early Spansion parts, which count one step lower.
        const uint32_t id = uint32_t(e.chipId());
        const uint32_t maker = id >> 16;
        const uint32_t cap = id & 0xFF;
        static const QSet<uint32_t> ownCodeMakers = {0x1F, 0x7F, 0xBF, 0x89};  // Atmel, PMC, SST, Intel
        static const QSet<uint32_t> ownCodeTypes = {0x6216, 0x6211, 0x9D14};   // Sanyo LE25FW..3A, ISSI (PMC)
        if (ownCodeMakers.contains(maker) || ownCodeTypes.contains(id >> 8))
            continue;
        if (maker == 0x01 && ((id >> 8) & 0xFF) == 0x02 && cap < 0x19) {
            EXPECT_EQ(e.flashBytes(), 2u << cap) << model;
        } else if (maker == 0xC2 && cap >= 0x30 && cap <= 0x3A) {
            EXPECT_EQ(e.flashBytes(), 1u << (cap - 0x20)) << model;
        } else if (cap >= 0x10 && cap <= 0x19) {
            EXPECT_EQ(e.flashBytes(), 1u << cap) << model;
        } else if (cap == 0x1A || cap == 0x20) {
            EXPECT_EQ(e.flashBytes(), kFlashBuffer) << model;
        } else {
            ADD_FAILURE() << "unusual capacity byte of " << model;
        }
    }
    for (const char* m : {"WINBOND", "MXIC", "GIGADEVICE", "ISSI", "SPANSION", "MICRON", "ST", "SST", "ATMEL",
                          "ADESTO", "EON", "XMC", "ZBIT", "PUYA", "BOYA", "FUDAN", "XTX", "ZETTA", "PCT", "ESMT",
                          "AMIC", "ESI", "INTEL", "NANTRONICS", "SANYO"})
        EXPECT_TRUE(makers.contains(m)) << m;
    EXPECT_EQ(byteProgrammed, int(byteProgrammedParts().size())) << "every byte-programmed part is in the list";
}

// Entries once wrong, with what their datasheets say: subtype, identifier
// (JEDEC answer or signature), Flash page size and EEPROM page size.
TEST_F(BundledChipList, CorrectedEntriesCarryTheirDatasheetFacts)
{
    struct Fact {
        const char* model;
        uint8_t subtype;
        int32_t id;
        uint16_t page;
        uint8_t eepromPage;
    };
    const Fact facts[] = {
        {"SST25VF064C", 0, 0xBF254B, 256, 0},  // Page-Program, 256 bytes
        {"SST26VF016B", 0, 0xBF2641, 256, 0},  // DS20005262: Page-Program, 256 bytes
        {"SST26VF064BA", 0, 0xBF2643, 256, 0}, // DS20005119
        {"PCT25VF064C", 0, 0xBF254B, 256, 0},  // twin of the SST25VF064C
        {"PCT26VF032", 0, 0xBF2602, 256, 0},   // twin of the SST26VF032
        {"F25L004A", 1, 0x8C2013, 256, 0},     // byte program, AAI word programming
        {"F25L016A", 1, 0x8C2015, 256, 0},
        {"AT26F004", 1, 0x1F0400, 256, 0},     // byte program, sequential byte program mode
        {"AT26DF041", 1, 0x1F4400, 256, 0},    // 02h is Byte Program; its page program is another command
        {"ZB25VQ16", 0, 0x5E6015, 256, 0},     // the datasheet's 5E 60 15
        {"ZB25VQ16-0E", 0, 0x0E4015, 256, 0},  // what the part answers in the field
        {"ATmega8U2", 0, 0x1E9389, 128, 4},    // 64-word Flash pages
        {"ATmega169A", 0, 0x1E9411, 128, 4},   // the A's signature differs from the PA's 0x1E9405
        {"ATmega8515", 0, 0x1E9306, 64, 1},    // ISP writes its EEPROM byte by byte
        {"ATmega8535", 0, 0x1E9308, 64, 1},
    };
    for (const Fact& f : facts) {
        const auto it =
            std::find_if(chips_->begin(), chips_->end(), [&](const Chip& c) { return c.model == f.model; });
        ASSERT_NE(it, chips_->end()) << f.model;
        EXPECT_EQ(it->entry->subtype, f.subtype) << f.model;
        EXPECT_EQ(it->entry->chipId(), f.id) << f.model;
        EXPECT_EQ(it->entry->flashPage(), f.page) << f.model;
        EXPECT_EQ(it->entry->eepromPageSize, f.eepromPage) << f.model;
    }
}

// One row of the public SPI flash table, with every name it is known by.
struct ReferenceRow {
    QByteArray vendor;
    QList<QByteArray> names;  // '.' stands for any one character
    uint32_t id;
    uint32_t size;
    uint32_t page;
    int maxMillivolts;        // 0 when not given
};

// Splits at '/' outside parentheses.
QList<QByteArray> splitNames(const QByteArray& text)
{
    QList<QByteArray> out{QByteArray()};
    int depth = 0;
    for (const char ch : text) {
        depth += ch == '(' ? 1 : ch == ')' ? -1 : 0;
        if (ch == '/' && depth == 0)
            out.append(QByteArray());
        else
            out.last().append(ch);
    }
    return out;
}

// "X(A/C)" stands for X, XA and XC.
QList<QByteArray> expandOptional(const QByteArray& name)
{
    const int open = name.indexOf('(');
    const int close = name.indexOf(')', open);
    if (open < 0 || close < 0)
        return {name};
    QList<QByteArray> out;
    QList<QByteArray> choices{QByteArray()};
    choices += name.mid(open + 1, close - open - 1).split('/');
    for (const QByteArray& choice : choices)
        out += expandOptional(name.left(open) + choice + name.mid(close + 1));
    return out;
}

bool namePatternMatches(const QByteArray& pattern, const QByteArray& model)
{
    if (pattern.size() != model.size())
        return false;
    for (int i = 0; i < pattern.size(); ++i)
        if (pattern[i] != '.' && std::toupper(uint8_t(pattern[i])) != std::toupper(uint8_t(model[i])))
            return false;
    return true;
}

std::vector<ReferenceRow> loadReference()
{
    std::vector<ReferenceRow> rows;
    for (const QList<QByteArray>& f : tableRows("spi-flash-reference.tsv", 8)) {
        ReferenceRow r;
        r.vendor = f[0];
        for (const QByteArray& n : QList<QByteArray>{f[1]} + splitNames(f[7]))
            r.names += expandOptional(n);
        r.id = f[2].toUInt(nullptr, 16);
        r.size = f[3].toUInt();
        r.page = f[4].toUInt();
        r.maxMillivolts = f[6].toInt();
        rows.push_back(r);
    }
    return rows;
}

TEST(BundledChipListReference, NamePatternsExpandAsTheTableWritesThem)
{
    EXPECT_EQ(splitNames("MX25L4005(A/C)/MX25L4006E"), (QList<QByteArray>{"MX25L4005(A/C)", "MX25L4006E"}));
    EXPECT_EQ(expandOptional("MX25L4005(A/C)"), (QList<QByteArray>{"MX25L4005", "MX25L4005A", "MX25L4005C"}));
    EXPECT_TRUE(namePatternMatches("N25Q064..3E", "N25Q064A13E"));
    EXPECT_TRUE(namePatternMatches("S25FL127S-64kB", "S25FL127S-64KB"));
    EXPECT_FALSE(namePatternMatches("W25Q128.V", "W25Q128JV-IM"));
}

TEST_F(BundledChipList, SpiFlashAgreesWithThePublicTable)
{
    const std::vector<ReferenceRow> reference = loadReference();
    ASSERT_GT(reference.size(), 400u);
    // Where our list deliberately differs from the table.
    const QMap<QByteArray, const char*> deliberate = {
        // The datasheet's identifier; ZB25VQ16-0E carries the table's.
        {"ZB25VQ16", "identifier"},
    };
    // Entries whose facts were taken from the table: each must be found there.
    const QSet<QByteArray> takenFromTheTable = {
        "W77Q64JV", "W77Q128JV", "MX25L3239E", "MX25L6495F", "MX77L25650F", "MX25LM51245G", "MX25L5121E",
        "IS25LQ016", "M25PE10", "M25PE20", "M25PE40", "M25PE80", "M25PE16", "ES25P40", "ES25P80", "ES25P16",
        "25F160S33B8", "25F160S33T8", "25F320S33B8", "25F320S33T8", "25F640S33B8", "25F640S33T8",
        "N25S10", "N25S20", "N25S40", "N25S80", "N25S16",
        "LE25FU206A", "LE25FU406C", "LE25U40CMC", "LE25FW203A", "LE25FW403A",
    };
    int checked = 0;
    QSet<QByteArray> found;
    QSet<QByteArray> stillDiffering;
    for (const Chip& c : ofClass(kClassSpiFlash)) {
        const ChipEntry& e = *c.entry;
        bool known = false;
        for (const ReferenceRow& r : reference) {
            bool hit = false;
            for (const QByteArray& n : r.names)
                hit = hit || namePatternMatches(n, c.model);
            if (!hit)
                continue;
            known = true;
            const bool agrees = uint32_t(e.chipId()) == r.id && e.flashBytes() == r.size && e.flashPage() == r.page;
            if (deliberate.contains(c.model)) {
                if (!agrees)
                    stillDiffering.insert(c.model);
                continue;
            }
            EXPECT_EQ(uint32_t(e.chipId()), r.id) << c.model.constData() << " (table: " << r.vendor.constData() << ")";
            EXPECT_EQ(e.flashBytes(), r.size) << c.model.constData();
            EXPECT_EQ(e.flashPage(), r.page) << c.model.constData();
            // Entries are powered with 3.3 V.
            if (r.maxMillivolts != 0) {
                EXPECT_GE(r.maxMillivolts, 3300) << c.model.constData() << " is no 3.3 V part";
            }
        }
        checked += known ? 1 : 0;
        if (known)
            found.insert(c.model);
    }
    EXPECT_GE(checked, 330) << "most SPI flash entries are models the table knows";
    for (const QByteArray& model : takenFromTheTable)
        EXPECT_TRUE(found.contains(model)) << model.constData() << " is not in the list or not in the table";
    for (auto it = deliberate.begin(); it != deliberate.end(); ++it)
        EXPECT_TRUE(stillDiffering.contains(it.key())) << it.key().constData() << " (" << it.value()
                                                       << ") no longer differs: drop the exception";
}

// Detection selects the first entry with the identifier the probe reports;
// entries sharing it with an earlier one select that one. SPI flash answers
// its JEDEC identifier in its own class, an AVR its signature in the first.
TEST_F(BundledChipList, DetectionFindsEveryChipByItsIdentifier)
{
    SimulatedProgrammer sim;
    RecordingUi ui;
    ProgramState state(sim, ui);
    startWithBundledList(state);

    std::map<int32_t, int> firstWithId;
    for (const Chip& c : *chips_)
        firstWithId.emplace(c.entry->chipId(), c.index);

    struct Kind {
        uint8_t chipClass;
        bool alternateVariantFlag;  // the flag only matters past the first type
    };
    for (const Kind kind : {Kind{kClassSpiFlash, true}, Kind{kClassAvr, false}}) {
        bool flag = false;
        for (const Chip& c : ofClass(kind.chipClass)) {
            flag = kind.alternateVariantFlag ? !flag : true;
            sim.setVariantFlag(flag ? 0x01 : 0x00);
            sim.insertChip(*c.entry);
            uint8_t id[5] = {};
            ASSERT_EQ(state.programmer().probeChip(id), 1) << c.model.constData();
            ASSERT_TRUE(state.selection().selectById(id[1], id[2], id[3], id[0] - 1, id[4])) << c.model.constData();
            EXPECT_EQ(state.currentChipIndex(), firstWithId.at(c.entry->chipId())) << c.model.constData();
            EXPECT_EQ(state.currentChip().chipId(), c.entry->chipId()) << c.model.constData();
            EXPECT_TRUE(ui.errors().isEmpty()) << c.model.constData() << ": " << ui.errors().join(' ').toStdString();
            ui.clear();
        }
    }
}

// New kinds of entry on the simulated programmer: a 32-byte-page SPI flash, a
// 64 MiB one, an 8-word-page AVR, a 3.3 V AVR with 256 KiB and a byte-written
// EEPROM. Erase, write and verify must each complete and leave the chip
// holding the buffers.
TEST_F(BundledChipList, NewKindsOfEntryWriteAndVerify)
{
    struct Case {
        const char* model;
        int32_t flashBytes;   // written from address 0
        int32_t eepromBytes;
    };
    const Case cases[] = {
        {"MX25L5121E", 65536, 0},
        {"MX25LM51245G", 65536, 0},
        {"M25PE16", 4096, 0},
        {"ATtiny441", 4096, 256},
        {"ATmega2564RFR2", 8192, 8192},
        {"ATmega8515", 8192, 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        const auto it =
            std::find_if(chips_->begin(), chips_->end(), [&](const Chip& chip) { return chip.model == c.model; });
        ASSERT_NE(it, chips_->end());
        OperationRig rig;
        rig.use(*it->entry);
        rig.ops.eraseChip();
        rig.loadFlash(c.flashBytes);
        rig.ops.writeChip(MemoryPage::Flash);
        rig.ops.verifyChip(MemoryPage::Flash);
        QStringList expected = {"Erase Complete!", "Write Complete!", "Verify Complete!"};
        if (c.eepromBytes > 0) {
            rig.loadEeprom(c.eepromBytes);
            rig.ops.writeChip(MemoryPage::Eeprom);
            rig.ops.verifyChip(MemoryPage::Eeprom);
            expected << "Write Complete!" << "Verify Complete!";
            EXPECT_TRUE(std::equal(rig.sim.eeprom().begin(), rig.sim.eeprom().begin() + c.eepromBytes,
                                   rig.state.buffers().eeprom()));
        }
        EXPECT_EQ(rig.ui.logs(), expected);
        EXPECT_TRUE(rig.ui.errors().isEmpty()) << rig.ui.errors().join(' ').toStdString();
        EXPECT_TRUE(std::equal(rig.sim.flash().begin(), rig.sim.flash().begin() + c.flashBytes,
                               rig.state.buffers().flash()));
    }
}

} // namespace
