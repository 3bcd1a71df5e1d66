#pragma once
// The chip table: up to 2000 chip entries read from the chip-list file. The
// list ends at the first entry whose first byte is zero.

#include "chipdb/ChipEntry.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class UserInterface;

class ChipTable {
public:
    static constexpr int kCapacity = 2000;

    ChipTable();

    ChipEntry& operator[](int i) { return entries_[static_cast<std::size_t>(i)]; }
    const ChipEntry& operator[](int i) const { return entries_[static_cast<std::size_t>(i)]; }

    // Entries before the end entry (at most kCapacity).
    int count() const;
    void clear();
    // The chip search: positions of the entries whose whole key holds `text`,
    // once trimmed of the characters 0..32, in any case of the letters A-Z
    // (names are written in capitals; "w25q64" is typed); a blank text
    // matches nothing.
    std::vector<int> positionsHolding(const QByteArray& text) const;

    enum class LoadResult {
        Loaded,      // file read into the table
        Missing,     // no file: table untouched
        Damaged,     // length not a multiple of 68: table untouched
        Truncated,   // more than 2000 entries: the first 2000 were taken
        Unreadable,  // the file exists but could not be read: table untouched
    };
    // Reads the chip-list file into the table; no messages.
    LoadResult loadFile(const QString& path);
    // Writes entries 0..count-1 and one end entry (first 20 bytes zero)
    // through a temporary file renamed over the target.
    bool saveFile(const QString& path, int count, QString* error = nullptr) const;
    // The bytes saveFile writes; empty when count does not fit the table.
    QByteArray fileBytes(int count) const;

private:
    std::unique_ptr<std::array<ChipEntry, kCapacity>> storage_;
    std::array<ChipEntry, kCapacity>& entries_;
};

// Reads the chip list as the program does at start-up: a damaged file shows
// "The configuration file was destroyed."; a list over 2000 entries keeps the
// first 2000 and says so in the log. Returns false only for a damaged file.
bool LoadChipList(ChipTable& table, const QString& path, UserInterface& ui);
