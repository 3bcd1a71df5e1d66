#pragma once
// The file merge: a data file copied into the Flash buffer at the serial
// number address without clearing the rest, so that several files make up
// one image.

#include <QString>

class ProgramState;

// Loads the file at the serial number address, HEX and S-record addresses
// counting from there; bytes the file does not cover keep their values.
// Then the Flash data length becomes at least address + the loader's result
// (a failed load, its message shown, counts 0) and the Flash view is
// reloaded. An address outside the buffer, or a file that fits the buffer
// but would end past it from that address, is refused with a message and
// changes nothing: the result is then false.
bool MergeFileIntoFlash(ProgramState& state, const QString& path);
