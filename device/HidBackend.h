#pragma once
// What the link needs of the platform's HID layer: the interfaces with the
// programmer's ids, and for an opened interface its ids, its two identity
// strings and numbered feature reports (byte 0 = report number).

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
    // The bytes that crossed, byte 0 counted, or -1 when the transfer failed;
    // fewer than asked is a short report, which the link refuses.
    virtual long setFeature(const uint8_t* data, std::size_t length) = 0;
    virtual long getFeature(uint8_t* data, std::size_t length) = 0;
    // The platform's own words for the last failed transfer; empty when it has none.
    virtual std::string lastError() const { return {}; }
};

class HidBackend {
public:
    virtual ~HidBackend() = default;
    // Paths of the HID interfaces present now that carry these ids, in the
    // platform's order. Nothing else is listed, let alone opened: keyboards,
    // security keys and the like are none of the program's business.
    virtual std::vector<std::string> interfaces(uint16_t vendorId, uint16_t productId) = 0;
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
