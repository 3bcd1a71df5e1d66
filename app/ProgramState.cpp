#include "app/ProgramState.h"

#include "operations/ChipOperations.h"

ProgramState::ProgramState(HidBackend& backend, UserInterface& ui)
    : ui_(ui), device_(backend), programmer_(device_, ui)
{
    programmer_.setChip(&selection_.currentChip());
}

ChipOperations ProgramState::chipOperations()
{
    return ChipOperations(selection_, buffers_, programmer_, serial_, fuses_, ui_);
}
