#pragma once
// Whether a chip record can be worked with at all: its memories must fit the
// buffers, and an erase that steps by pages needs a page size.

#include <cstdint>

struct ChipEntry;
class UserInterface;

// Classes whose erase walks the Flash page by page.
bool erasesByPage(uint8_t chipClass);

// False for a Flash above 64 MiB, an EEPROM above 8 KiB, or (when the job
// erases) a page-stepping class with page size 0.
bool chipRecordUsable(const ChipEntry& chip, bool willErase);

// The same, with "the chip's parameters cannot be used" shown on refusal.
bool checkChipRecord(const ChipEntry& chip, bool willErase, UserInterface& ui);
