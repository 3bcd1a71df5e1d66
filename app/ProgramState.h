#pragma once
// Everything the program holds while it runs, apart from the windows: the
// chip table and current chip, the buffers, the link to the programmer. The
// main window and the terminal front end each own one.

#include "buffers/Buffers.h"
#include "buffers/SerialNumber.h"
#include "chipdb/ChipSelection.h"
#include "chipdb/ChipTable.h"
#include "device/HidDevice.h"
#include "device/Programmer.h"
#include "fuses/FuseState.h"

class UserInterface;

class ProgramState {
public:
    ProgramState(HidBackend& backend, UserInterface& ui);
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    UserInterface& ui() { return ui_; }

    ChipTable& chips() { return chips_; }
    const ChipTable& chips() const { return chips_; }
    int currentChipIndex() const { return currentChip_; }
    // Only chip selection moves the current chip.
    void setCurrentChipIndex(int index);
    const ChipEntry& currentChip() const { return chips_[currentChip_]; }

    ChipSelection& selection() { return selection_; }

    Buffers& buffers() { return buffers_; }
    const Buffers& buffers() const { return buffers_; }

    SerialNumber& serial() { return serial_; }
    FuseState& fuses() { return fuses_; }

    HidDevice& device() { return device_; }
    Programmer& programmer() { return programmer_; }

private:
    UserInterface& ui_;
    ChipTable chips_;
    int currentChip_ = 0;
    ChipSelection selection_{*this};
    Buffers buffers_;
    SerialNumber serial_;
    FuseState fuses_;
    HidDevice device_;
    Programmer programmer_;
};
