#include "app/ProgramState.h"

ProgramState::ProgramState(HidBackend& backend, UserInterface& ui)
    : ui_(ui), device_(backend), programmer_(device_, ui)
{
    programmer_.setChip(&chips_[currentChip_]);
}

void ProgramState::setCurrentChipIndex(int index)
{
    if (index < 0 || index >= ChipTable::kCapacity)
        return;
    currentChip_ = index;
    programmer_.setChip(&chips_[currentChip_]);
}
