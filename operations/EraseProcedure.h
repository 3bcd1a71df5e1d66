#pragma once
// Erasing the chip by its class's method. The chip's answer is not looked
// at, except that a failed transfer ends the erase with its message.

#include "operations/Outcome.h"

class Programmer;
class UserInterface;
struct ChipEntry;

// The pause before each busy poll of a whole-chip erase.
inline constexpr int kErasePollIntervalMs = 50;

Outcome eraseChipMemory(Programmer& programmer, UserInterface& ui, const ChipEntry& chip);
