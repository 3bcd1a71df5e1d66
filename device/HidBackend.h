#pragma once
// What the link needs of the platform's HID layer: a list of interfaces, and
// for an opened interface its ids, its two identity strings and numbered
// feature reports (byte 0 = report number).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class HidHandle {
public:
    virtual ~HidHandle() = default;
    virtual bool attributes(uint16_t& vendorId, uint16_t& productId) = 0;
    // UTF-16 code units, without the terminating zero.
    virtual bool manufacturerString(std::u16string& text) = 0;
    virtual bool productString(std::u16string& text) = 0;
    virtual bool setFeature(const uint8_t* data, std::size_t length) = 0;
    virtual bool getFeature(uint8_t* data, std::size_t length) = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // Paths of the HID interfaces present now, in the platform's order.
    virtual std::vector<std::string> interfaces() = 0;
    // Null when the interface cannot be opened.
    virtual std::unique_ptr<HidHandle> open(const std::string& path) = 0;

    // Interfaces the platform lists with these ids that cannot be opened, with
    // the system's reason (mostly missing access rights). None when the layer
    // cannot tell.
    struct Unopened {
        std::string path;
        std::string reason;
    };
    virtual std::vector<Unopened> unopened(uint16_t /*vendorId*/, uint16_t /*productId*/) { return {}; }

    // A stand-in for the programmer rather than one on USB: there is no
    // device, node or udev rule of it to look at.
    virtual bool simulated() const { return false; }
};
