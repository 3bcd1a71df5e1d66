#pragma once

// Which buffer the active page of the main window stands for: position 0 of
// the shown pages is the Flash, position 1 the EEPROM; any other page does
// nothing.
enum class MemoryPage { Flash, Eeprom, Other };
