#pragma once
// Whether the chip in the socket is the chip chosen, asked before a job's
// first report that reads or changes the chip.
//   - A chip of the five memory families is judged by what the probe read
//     before the job: it must answer in the chosen chip's class and, where
//     the chosen chip carries an identifier, with that identifier.
//   - A microcontroller is judged by its signature, read inside the job
//     right after Setup (the exchange of the auto sequence's Detection).
//   - A chip of a further class without a signature (classes 5, 6 and 8 as
//     the chip list holds them) is seen by neither, and taken as chosen.
// On a difference the user is asked the chip-protecting question, which
// names both identifiers.

#include "operations/Outcome.h"

#include <cstdint>

class Programmer;
class UserInterface;
struct ChipEntry;

enum class SocketCompare { Probe, Signature, None };

SocketCompare socketCompareFor(const ChipEntry& chosen);

// The socket's answer (the probe's five bytes: class + 1, three identifier
// bytes, variant flags) against the chosen chip; false when it differs. True
// for a chip the probe does not judge.
bool socketMatchesChip(const uint8_t* probeId, const ChipEntry& chosen);

// True to go on: the chip matches, or the user answered Yes to the mismatch
// question.
bool confirmSocketIdentity(const uint8_t* probeId, const ChipEntry& chosen, UserInterface& ui);

// Inside a job that was set up: a microcontroller's signature against the
// chosen chip's. Done to go on (nothing to compare, the same signature, or
// Yes), Declined when the user said No, Failed when the signature could not
// be read (message shown).
Outcome confirmSocketSignature(Programmer& programmer, UserInterface& ui, const ChipEntry& chosen);
