#pragma once
// The stand-in hidapi: hidapi's C functions, linked in place of the system's
// library, over a list of HID interfaces the test sets. An interface with a
// programmer behind it answers feature reports as that programmer does
// (report number in byte 0, the lengths hidapi returns, hid_error's text);
// any other interface lists and opens but answers no report.

#include "device/HidBackend.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace standin {

struct Interface {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::wstring manufacturer;
    std::wstring product;
    int openErrno = 0;                 // non-zero: hid_open_path fails with this errno
    HidBackend* programmer = nullptr;  // plays the device behind the interface
};

// What the code under test asked of the library.
struct Calls {
    int inits = 0;
    int exits = 0;
    std::vector<std::pair<uint16_t, uint16_t>> enumerations;  // the ids each hid_enumerate asked for
    std::vector<std::string> opened;                          // every path hid_open_path was given
    int openDevices = 0;                                      // opened and not closed yet
    int openLists = 0;                                        // enumerations not freed yet
    std::vector<std::wstring> errors;                         // every text a failing call left for hid_error
};

// A fresh library: these interfaces present, no calls recorded.
void reset(std::vector<Interface> interfaces);
const Calls& calls();

} // namespace standin
