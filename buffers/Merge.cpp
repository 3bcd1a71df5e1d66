#include "buffers/Merge.h"

#include "app/ProgramState.h"
#include "app/UserInterface.h"
#include "buffers/DataFile.h"

#include <algorithm>

bool MergeFileIntoFlash(ProgramState& state, const QString& path)
{
    UserInterface& ui = state.ui();
    Buffers& buffers = state.buffers();
    const qint64 address = state.serial().address;
    if (address < 0 || address >= Buffers::kFlashCapacity) {
        ui.showError(ui.message(Msg::SerialAddressOutOfRange));
        return false;
    }
    // The loader gets a whole buffer's room, as for an open, in a work area
    // that starts as a copy of what the buffer holds from the address on;
    // only a file that ends inside the buffer goes back into it.
    const qint64 room = Buffers::kFlashCapacity - address;
    ErasedArea& flash = buffers.flashArea();
    ErasedArea scratch(Buffers::kFlashCapacity);
    const qint64 held = std::clamp<qint64>(flash.stored() - address, 0, room);
    scratch.write(0, flash.bytes(address, held), held);
    const int32_t n = LoadFileIntoBuffer(path, scratch, ui);
    if (n > room) {
        ui.showError(ui.message(Msg::MergeTooLarge));
        return false;
    }
    // Every byte a successful load stored lies below its result; a failed
    // one keeps what it stored up to the buffer's end. Above what the work
    // area stored, both read 0xFF.
    const qint64 back = std::min(n > 0 ? qint64(n) : room, scratch.stored());
    buffers.flashAboutToChange(address, back);
    flash.write(address, scratch.bytes(0, back), back);
    buffers.setFlashLength(int32_t(std::max<qint64>(buffers.flashLength(), address + n)));
    buffers.refreshFlashView(state.currentChip(), address, back);
    return true;
}
