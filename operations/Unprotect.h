#pragma once
// Clearing the block protection of an SPI flash: its kind's write-enable and
// status-register (or global unlock) sequence, sent through RawSpi, then the
// pause the chip needs to store its status register.

#include "operations/Outcome.h"

class Programmer;
class UserInterface;
struct ChipEntry;

// Refused for a chip without such protection (only SPI flash has it); the
// callers refuse those before the job.
Outcome clearBlockProtection(Programmer& programmer, UserInterface& ui, const ChipEntry& chip);
