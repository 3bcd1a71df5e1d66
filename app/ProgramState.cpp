#include "app/ProgramState.h"

ProgramState::ProgramState(HidBackend& backend, UserInterface& ui)
    : ui_(ui), device_(backend), programmer_(device_, ui)
{
    programmer_.setChip(&selection_.currentChip());
}
