#include "device/HidDevice.h"

std::string narrowHidString(const std::u16string& wide)
{
    std::string narrow;
    narrow.reserve(wide.size());
    for (const char16_t unit : wide) {
        if (unit == 0)
            break;
        narrow += unit < 0x100 ? static_cast<char>(unit) : '?';
    }
    return narrow;
}

int HidDevice::open(uint16_t vendorId, const std::optional<std::string>& manufacturer,
                    uint16_t productId, const std::optional<std::string>& product)
{
    int result = kOpenNoMatch;
    handle_.reset();
    open_ = false;
    failure_ = {};
    for (const std::string& path : backend_.interfaces(vendorId, productId)) {
        open_ = false;
        handle_.reset();
        std::unique_ptr<HidHandle> candidate = backend_.open(path);
        if (!candidate) {
            result = kOpenFailed;
            continue;
        }
        uint16_t vid = 0;
        uint16_t pid = 0;
        if (!candidate->attributes(vid, pid) || vid != vendorId || pid != productId)
            continue;
        result = kOpenNoMatch;
        if (!manufacturer || !product) {
            handle_ = std::move(candidate);
            break;
        }
        std::u16string text;
        if (!candidate->manufacturerString(text)) {
            result = kOpenStringFailed;
            continue;
        }
        if (narrowHidString(text) != *manufacturer)
            continue;
        text.clear();
        if (!candidate->productString(text)) {
            result = kOpenStringFailed;
            continue;
        }
        if (narrowHidString(text) != *product)
            continue;
        handle_ = std::move(candidate);
        break;
    }
    if (handle_) {
        open_ = true;
        result = kOpenOk;
    }
    return result;
}

void HidDevice::close()
{
    if (!open_)
        return;
    handle_.reset();
    open_ = false;
}

bool HidDevice::transferred(long moved, std::size_t length)
{
    if (moved >= 0 && std::size_t(moved) == length)
        return true;
    // A short reply is a failure, never data: the bytes past it would be
    // whatever the buffer held before.
    failure_ = {moved < 0 ? handle_->lastError() : std::string(), moved, length};
    return false;
}

bool HidDevice::setFeature(const uint8_t* data, std::size_t length)
{
    if (!open_)
        return false;
    const bool ok = transferred(handle_->setFeature(data, length), length);
    if (tap_)
        tap_(Direction::ToDevice, data, length, ok);
    return ok;
}

bool HidDevice::getFeature(uint8_t* data, std::size_t length)
{
    if (!open_)
        return false;
    const bool ok = transferred(handle_->getFeature(data, length), length);
    if (tap_)
        tap_(Direction::FromDevice, data, length, ok);
    return ok;
}

bool HidDevice::exchange(const uint8_t* request, uint8_t* reply)
{
    if (!setFeature(request, 64)) {
        close();
        return false;
    }
    reply[0] = 1;
    if (!getFeature(reply, 64)) {
        close();
        return false;
    }
    return true;
}
