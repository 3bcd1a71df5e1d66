#pragma once
// The fuse and lock bytes of the chip being worked on, the settings of the
// fuse description that name their bits, and the grid that shows them; with
// the editing rules of the fuse page, free of any window.

#include "fuses/FuseDescription.h"
#include "fuses/FuseGrid.h"

#include <QChar>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class UserInterface;

class FuseState {
public:
    static constexpr int kMaxBytes = FuseDescription::kMaxBytes;
    static constexpr int kMaxSettings = FuseDescription::kMaxSettings;
    static constexpr int kMaxCalibration = FuseDescription::kMaxCalibration;

    // Whether a description was ever loaded: without one the bytes are no
    // chip's and must not be written.
    bool descriptionLoaded() const { return descriptionLoaded_; }

    // --- the bytes. Fuse bytes are indices 0..count-1; index count is the lock byte.
    int fuseByteCount() const { return fuseByteCount_; }
    uint8_t* currentBytes() { return current_.data(); }
    const uint8_t* currentBytes() const { return current_.data(); }
    uint8_t lockByte() const { return current_[static_cast<std::size_t>(lockIndex())]; }
    int lockIndex() const { return fuseByteCount_ < kMaxBytes ? fuseByteCount_ : kMaxBytes - 1; }
    const std::array<uint8_t, kMaxBytes>& defaultBytes() const { return defaults_; }

    // --- the check list: one line per setting, in the description's order.
    const std::vector<FuseSetting>& settings() const { return settings_; }
    // The check box as shown: derived from the bytes by RefreshSettingChecks.
    bool isChecked(int line) const;

    // --- the grid: columns 1..byteColumnCount() are the described bytes.
    const FuseGrid& grid() const { return grid_; }
    int byteColumnCount() const { return grid_.columnCount() - 1; }
    // Image for a bit cell: 1 when that bit of the column's value is set, 0
    // when clear, -1 for no image (not a bit cell, empty or unreadable value).
    int bitImage(int column, int row) const;

    // --- oscillator calibration entries, kept as read.
    const std::array<QString, kMaxCalibration>& calibrationTexts() const { return calibration_; }
    int calibrationMask() const { return calibrationMask_; }

    // --- loading. Replaces settings, grid, defaults and calibration; the
    // described bytes start at their defaults, all lines unchecked.
    void applyDescription(const FuseDescription& description);

    // --- editing, the rules of the fuse page.
    // A check box of line `line` was ticked or unticked by the user. Unticking
    // a setting of several bits changes nothing (it shows ticked again).
    void clickSetting(int line, bool ticked);
    // A click on a grid cell. On a value cell it remembers the cell and gives
    // the text for the value editor; on a bit cell it toggles that bit unless
    // the bit is unnamed, or is SPIEN or RSTDISBL. Elsewhere nothing happens.
    std::optional<QString> clickCell(int column, int row);
    // The cell the value editor works on (column 0 when none).
    int editedColumn() const { return editColumn_; }
    int editedRow() const { return editRow_; }
    // The value editor lost the focus with this text. False (nothing changed)
    // when no digit was typed or the text is no number; true when the cell and
    // byte took it and the editor is to be hidden.
    bool finishValueEdit(const QString& editorText);
    // The value editor's key filter: hexadecimal digits and backspace.
    static bool acceptsValueKey(QChar key);
    // Fuse bytes back to their defaults; the lock byte keeps its value.
    void resetFusesToDefaults();

    // --- after the chip was read into currentBytes().
    void fuseBytesRead();   // value cells of the fuse byte columns follow the bytes
    void lockByteRead();    // every value cell follows its byte

    void setFuseByte(int index, uint8_t value);

private:
    friend void RefreshSettingChecks(FuseState& state);

    void toggleBit(int column, int row);
    void showValues(int firstColumn, int lastColumn);

    std::array<uint8_t, kMaxBytes> current_{};
    std::array<uint8_t, kMaxBytes> defaults_{};
    int fuseByteCount_ = 0;
    bool descriptionLoaded_ = false;
    std::vector<FuseSetting> settings_;
    std::vector<bool> checked_;
    FuseGrid grid_;
    std::array<QString, kMaxCalibration> calibration_;
    int calibrationMask_ = 0;
    int editColumn_ = 0;
    int editRow_ = 0;
};

// Each line is checked when (current byte AND mask) = value.
void RefreshSettingChecks(FuseState& state);

enum class FuseLoad {
    Loaded,    // description read, check states derived
    NoFile,    // no description file: the page "FLASH" is to be shown instead
    Refused,   // beyond the fixed limits: message shown, nothing changed
};

// Reads the description into the state (the bytes start at the defaults).
// False when it was refused.
bool LoadFuseDescription(FuseState& state, const QString& path, UserInterface& ui);

// What a chip change does to the fuses: reload the description when its file
// exists, then derive the check states. The window hides the fuse page and
// disables the auto sequence's fuse step before calling it.
FuseLoad ReloadFusesForChipChange(FuseState& state, const QString& path, UserInterface& ui);
