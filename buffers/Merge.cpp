#include "buffers/Merge.h"

#include "app/ProgramState.h"
#include "app/UserInterface.h"
#include "buffers/DataFile.h"

#include <algorithm>
#include <cstring>
#include <memory>

bool MergeFileIntoFlash(ProgramState& state, const QString& path)
{
    UserInterface& ui = state.ui();
    Buffers& buffers = state.buffers();
    const qint64 address = state.serial().address;
    if (address < 0 || address >= Buffers::kFlashCapacity) {
        ui.showError(ui.message(Msg::SerialAddressOutOfRange));
        return false;
    }
    // The loader gets a whole buffer's room, as for an open, in a scratch
    // copy of what lies from the address on; only a file that ends inside
    // the buffer goes back into it.
    const qint64 room = Buffers::kFlashCapacity - address;
    const std::unique_ptr<uint8_t[]> scratch = blankArea(Buffers::kFlashCapacity);
    std::memcpy(scratch.get(), buffers.flash() + address, size_t(room));
    const int32_t n = LoadFileIntoBuffer(path, scratch.get(), Buffers::kFlashCapacity, ui);
    if (n > room) {
        ui.showError(ui.message(Msg::MergeTooLarge));
        return false;
    }
    // Every byte a successful load stored lies below its result; a failed
    // one keeps what it stored up to the buffer's end.
    std::memcpy(buffers.flash() + address, scratch.get(), size_t(n > 0 ? n : room));
    buffers.setFlashLength(int32_t(std::max<qint64>(buffers.flashLength(), address + n)));
    buffers.reloadFlashView(state.currentChip());
    return true;
}
