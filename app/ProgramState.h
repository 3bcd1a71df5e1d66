#pragma once
// Everything the program holds while it runs, apart from the windows: the
// chip table and current chip, the buffers, the link to the programmer. The
// main window and the terminal front end each own one; the core pieces take
// only the parts of it they use.

#include "buffers/Buffers.h"
#include "buffers/SerialNumber.h"
#include "chipdb/ChipSelection.h"
#include "chipdb/ChipTable.h"
#include "device/HidDevice.h"
#include "device/Programmer.h"
#include "fuses/FuseState.h"
#include "operations/FuseJobs.h"

class ChipOperations;
class UserInterface;

class ProgramState : private ChipSelectionTarget {
public:
    ProgramState(HidBackend& backend, UserInterface& ui);
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    UserInterface& ui() { return ui_; }

    ChipTable& chips() { return chips_; }
    const ChipTable& chips() const { return chips_; }
    int currentChipIndex() const { return selection_.currentChipIndex(); }
    // Only chip selection moves the current chip.
    void setCurrentChipIndex(int index) { selection_.setCurrentChipIndex(index); }
    const ChipEntry& currentChip() const { return selection_.currentChip(); }

    ChipSelection& selection() { return selection_; }
    const ChipSelection& selection() const { return selection_; }

    Buffers& buffers() { return buffers_; }
    const Buffers& buffers() const { return buffers_; }

    SerialNumber& serial() { return serial_; }
    FuseState& fuses() { return fuses_; }

    HidDevice& device() { return device_; }
    Programmer& programmer() { return programmer_; }

    // The chip operations on these parts.
    ChipOperations chipOperations();
    // The parts a fuse job on the current chip takes.
    FuseJobParts fuseJobParts() { return {programmer_, currentChip(), fuses_, ui_}; }

private:
    void currentChipChanged(const ChipEntry& chip) override { programmer_.setChip(&chip); }
    void speedChosen(int speedIndex) override { programmer_.setSpeedIndex(speedIndex); }
    void reloadFlashView(const ChipEntry& chip) override { buffers_.reloadFlashView(chip); }

    UserInterface& ui_;
    ChipTable chips_;
    ChipSelection selection_{chips_, *this, ui_};
    Buffers buffers_;
    SerialNumber serial_;
    FuseState fuses_;
    HidDevice device_;
    Programmer programmer_;
};
