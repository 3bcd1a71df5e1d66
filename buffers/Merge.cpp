#include "buffers/Merge.h"

#include "app/UserInterface.h"
#include "buffers/Buffers.h"
#include "buffers/DataFile.h"
#include "buffers/SerialNumber.h"

#include <algorithm>

qint64 overlayData(ErasedArea& area, qint64 address, const AreaLoader& load, const OverlayWatch& aboutToChange)
{
    // The loader gets a whole area's room, as for an open, in a work area
    // that starts as a copy of what the area holds from the address on;
    // only data that end inside the area go back into it.
    const qint64 room = area.capacity() - address;
    ErasedArea scratch(area.capacity());
    const qint64 held = std::clamp<qint64>(area.stored() - address, 0, room);
    scratch.write(0, area.bytes(address, held), held);
    const int32_t n = load(scratch);
    if (n > room)
        return -1;
    // Every byte a successful load stored lies below its result; a failed
    // one keeps what it stored up to the area's end. Above what the work
    // area stored, both read 0xFF.
    const qint64 back = std::min(n > 0 ? qint64(n) : room, scratch.stored());
    if (aboutToChange)
        aboutToChange(address, back);
    area.write(address, scratch.bytes(0, back), back);
    return n;
}

bool MergeFileIntoFlash(Buffers& buffers, const SerialNumber& serial, const ChipEntry& viewChip, const QString& path,
                        UserInterface& ui)
{
    const qint64 address = serial.address;
    if (address < 0 || address >= Buffers::kFlashCapacity) {
        ui.showError(ui.message(Msg::SerialAddressOutOfRange));
        return false;
    }
    qint64 changed = 0;
    const qint64 n = overlayData(
        buffers.flashArea(), address, [&](ErasedArea& scratch) { return LoadFileIntoBuffer(path, scratch, ui); },
        [&](qint64 from, qint64 count) {
            changed = count;
            buffers.flashAboutToChange(from, count);
        });
    if (n < 0) {
        ui.showError(ui.message(Msg::MergeTooLarge));
        return false;
    }
    buffers.setFlashLength(int32_t(std::max<qint64>(buffers.flashLength(), address + n)));
    buffers.refreshFlashView(viewChip, address, changed);
    return true;
}
