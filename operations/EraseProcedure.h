#pragma once
// Erasing the chip by its class's method, then checking that the chip took
// it: the first stream block from address 0 must read blank. A whole-chip
// erase is complete only once the chip stops answering busy.

#include "operations/Outcome.h"

class Programmer;
class UserInterface;
struct ChipEntry;

// The pause before each busy poll of a whole-chip erase.
inline constexpr int kErasePollIntervalMs = 50;
// The listed erase delay counts polls; a chip may take longer than listed,
// but one still busy after ten times that many (delay + 2) has not erased.
inline constexpr int kEraseBusyBoundFactor = 10;

// The most busy polls a whole-chip erase with this erase delay waits for.
int eraseBusyPollBound(int eraseDelay);

// Done when the chip is erased; Declined (message shown) when it is still
// busy at the bound or not blank afterwards, with the Unprotect hint for an
// SPI flash; Failed on a failed transfer, Stopped when the person stopped it.
Outcome eraseChipMemory(Programmer& programmer, UserInterface& ui, const ChipEntry& chip);
