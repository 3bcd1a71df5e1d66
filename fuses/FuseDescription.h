#pragma once
// The fuse description file (xml/0.xml): the fuse and lock bytes of a chip
// family, the names of their bits and the named settings that cover them.

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class UserInterface;

struct FuseSetting {
    uint8_t byteIndex = 0;
    uint8_t mask = 0;
    uint8_t value = 0;  // what the masked bits hold when the setting is on
    QString caption;    // in the language the description was loaded in
};

// One FUSE element: a column of the grid.
struct FuseByteDescription {
    QString name;                  // NAME, as written
    uint8_t defaultValue = 0;      // DEFAULT
    std::array<QString, 8> bits;   // BIT0..BIT7 NAME; empty when absent
};

struct FuseDescription {
    static constexpr int kMaxBytes = 32;
    static constexpr int kMaxSettings = 255;
    static constexpr int kMaxCalibration = 4;
    static constexpr int kMaxSettingsPerByte = 1000;

    // FUSEBYTES: the byte after the fuse bytes is the lock byte.
    int fuseByteCount = 0;
    std::vector<FuseByteDescription> bytes;
    std::vector<FuseSetting> settings;  // in check-list order
    std::array<QString, kMaxCalibration> calibration;
    int calibrationMask = 0;            // bit e set when OCEntry e is present
};

// Reads a description. The reader's own messages go to ui; a description
// beyond the fixed limits (255 settings, 32 bytes, a fuse byte count that
// leaves no room for the lock byte, 4 calibration entries) is refused with
// one message and gives nothing. Captions use CNTEXT only for Simplified
// Chinese.
std::optional<FuseDescription> ReadFuseDescription(const QString& path, UserInterface& ui);
