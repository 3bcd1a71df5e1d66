#pragma once
// Open and Save of the active page, without the file dialogs: the window
// asks for the path, then hands it here.

#include "buffers/FileFormats.h"
#include "buffers/MemoryPage.h"

#include <QString>

class Buffers;
struct ChipEntry;
class UserInterface;

// What a Save writes: the path chosen with the extension of the filter
// chosen when it has none, and the filter's format unless the name's
// extension has one (a name opens back as what it holds).
struct SaveChoice {
    QString path;
    DataFormat format = DataFormat::ByName;
};
SaveChoice saveChoice(const QString& path, const QString& filter);

// Open and Save act on the Flash page, and on the EEPROM page while the
// current chip has an EEPROM; on nothing else.
bool pageTakesFiles(const ChipEntry& chip, MemoryPage page);

enum class OpenOutcome {
    Ignored,  // the page takes no files
    Failed,   // the file could not be opened, was faulty or too big (its message
              // shown): buffer, data length and view untouched
    Loaded,   // the buffer was refilled with 0xFF and loaded; its data length is
              // the loader's result
};

// ToolOpenClick once the path is chosen, for the current chip: loads, sets
// the data length, reloads the page's view and writes the log line. The
// window then rewrites the size caption (and the gauge) unless nothing was done.
OpenOutcome openIntoPage(Buffers& buffers, const ChipEntry& chip, MemoryPage page, const QString& path,
                         UserInterface& ui);

// The same on the buffers alone, whatever chip is current; the view is
// reloaded for `viewChip` when one is given.
OpenOutcome loadIntoBuffer(Buffers& buffers, MemoryPage page, const QString& path, UserInterface& ui,
                           const ChipEntry* viewChip = nullptr);

// ToolSaveClick once the path is chosen: the page's buffer up to its data
// length. True when a file was written.
bool saveFromPage(const Buffers& buffers, const ChipEntry& chip, MemoryPage page, const QString& path,
                  UserInterface& ui, DataFormat format = DataFormat::ByName);
bool saveFromBuffer(const Buffers& buffers, MemoryPage page, const QString& path, UserInterface& ui,
                    DataFormat format = DataFormat::ByName);
