#pragma once
// Chip entries for tests, built from named fields, and chip-list files made
// of them.

#include "chipdb/ChipEntry.h"
#include "chipdb/ChipTable.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <initializer_list>

struct ChipFields {
    const char* key = "";
    int32_t id = 0;
    uint32_t flash = 0;
    uint16_t page = 0;
    uint8_t chipClass = 0;
    uint8_t subtype = 0;
    uint16_t eraseDelay = 0;
    uint16_t eeprom = 0;
    uint8_t eepromPage = 0;
    uint8_t interfaceCode = 1;
    uint8_t voltage = 0;
};

inline ChipEntry makeChip(const ChipFields& f)
{
    ChipEntry e{};
    e.setKeyText(QByteArray(f.key));
    e.setChipId(f.id);
    e.setFlashBytes(f.flash);
    e.setFlashPage(f.page);
    e.chipClass = f.chipClass;
    e.subtype = f.subtype;
    e.setEraseDelay(f.eraseDelay);
    e.setEepromBytes(f.eeprom);
    e.eepromPageSize = f.eepromPage;
    e.interfaceCode = f.interfaceCode;
    e.voltageCode = f.voltage;
    return e;
}

inline ChipEntry chipNamed(const char* key) { return makeChip({.key = key, .flash = 1024, .page = 16}); }

inline void fillTable(ChipTable& table, std::initializer_list<ChipEntry> entries)
{
    table.clear();
    int i = 0;
    for (const ChipEntry& e : entries)
        table[i++] = e;
}

inline QByteArray entryBytes(const ChipEntry& e) { return QByteArray(reinterpret_cast<const char*>(&e), sizeof e); }

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
