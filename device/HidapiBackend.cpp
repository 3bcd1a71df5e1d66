#include "device/HidapiBackend.h"

#include <hidapi/hidapi.h>

#include <QString>

#include <cerrno>
#include <cstring>
#include <cwchar>

namespace {

// hidapi's error texts are wide strings; the program's are UTF-8.
std::string toUtf8(const wchar_t* text)
{
    return text ? QString::fromWCharArray(text).toStdString() : std::string();
}

std::u16string toUtf16Units(const wchar_t* text)
{
    // wchar_t holds UTF-32 here; a code point above 0xFFFF is one unit that
    // narrows to '?' just like any other unit above 0xFF.
    std::u16string out;
    for (; text && *text; ++text) {
        const auto c = static_cast<uint32_t>(*text);
        out += c > 0xFFFF ? char16_t(0xFFFD) : static_cast<char16_t>(c);
    }
    return out;
}

class HidapiHandle final : public HidHandle {
public:
    HidapiHandle(hid_device* dev, uint16_t vid, uint16_t pid) : dev_(dev), vid_(vid), pid_(pid) {}
    ~HidapiHandle() override { hid_close(dev_); }
    HidapiHandle(const HidapiHandle&) = delete;
    HidapiHandle& operator=(const HidapiHandle&) = delete;

    bool attributes(uint16_t& vendorId, uint16_t& productId) override
    {
        vendorId = vid_;
        productId = pid_;
        return true;
    }
    bool manufacturerString(std::u16string& text) override
    {
        wchar_t buffer[256] = {};
        if (hid_get_manufacturer_string(dev_, buffer, 255) != 0)
            return false;
        text = toUtf16Units(buffer);
        return true;
    }
    bool productString(std::u16string& text) override
    {
        wchar_t buffer[256] = {};
        if (hid_get_product_string(dev_, buffer, 255) != 0)
            return false;
        text = toUtf16Units(buffer);
        return true;
    }
    // hidapi counts the report number in both directions, as the link does.
    long setFeature(const uint8_t* data, std::size_t length) override
    {
        return hid_send_feature_report(dev_, data, length);
    }
    long getFeature(uint8_t* data, std::size_t length) override
    {
        return hid_get_feature_report(dev_, data, length);
    }
    std::string lastError() const override { return toUtf8(hid_error(dev_)); }

private:
    hid_device* dev_;
    uint16_t vid_;
    uint16_t pid_;
};

} // namespace

HidapiBackend::HidapiBackend() : initialised_(hid_init() == 0) {}

HidapiBackend::~HidapiBackend()
{
    if (initialised_)
        hid_exit();
}

std::vector<std::string> HidapiBackend::interfaces(uint16_t vendorId, uint16_t productId)
{
    std::vector<std::string> paths;
    if (!initialised_)
        return paths;
    hid_device_info* list = hid_enumerate(vendorId, productId);
    for (hid_device_info* d = list; d; d = d->next)
        if (d->path)
            paths.emplace_back(d->path);
    hid_free_enumeration(list);
    return paths;
}

std::unique_ptr<HidHandle> HidapiBackend::open(const std::string& path)
{
    if (!initialised_)
        return nullptr;
    hid_device* dev = hid_open_path(path.c_str());
    if (!dev)
        return nullptr;
    // The ids of the opened interface itself; the record belongs to the handle.
    uint16_t vid = 0;
    uint16_t pid = 0;
    if (const hid_device_info* info = hid_get_device_info(dev)) {
        vid = info->vendor_id;
        pid = info->product_id;
    }
    return std::make_unique<HidapiHandle>(dev, vid, pid);
}

std::vector<HidBackend::Unopened> HidapiBackend::unopened(uint16_t vendorId, uint16_t productId)
{
    std::vector<Unopened> refused;
    if (!initialised_)
        return refused;
    hid_device_info* list = hid_enumerate(vendorId, productId);
    for (hid_device_info* d = list; d; d = d->next) {
        if (!d->path)
            continue;
        errno = 0;
        if (hid_device* dev = hid_open_path(d->path)) {
            hid_close(dev);
            continue;
        }
        const int why = errno;
        refused.push_back({d->path, why ? std::strerror(why) : toUtf8(hid_error(nullptr))});
    }
    hid_free_enumeration(list);
    return refused;
}
