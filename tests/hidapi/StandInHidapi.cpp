#include "StandInHidapi.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>

namespace {

struct Library {
    std::vector<standin::Interface> interfaces;
    standin::Calls calls;
    std::wstring globalError = L"Success";
};

Library& library()
{
    static Library instance;
    return instance;
}

std::wstring wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

wchar_t* copyOf(const std::wstring& text)
{
    auto* out = static_cast<wchar_t*>(std::calloc(text.size() + 1, sizeof(wchar_t)));
    std::wmemcpy(out, text.c_str(), text.size());
    return out;
}

void fillInfo(hid_device_info& info, const standin::Interface& i)
{
    info.path = strdup(i.path.c_str());
    info.vendor_id = i.vendorId;
    info.product_id = i.productId;
    info.serial_number = copyOf(L"");
    info.manufacturer_string = copyOf(i.manufacturer);
    info.product_string = copyOf(i.product);
    info.bus_type = HID_API_BUS_USB;
}

void freeInfo(hid_device_info& info)
{
    std::free(info.path);
    std::free(info.serial_number);
    std::free(info.manufacturer_string);
    std::free(info.product_string);
}

int copyString(const std::wstring& text, wchar_t* string, size_t maxlen)
{
    if (!string || maxlen == 0)
        return -1;
    const size_t n = std::min(text.size(), maxlen - 1);
    std::wmemcpy(string, text.c_str(), n);
    string[n] = L'\0';
    return 0;
}

void failGlobally(const std::wstring& text)
{
    library().globalError = text;
    library().calls.errors.push_back(text);
}

} // namespace

struct hid_device_ {
    standin::Interface interface;
    std::unique_ptr<HidHandle> handle;  // the programmer's, when one plays the device
    hid_device_info info{};
    std::wstring error = L"Success";

    int fail(const std::wstring& text)
    {
        error = text;
        library().calls.errors.push_back(text);
        return -1;
    }
    // A transfer as the hidraw ioctls report it: the bytes moved, or -1 with
    // the system's words after the request's name.
    template <typename Move>
    int transfer(const char* request, const unsigned char* data, size_t length, Move move)
    {
        if (!data || length == 0)
            return fail(wide(request) + L": Invalid argument");
        // The programmer numbers every report; number 0 is no report of it,
        // and a device without one behind it stalls every report.
        if (data[0] == 0 || !handle)
            return fail(wide(request) + L": Broken pipe");
        const long moved = move();
        if (moved < 0)
            return fail(wide(request) + L": " + wide(handle->lastError()));
        error = L"Success";
        return int(moved);
    }
};

namespace standin {

void reset(std::vector<Interface> interfaces)
{
    library().interfaces = std::move(interfaces);
    library().calls = {};
    library().globalError = L"Success";
}

const Calls& calls()
{
    return library().calls;
}

} // namespace standin

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void)
{
    ++library().calls.inits;
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_exit(void)
{
    ++library().calls.exits;
    return 0;
}

struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    library().calls.enumerations.emplace_back(vendor_id, product_id);
    hid_device_info* first = nullptr;
    hid_device_info** next = &first;
    for (const standin::Interface& i : library().interfaces) {
        if ((vendor_id != 0 && i.vendorId != vendor_id) || (product_id != 0 && i.productId != product_id))
            continue;
        auto* info = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
        fillInfo(*info, i);
        *next = info;
        next = &info->next;
    }
    if (first)
        ++library().calls.openLists;
    return first;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info* devs)
{
    if (devs)
        --library().calls.openLists;
    while (devs) {
        hid_device_info* next = devs->next;
        freeInfo(*devs);
        std::free(devs);
        devs = next;
    }
}

HID_API_EXPORT hid_device* HID_API_CALL hid_open_path(const char* path)
{
    library().calls.opened.emplace_back(path ? path : "");
    for (const standin::Interface& i : library().interfaces) {
        if (!path || i.path != path)
            continue;
        if (i.openErrno) {
            errno = i.openErrno;
            failGlobally(L"Failed to open a device with path '" + wide(i.path) + L"': " + wide(std::strerror(i.openErrno)));
            return nullptr;
        }
        auto device = std::make_unique<hid_device_>();
        device->interface = i;
        if (i.programmer) {
            const std::vector<std::string> behind = i.programmer->interfaces(i.vendorId, i.productId);
            device->handle = behind.empty() ? nullptr : i.programmer->open(behind.front());
            if (!device->handle) {
                errno = ENODEV;
                failGlobally(L"Failed to open a device with path '" + wide(i.path) + L"': No such device");
                return nullptr;
            }
        }
        fillInfo(device->info, i);
        ++library().calls.openDevices;
        errno = 0;
        return device.release();
    }
    errno = ENOENT;
    failGlobally(L"Failed to open a device with path '" + wide(path ? path : "") + L"': No such file or directory");
    return nullptr;
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device* dev)
{
    if (!dev)
        return;
    freeInfo(dev->info);
    --library().calls.openDevices;
    delete dev;
}

int HID_API_EXPORT HID_API_CALL hid_send_feature_report(hid_device* dev, const unsigned char* data, size_t length)
{
    return dev->transfer("ioctl (SFEATURE)", data, length, [&] { return dev->handle->setFeature(data, length); });
}

int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device* dev, unsigned char* data, size_t length)
{
    return dev->transfer("ioctl (GFEATURE)", data, length, [&] { return dev->handle->getFeature(data, length); });
}

int HID_API_EXPORT_CALL hid_get_manufacturer_string(hid_device* dev, wchar_t* string, size_t maxlen)
{
    return copyString(dev->interface.manufacturer, string, maxlen);
}

int HID_API_EXPORT_CALL hid_get_product_string(hid_device* dev, wchar_t* string, size_t maxlen)
{
    return copyString(dev->interface.product, string, maxlen);
}

struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_get_device_info(hid_device* dev)
{
    return &dev->info;
}

HID_API_EXPORT const wchar_t* HID_API_CALL hid_error(hid_device* dev)
{
    return dev ? dev->error.c_str() : library().globalError.c_str();
}

} // extern "C"
