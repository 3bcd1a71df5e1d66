#pragma once
// The file merge: a data file copied into the Flash buffer at the serial
// number address without clearing the rest, so that several files make up
// one image.

#include <QString>

#include <cstdint>
#include <functional>

class Buffers;
class ErasedArea;
struct SerialNumber;
class UserInterface;
struct ChipEntry;

// Puts a data file into an area as Open does; its result is the loader's
// (the new data length, 0 after a failure whose message it showed).
using AreaLoader = std::function<int32_t(ErasedArea&)>;

// Told the bytes [from, from + count) an overlay is about to change.
using OverlayWatch = std::function<void(qint64 from, qint64 count)>;

// The merge's own step: what `load` stores lands in `area` from `address`
// on, HEX and S-record addresses counting from there, and every byte it
// does not store keeps its value. Returns the loader's result; -1, with
// `area` unchanged, for data that would end past the area.
qint64 overlayData(ErasedArea& area, qint64 address, const AreaLoader& load, const OverlayWatch& aboutToChange = {});

// Loads the file at the serial number's address, HEX and S-record addresses
// counting from there; bytes the file does not cover keep their values.
// Then the Flash data length becomes at least address + the loader's result
// (a failed load, its message shown, counts 0) and the Flash view is
// reloaded for `viewChip`. An address outside the buffer, or a file that fits the buffer
// but would end past it from that address, is refused with a message and
// changes nothing: the result is then false.
bool MergeFileIntoFlash(Buffers& buffers, const SerialNumber& serial, const ChipEntry& viewChip, const QString& path,
                        UserInterface& ui);
