#pragma once
// A HID layer made of plain data: a list of interfaces with their ids and
// strings, and a record of every listing, open, close and feature report.

#include "device/HidBackend.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class FakeHidBackend final : public HidBackend {
public:
    struct Interface {
        std::string path;
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        std::optional<std::u16string> manufacturer;  // nullopt: reading it fails
        std::optional<std::u16string> product;       // nullopt: reading it fails
        bool opens = true;
        bool setWorks = true;
        bool getWorks = true;
        std::vector<uint8_t> reply;  // what a get feature delivers
        long replyLength = -1;       // bytes a get reports having read; -1: as many as asked
        std::string error = "Broken pipe";  // the platform's words for a failed transfer
    };

    struct Transfer {
        std::string path;
        bool set;
        std::vector<uint8_t> bytes;  // set: as sent; get: as handed in (byte 0 = report number)
    };

    std::vector<Interface> list;
    std::vector<std::pair<uint16_t, uint16_t>> listings;  // the ids each listing asked for
    std::vector<std::string> openCalls;
    std::vector<Transfer> transfers;
    int liveHandles = 0;

    Interface& add(std::string path, uint16_t vid, uint16_t pid, std::optional<std::u16string> manufacturer,
                   std::optional<std::u16string> product)
    {
        Interface i;
        i.path = std::move(path);
        i.vendorId = vid;
        i.productId = pid;
        i.manufacturer = std::move(manufacturer);
        i.product = std::move(product);
        list.push_back(std::move(i));
        return list.back();
    }

    Interface* find(const std::string& path)
    {
        for (Interface& i : list)
            if (i.path == path)
                return &i;
        return nullptr;
    }

    std::vector<std::string> interfaces(uint16_t vid, uint16_t pid) override
    {
        listings.emplace_back(vid, pid);
        std::vector<std::string> paths;
        for (const Interface& i : list)
            if (i.vendorId == vid && i.productId == pid)
                paths.push_back(i.path);
        return paths;
    }

    std::unique_ptr<HidHandle> open(const std::string& path) override
    {
        openCalls.push_back(path);
        const Interface* i = find(path);
        if (!i || !i->opens)
            return nullptr;
        return std::make_unique<Handle>(*this, path);
    }

    std::vector<Unopened> unopened(uint16_t vid, uint16_t pid) override
    {
        std::vector<Unopened> refused;
        for (const Interface& i : list)
            if (i.vendorId == vid && i.productId == pid && !i.opens)
                refused.push_back({i.path, "Permission denied"});
        return refused;
    }

private:
    class Handle final : public HidHandle {
    public:
        Handle(FakeHidBackend& owner, std::string path) : owner_(owner), path_(std::move(path)) { ++owner_.liveHandles; }
        ~Handle() override { --owner_.liveHandles; }
        bool attributes(uint16_t& vendorId, uint16_t& productId) override
        {
            vendorId = self().vendorId;
            productId = self().productId;
            return true;
        }
        bool manufacturerString(std::u16string& text) override { return take(self().manufacturer, text); }
        bool productString(std::u16string& text) override { return take(self().product, text); }
        long setFeature(const uint8_t* data, std::size_t length) override
        {
            owner_.transfers.push_back({path_, true, std::vector<uint8_t>(data, data + length)});
            return self().setWorks ? long(length) : -1;
        }
        long getFeature(uint8_t* data, std::size_t length) override
        {
            owner_.transfers.push_back({path_, false, std::vector<uint8_t>(data, data + length)});
            const Interface& i = self();
            const std::size_t delivered = i.replyLength >= 0 ? std::min(length, std::size_t(i.replyLength)) : length;
            for (std::size_t k = 0; k < delivered && k < i.reply.size(); ++k)
                data[k] = i.reply[k];
            return i.getWorks ? long(delivered) : -1;
        }
        std::string lastError() const override { return owner_.find(path_)->error; }

    private:
        Interface& self() { return *owner_.find(path_); }
        static bool take(const std::optional<std::u16string>& from, std::u16string& to)
        {
            if (!from)
                return false;
            to = *from;
            return true;
        }
        FakeHidBackend& owner_;
        std::string path_;
    };
};
