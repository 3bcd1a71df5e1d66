#include "chipdb/ChipGrid.h"
#include "chipdb/ChipKey.h"
#include "support/TestChipEntry.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

namespace {

const ChipEntry kFlash = makeChip({.key = "SPI_FLASH,WINBOND,W25Q64", .id = 0xEF4017, .flash = 8388608, .page = 256,
                                   .chipClass = 0, .subtype = 0xAB, .eraseDelay = 2000, .interfaceCode = 1});
const ChipEntry kWire = makeChip({.key = "93_EEPROM,ATMEL,AT93C56", .flash = 256, .page = 16, .chipClass = 2,
                                  .subtype = 0x77, .eraseDelay = 10, .eeprom = 0, .eepromPage = 0, .voltage = 1});
const ChipEntry kAvr = makeChip({.key = "AVR,ATMEL,ATmega328P", .id = 0x1E950F, .flash = 32768, .page = 128,
                                 .chipClass = 7, .eraseDelay = 10, .eeprom = 1024, .eepromPage = 4,
                                 .interfaceCode = 2, .voltage = 1});

QStringList row(const ChipGrid& g, int r, int columns = ChipGrid::kVisibleColumns)
{
    QStringList cells;
    for (int c = 0; c < columns; ++c)
        cells << g.cell(c, r);
    return cells;
}

// The fields a save stores, side by side.
void expectSameChip(const ChipEntry& a, const ChipEntry& b)
{
    EXPECT_EQ(chipNames(a.keyText()).model, chipNames(b.keyText()).model);
    EXPECT_EQ(a.chipId(), b.chipId());
    EXPECT_EQ(a.flashBytes(), b.flashBytes());
    EXPECT_EQ(a.flashPage(), b.flashPage());
    EXPECT_EQ(a.chipClass, b.chipClass);
    EXPECT_EQ(a.subtype, b.subtype);
    EXPECT_EQ(a.eraseDelayValue(), b.eraseDelayValue());
    EXPECT_EQ(a.eepromBytes(), b.eepromBytes());
    EXPECT_EQ(a.eepromPageSize, b.eepromPageSize);
    EXPECT_EQ(a.interfaceCode, b.interfaceCode);
    EXPECT_EQ(a.voltageCode, b.voltageCode);
}

TEST(ChipGridFill, OneRowPerEntryInTheGridsFormats)
{
    ChipTable table;
    fillTable(table, {kFlash, kWire, kAvr});
    ChipGrid grid;
    grid.fillFrom(table);
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(grid.cell(0, 0), QStringLiteral("芯片类型"));
    EXPECT_EQ(row(grid, 1), (QStringList{"SPI_FLASH", "WINBOND", "W25Q64", "0xEF4017", "8388608", "256", "0", "0xAB",
                                         "2000", "0", "0", "0", "2000", "1", "0"}));
    EXPECT_EQ(row(grid, 2)[7], "0x77");
    EXPECT_EQ(row(grid, 3), (QStringList{"AVR", "ATMEL", "ATmega328P", "0x1E950F", "32768", "128", "7", "0x0", "10",
                                         "1", "1024", "4", "10", "2", "0"}));

    // A negative identifier shows its 32 bits.
    fillTable(table, {makeChip({.key = "a,b,c", .id = -1})});
    grid.fillFrom(table);
    EXPECT_EQ(grid.cell(ChipGrid::ColId, 1), "0xFFFFFFFF");

    table.clear();
    grid.fillFrom(table);
    EXPECT_EQ(grid.rowCount(), 1) << "an empty list leaves the heading row";
}

TEST(ChipGridFill, AFullTableGives2000Rows)
{
    ChipTable table;
    for (int i = 0; i < ChipTable::kCapacity; ++i)
        table[i] = chipNamed("T,M,N");
    ChipGrid grid;
    grid.fillFrom(table);
    EXPECT_EQ(grid.rowCount(), 2001);
}

TEST(ChipGridRows, AddCopiesTheFirstEntryAndDeleteMovesRowsUp)
{
    ChipTable table;
    fillTable(table, {kWire, kFlash});
    ChipGrid grid;
    grid.fillFrom(table);
    grid.addRowFromFirstEntry(table);
    ASSERT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(row(grid, 3), (QStringList{"93_EEPROM", "ATMEL", "AT93C56", "0x0", "256", "16", "2", "119", "10", "1",
                                         "0", "0", "10", "1", "0"}))
        << "the subtype of an added row is decimal";

    grid.deleteRow(1);
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.cell(2, 1), "W25Q64");
    EXPECT_EQ(grid.cell(7, 2), "119");
    grid.deleteRow(0);
    grid.deleteRow(3);
    EXPECT_EQ(grid.rowCount(), 3) << "the heading and rows that are not there stay";

    grid.deleteRow(2);
    grid.deleteRow(1);
    EXPECT_EQ(grid.rowCount(), 1);
    grid.deleteRow(1);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.cell(0, 0), QStringLiteral("芯片类型"));

    // Saving the empty grid writes just the end entry.
    ASSERT_FALSE(grid.saveInto(table).has_value());
    EXPECT_EQ(table.count(), 0);
}

TEST(ChipGridText, ExportThenImportGivesTheSameGridAndList)
{
    ChipTable table;
    fillTable(table, {kFlash, kWire, kAvr});
    ChipGrid grid;
    grid.fillFrom(table);
    const QStringList lines = grid.exportLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].count(QLatin1Char('\t')), 26);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("\t0") + QString(12, QLatin1Char('\t'))));
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("SPI_FLASH\tWINBOND\tW25Q64\t0xEF4017\t8388608\t")));

    QList<QByteArray> bytes;
    for (const QString& l : lines)
        bytes << l.toUtf8();
    ChipGrid again;
    again.importLines(bytes);
    ASSERT_EQ(again.rowCount(), grid.rowCount());
    for (int r = 1; r < grid.rowCount(); ++r)
        EXPECT_EQ(row(again, r, ChipGrid::kColumns), row(grid, r, ChipGrid::kColumns)) << "row " << r;

    ChipTable saved;
    ASSERT_FALSE(again.saveInto(saved).has_value());
    ASSERT_EQ(saved.count(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        expectSameChip(saved[i], table[i]);
    }
    EXPECT_EQ(saved[0].keyText(), "SPI_FLASH,WINBOND,W25Q64,0");
}

TEST(ChipGridText, ImportSplitsOnTabsAndBlanksAndKeepsUnreachedCells)
{
    ChipGrid grid;
    grid.importLines({"A\tB\tC\tD\tE\tF\tG\tH\tI\tJ\tK\tL\tM\tN\tO\tP", "", "x y\t\tz"});
    ASSERT_EQ(grid.rowCount(), 4) << "every line, also an empty one, is a row";
    EXPECT_EQ(grid.cell(15, 1), "P") << "a sixteenth field lies past the visible columns";
    EXPECT_TRUE(grid.exportLines()[0].contains(QStringLiteral("\tO\tP\t")));
    EXPECT_EQ(row(grid, 2, 3), (QStringList{"", "", ""}));
    EXPECT_EQ(row(grid, 3, 4), (QStringList{"x", "y", "z", ""})) << "a blank splits a name";

    // A second import writes over the cells it reaches and no others.
    grid.importLines({"1\t2"});
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(row(grid, 1, 4), (QStringList{"1", "2", "C", "D"}));

    // Text lines as the file gives them.
    EXPECT_EQ(readLines("a\r\nb\n\nc\n"), (QList<QByteArray>{"a", "b", "", "c"}));
    EXPECT_EQ(readLines("a\nb"), (QList<QByteArray>{"a", "b"}));
    EXPECT_TRUE(readLines("").isEmpty());
    EXPECT_EQ(readLines("a\rb\r\rc\n\rd\r"), (QList<QByteArray>{"a", "b", "", "c", "", "d"}))
        << "a carriage return alone ends a line as well";
}

// A grid with one data row, ready to save.
ChipGrid oneRowGrid()
{
    ChipGrid grid;
    grid.importLines({"93_EEPROM\tATMEL\tAT93C56\t$10\t0x100\t65552\t2\t0x77\t9999\t1\t-1\t1024\t300\t1\tC:\\xml\\a.xml"});
    return grid;
}

TEST(ChipGridSave, ConvertsCellsAndTruncatesToTheFieldWidths)
{
    ChipTable table;
    fillTable(table, {kAvr, kFlash, kWire});
    table[0].reserved = 0x5A;
    ChipGrid grid = oneRowGrid();
    ASSERT_FALSE(grid.saveInto(table).has_value());

    const ChipEntry& e = table[0];
    EXPECT_EQ(e.keyText(), "93_EEPROM,ATMEL,AT93C56,a.xml");
    EXPECT_EQ(e.chipId(), 16);
    EXPECT_EQ(e.flashBytes(), 256u);
    EXPECT_EQ(e.flashPage(), 16) << "65552 keeps its low 16 bits";
    EXPECT_EQ(e.chipClass, 2);
    EXPECT_EQ(e.subtype, 0x77);
    EXPECT_EQ(e.voltageCode, 1);
    EXPECT_EQ(e.eepromBytes(), 0xFFFF);
    EXPECT_EQ(e.eepromPageSize, 0) << "1024 does not fit the byte";
    EXPECT_EQ(e.eraseDelayValue(), 300) << "the shown delay column is not saved";
    EXPECT_EQ(e.interfaceCode, 1);
    EXPECT_EQ(e.reserved, 0x5A);
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(QByteArray(table[1].key, 20), QByteArray(20, '\0'));
    EXPECT_EQ(table[1].flashBytes(), kFlash.flashBytes()) << "only 20 bytes of the end entry are cleared";

    // The association keeps only its file-name part.
    grid.setCell(ChipGrid::ColAssociation, 1, QStringLiteral("d:x.xml"));
    ASSERT_FALSE(grid.saveInto(table).has_value());
    EXPECT_EQ(table[0].keyText(), "93_EEPROM,ATMEL,AT93C56,x.xml");
}

TEST(ChipGridSave, RefusalsLeaveTheTableAsItWas)
{
    ChipTable table;
    fillTable(table, {kAvr, kFlash});
    const QByteArray before(reinterpret_cast<const char*>(&table[0]), 3 * 68);
    auto unchanged = [&] { return QByteArray(reinterpret_cast<const char*>(&table[0]), 3 * 68) == before; };

    // A bad cell in the second row: the first row is not written either.
    ChipGrid grid = oneRowGrid();
    grid.importLines({"A\tB\tC\t1\t2\t3\t0\t0\t0\t0\t0\t0\t0\t1\t0", "D\tE\tF\t1\t2\t12a\t0\t0\t0\t0\t0\t0\t0\t1\t0"});
    auto error = grid.saveInto(table);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->message, Msg::ChipListCellNotInteger);
    EXPECT_EQ(error->detail, "12a");
    EXPECT_TRUE(unchanged());

    grid.setCell(ChipGrid::ColFlashPage, 2, QString());
    error = grid.saveInto(table);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->detail, "") << "an empty cell is no integer";
    EXPECT_TRUE(unchanged());
    grid.setCell(ChipGrid::ColFlashPage, 2, QStringLiteral("3"));

    // Type, manufacturer, model and association over 47 bytes together.
    grid.setCell(ChipGrid::ColModel, 2, QString(42, QLatin1Char('m')));
    error = grid.saveInto(table);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->message, Msg::ChipKeyTooLong);
    EXPECT_EQ(error->detail, "D,E," + QString(42, QLatin1Char('m')) + ",0");
    EXPECT_TRUE(unchanged());
    grid.setCell(ChipGrid::ColModel, 2, QString(41, QLatin1Char('m')));  // exactly 47
    EXPECT_FALSE(grid.saveInto(table).has_value());
    EXPECT_EQ(table[1].keyText().size(), 47);

    // 1999 chips fit with their end entry, 2000 do not.
    fillTable(table, {kAvr, kFlash});
    ChipGrid big;
    big.fillFrom(table);
    big.setRowCount(2001);
    for (int r = 1; r < 2001; ++r)
        for (int c = 0; c < ChipGrid::kVisibleColumns; ++c)
            big.setCell(c, r, big.cell(c, 1));
    error = big.saveInto(table);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->message, Msg::ChipListTooManyRows);
    EXPECT_TRUE(unchanged());
    big.setRowCount(2000);
    EXPECT_FALSE(big.saveInto(table).has_value());
    EXPECT_EQ(table.count(), 1999);
}

TEST(Microwire, PositionsAndCodesMatchTheLabels)
{
    const QStringList labels = ChipGrid::microwireLabels();
    ASSERT_EQ(labels.size(), 20);
    EXPECT_EQ(labels[0], "93C46@8 PE=0");
    EXPECT_EQ(labels[5], "93C46@16 PE=0");
    EXPECT_EQ(labels[10], "93C46@8 PE=1");
    EXPECT_EQ(labels[16], "93C56@16 PE=1");
    EXPECT_EQ(labels[19], "93C86@16 PE=1");
    EXPECT_EQ(ChipGrid::microwireCodeOfPosition(16), 0x77);
    EXPECT_EQ(ChipGrid::microwirePositionOfCode(0x77), 16);

    const int codes[20] = {0x07, 0x08, 0x09, 0x0A, 0x0B, 0x56, 0x57, 0x58, 0x59, 0x5A,
                           0x27, 0x28, 0x29, 0x2A, 0x2B, 0x76, 0x77, 0x78, 0x79, 0x7A};
    for (int p = 0; p < 20; ++p) {
        SCOPED_TRACE(labels[p].toStdString());
        EXPECT_EQ(ChipGrid::microwireCodeOfPosition(p), codes[p]);
        EXPECT_EQ(ChipGrid::microwirePositionOfCode(codes[p]), p);
        // The label's own numbers agree with the code: PE bit and organisation.
        EXPECT_EQ(labels[p].endsWith(QStringLiteral("PE=1")), (codes[p] & 0x20) != 0);
        EXPECT_EQ(labels[p].contains(QStringLiteral("@16")), (codes[p] & 0x50) == 0x50);
    }
    for (const int outside : {0x00, 0x06, 0x0C, 0x20, 0x26, 0x2C, 0x55, 0x5B, 0x75, 0x7B, 0xFF, -1})
        EXPECT_EQ(ChipGrid::microwirePositionOfCode(outside), -1) << outside;
    EXPECT_EQ(ChipGrid::microwireCodeOfPosition(-1), -1);
    EXPECT_EQ(ChipGrid::microwireCodeOfPosition(20), -1);
}

} // namespace
