#pragma once
// The program's settings as the settings file holds them, and the order in
// which they are read at start and written at close. The main window fills
// the values into its controls and back.

#include <QString>
#include <cstdint>

class IniFile;

struct Settings {
    // Environment
    bool formMax = false;
    int32_t formTop = 10;
    int32_t formLeft = 10;
    int32_t formHeight = 500;
    int32_t formWidth = 700;
    // CHIP: positions of the type, manufacturer and model lists
    int32_t index1 = 0;
    int32_t index2 = 0;
    int32_t index3 = 0;
    // DEVICE
    bool config = false;      // read only: shows the chip-list editor menu
    int32_t chip = 0;         // read only: non-zero shows it as well
    int32_t speed = 0;        // position of the speed list, as stored (may be out of range)
    int32_t language = 0;     // 0..2 after loading
    int32_t start = 0;        // serial-number address
    int32_t uid = 1;          // serial-number value
    // OPTIONS
    bool id = false;
    bool erase = false;
    bool writeFlash = false;
    bool writeEeprom = false;
    bool verifyFlash = false;
    bool verifyEeprom = false;
    bool serialNumber = false;
    bool fuse = false;
    // PRODUCTION (after the others, so older files keep their order)
    QString productionLog;    // the auto runs' CSV file; empty: none

    bool deviceMenuVisible() const { return config || chip != 0; }
};

// Reads the settings in the program's order and writes DEVICE/SN = 1 on the
// way. A failed write stops the reading there (later values keep their
// defaults); the result is then false and error holds "Unable to write to ...".
// A language outside 0..2 reads as 0.
bool LoadSettings(IniFile& file, Settings& settings, QString* error = nullptr);

// Writes every saved value in the program's order; stops at the first failed
// write with the same error. The production log is written only once one was
// chosen, so a file that never had one keeps its sections.
bool SaveSettings(IniFile& file, const Settings& settings, QString* error = nullptr);
