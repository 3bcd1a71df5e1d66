// The chip-list text import on arbitrary input, then, when the grid saves,
// the chip-list file written and read back. A save either refuses with a
// message and leaves the table as it was, or stores a list that fits the
// table with its end entry and comes back from the file unchanged.
#include "chipdb/ChipGrid.h"
#include "chipdb/ChipTable.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool sameTable(const ChipTable& a, const ChipTable& b)
{
    return std::memcmp(&a[0], &b[0], sizeof(ChipEntry) * ChipTable::kCapacity) == 0;
}

// A table that already holds a list, so that a refusal that touched it shows.
void fillOldList(ChipTable& table)
{
    table.clear();
    for (int i = 0; i < 3; ++i) {
        ChipEntry& e = table[i];
        std::memset(&e, 0x5A + i, sizeof e);
        require(e.setKeyText("SPI_FLASH,OLD,PART" + QByteArray::number(i)));
    }
}

void checkRefusal(const ChipGrid::SaveError& refusal, const ChipTable& table, const ChipTable& before)
{
    require(sameTable(table, before));
    for (int language = 0; language < 3; ++language) {
        const QString text = refusal.text(language);
        require(!text.trimmed().isEmpty());
        require(refusal.message == Msg::ChipListTooManyRows || text.contains(refusal.detail));
    }
    switch (refusal.message) {
    case Msg::ChipListTooManyRows:
    case Msg::ChipListCellNotInteger:
        break;
    case Msg::ChipKeyTooLong:
        require(refusal.detail.toUtf8().size() > ChipEntry::kMaxKeyLength);
        break;
    default:
        std::abort();
    }
}

void checkSavedList(const ChipTable& table, int entries, const QString& path)
{
    require(entries >= 0 && entries <= ChipTable::kCapacity - 1);
    for (int i = 0; i < entries; ++i) {
        require(table[i].key[ChipEntry::kMaxKeyLength] == '\0');
        require(table[i].keyText().size() <= ChipEntry::kMaxKeyLength);
    }
    // Every saved row is part of the list: none ends it early.
    require(table.count() == entries);

    QString error;
    require(table.saveFile(path, entries, &error));
    static ChipTable reloaded;
    require(reloaded.loadFile(path) == ChipTable::LoadResult::Loaded);
    require(reloaded.count() == entries);
    const auto size = std::size_t(entries) * sizeof(ChipEntry);
    require(std::memcmp(&reloaded[0], &table[0], size) == 0);
    const auto* end = reinterpret_cast<const char*>(&reloaded[entries]);
    for (int i = 0; i < 20; ++i)
        require(end[i] == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Every save is synced to disk; a folder in memory keeps the runs fast.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/chip_list_import_fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/chip_list_import_fuzz-XXXXXX"));
    require(dir.isValid());
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> lines = readLines(text);

    ChipGrid grid;
    grid.importLines(lines);
    require(grid.rowCount() == lines.size() + 1);  // every line is a row

    // A short input cannot hold a list at the table's limit: when its first
    // byte is 0x1E or 0x1F its rows are repeated up to 2000 or 1999 rows.
    const int repeatTo = size == 0 ? 0 : data[0] == 0x1E ? 2000 : data[0] == 0x1F ? 1999 : 0;
    if (const int imported = grid.rowCount() - 1; imported > 0 && imported < repeatTo) {
        grid.setRowCount(repeatTo + 1);
        for (int r = imported + 1; r <= repeatTo; ++r)
            for (int c = 0; c < ChipGrid::kColumns; ++c)
                grid.setCell(c, r, grid.cell(c, 1 + (r - 1) % imported));
    }

    // Tables live across runs: allocating them each time would take most of a run.
    static ChipTable table;
    static ChipTable before;
    fillOldList(before);
    fillOldList(table);
    if (const auto refusal = grid.saveInto(table)) {
        checkRefusal(*refusal, table, before);
        return 0;
    }
    checkSavedList(table, grid.rowCount() - 1, QDir(dir.path()).filePath(QStringLiteral("chips.Dat")));
    return 0;
}
