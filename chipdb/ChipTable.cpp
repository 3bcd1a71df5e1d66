#include "chipdb/ChipTable.h"

#include "app/FileWrite.h"
#include "app/UserInterface.h"
#include "chipdb/ChipKey.h"

#include <QFile>
#include <QFileInfo>

ChipTable::ChipTable()
    : storage_(std::make_unique<std::array<ChipEntry, kCapacity>>()), entries_(*storage_)
{
    clear();
}

void ChipTable::clear()
{
    std::memset(entries_.data(), 0, sizeof(ChipEntry) * kCapacity);
}

int ChipTable::count() const
{
    int n = 0;
    while (n < kCapacity && !entries_[static_cast<std::size_t>(n)].isEnd())
        ++n;
    return n;
}

ChipTable::LoadResult ChipTable::loadFile(const QString& path)
{
    if (!QFileInfo::exists(path))
        return LoadResult::Missing;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoadResult::Unreadable;
    const QByteArray bytes = file.readAll();
    if (bytes.size() % static_cast<qsizetype>(sizeof(ChipEntry)) != 0)
        return LoadResult::Damaged;
    const qsizetype fit = std::min<qsizetype>(bytes.size(), qsizetype(sizeof(ChipEntry)) * kCapacity);
    // A shorter list than the one held before must not end in its leftovers.
    clear();
    std::memcpy(entries_.data(), bytes.constData(), static_cast<std::size_t>(fit));
    if (bytes.size() > fit) {
        // Only a list that still runs on past the table is cut short.
        const auto* next = reinterpret_cast<const ChipEntry*>(bytes.constData() + fit);
        if (count() == kCapacity && !next->isEnd())
            return LoadResult::Truncated;
    }
    return LoadResult::Loaded;
}

QByteArray ChipTable::fileBytes(int n) const
{
    if (n < 0 || n >= kCapacity)
        return {};
    QByteArray bytes(reinterpret_cast<const char*>(entries_.data()),
                     static_cast<qsizetype>(sizeof(ChipEntry)) * (n + 1));
    std::memset(bytes.data() + sizeof(ChipEntry) * static_cast<std::size_t>(n), 0, 20);
    return bytes;
}

bool ChipTable::saveFile(const QString& path, int n, QString* error) const
{
    const QByteArray bytes = fileBytes(n);
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("too many entries");
        return false;
    }
    return writeFileSafely(path, [&](QIODevice& file) { return writeAll(file, bytes.constData(), bytes.size()); }, error)
           == FileWrite::Written;
}

bool LoadChipList(ChipTable& table, const QString& path, UserInterface& ui)
{
    switch (table.loadFile(path)) {
    case ChipTable::LoadResult::Damaged:
        ui.showMessage(QString(), ui.message(Msg::ConfigDestroyed));
        return false;
    case ChipTable::LoadResult::Truncated:
        ui.log(ui.message(Msg::ChipListTruncated));
        return true;
    case ChipTable::LoadResult::Unreadable:
        ui.showError(ui.message(Msg::CantOpenFile) + QStringLiteral(": ") + path);
        return false;
    case ChipTable::LoadResult::Missing:
    case ChipTable::LoadResult::Loaded:
        break;
    }
    return true;
}

std::vector<int> ChipTable::positionsHolding(const QByteArray& text) const
{
    std::vector<int> positions;
    // Only ASCII letters fold: the other bytes of a name compare as they are.
    const QByteArray needle = trimControl(text).toUpper();
    if (needle.isEmpty())
        return positions;
    for (int i = 0; i < kCapacity && !entries_[std::size_t(i)].isEnd(); ++i)
        if (entries_[std::size_t(i)].keyText().toUpper().contains(needle))
            positions.push_back(i);
    return positions;
}
