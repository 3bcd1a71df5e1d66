#pragma once
// What the commands that take a data file share.

#include "buffers/MemoryPage.h"

#include <QStringList>
#include <functional>

class ChipOperations;
class CliSession;

// Opens the command's file (IN, with --eeprom and --format) into the buffer it names, then runs
// the operation on it; the exit status follows the operation's outcome.
int withLoadedFile(CliSession& s, const QStringList& words,
                   const std::function<void(ChipOperations&, MemoryPage)>& operation);
