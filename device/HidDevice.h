#pragma once
// The link object: finds and opens the programmer among the HID interfaces
// with its ids, sends and receives feature reports (whole ones only), and
// runs the 64-byte command exchange.

#include "device/HidBackend.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

enum OpenResult : int {
    kOpenOk = 0,
    kOpenFailed = 1,       // the most recent attempt to open an interface failed
    kOpenNoMatch = 2,      // no interface matched
    kOpenStringFailed = 5, // a matching interface's identity string could not be read
};

// Identity of the programmer on USB.
inline constexpr uint16_t kProgrammerVendorId = 0xC251;
inline constexpr uint16_t kProgrammerProductId = 0x1C01;
inline constexpr const char* kProgrammerManufacturer = "Quibex-USBProg";
inline constexpr const char* kProgrammerProduct = "VedUDUVur";

// UTF-16 to 8-bit: code units below 0x100 keep their value, others become '?'.
std::string narrowHidString(const std::u16string& wide);

class HidDevice {
public:
    // Sees every report that actually goes to or comes from the device.
    enum class Direction { ToDevice, FromDevice };
    using WireTap = std::function<void(Direction, const uint8_t*, std::size_t, bool ok)>;

    explicit HidDevice(HidBackend& backend) : backend_(backend) {}
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // manufacturer/product: std::nullopt accepts any strings.
    int open(uint16_t vendorId, const std::optional<std::string>& manufacturer,
             uint16_t productId, const std::optional<std::string>& product);
    // Opens the programmer with its identity.
    int openProgrammer()
    {
        return open(kProgrammerVendorId, std::string(kProgrammerManufacturer),
                    kProgrammerProductId, std::string(kProgrammerProduct));
    }
    void close();
    bool isOpen() const { return open_; }

    bool setFeature(const uint8_t* data, std::size_t length);
    bool getFeature(uint8_t* data, std::size_t length);
    // Set feature with the 64-byte request, then get the 64-byte reply with
    // report number 1. A failed step closes the link and returns false.
    bool exchange(const uint8_t* request, uint8_t* reply);

    void setWireTap(WireTap tap) { tap_ = std::move(tap); }
    const HidBackend& backend() const { return backend_; }

    // Why the last transfer since the last open failed: the platform's words,
    // or a report shorter than asked. Empty (wanted 0) when none failed.
    struct Failure {
        std::string platformText;
        long got = -1;           // bytes that came; -1 when the platform call failed
        std::size_t wanted = 0;
    };
    const Failure& lastFailure() const { return failure_; }

private:
    bool transferred(long moved, std::size_t length);

    HidBackend& backend_;
    std::unique_ptr<HidHandle> handle_;
    bool open_ = false;
    WireTap tap_;
    Failure failure_;
};
