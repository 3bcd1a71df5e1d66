#pragma once
// Whether the chip in the socket is the chip chosen, judged by what the
// probe read before any job: a chip that carries an identifier the probe can
// read must answer in its own class with that identifier. On a difference
// the user is asked the chip-protecting question.

#include <cstdint>

class UserInterface;
struct ChipEntry;

// The socket's answer (the probe's five bytes: class + 1, three identifier
// bytes, variant flags) against the chosen chip; false when it differs.
bool socketMatchesChip(const uint8_t* probeId, const ChipEntry& chosen);

// True to go on: the chip matches, or the user answered Yes to the mismatch
// question, which names both identifiers.
bool confirmSocketIdentity(const uint8_t* probeId, const ChipEntry& chosen, UserInterface& ui);
