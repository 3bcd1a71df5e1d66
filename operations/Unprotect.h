#pragma once
// Clearing the block protection of an SPI flash: its kind's write-enable and
// status-register (or global unlock) sequence, sent through RawSpi, then the
// pause the chip needs to store its status register.

#include "operations/Outcome.h"

#include <QString>

class Programmer;
class UserInterface;
struct ChipEntry;

// Refused for a chip without such protection (only SPI flash has it); the
// callers refuse those before the job.
Outcome clearBlockProtection(Programmer& programmer, UserInterface& ui, const ChipEntry& chip);

// What the chip's unlock sequence clears, in a language: the status register
// bits (Quad Enable included) or the block-protection register. Empty for a
// chip without such protection. Said before Unprotect runs.
QString unprotectEffect(const ChipEntry& chip, int languageIndex);
