#pragma once
// The auto sequence's signature check: the chip's three signature bytes
// against the selected chip's identifier; on a difference the user decides.

#include "operations/Outcome.h"

#include <QString>
#include <cstdint>

class Programmer;
class UserInterface;
struct ChipEntry;

// "ID = 0x%2X%2X%02X" of the three bytes.
QString signatureText(uint8_t s0, uint8_t s1, uint8_t s2);

// Done to go on (same identifier, or the user said Yes), Declined when the
// user said No, Failed when the signature could not be read.
Outcome checkSignature(Programmer& programmer, UserInterface& ui, const ChipEntry& chip);
