#pragma once
// Real USB programmers through hidapi's hidraw backend.

#include "device/HidBackend.h"

class HidapiBackend final : public HidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    std::vector<std::string> interfaces() override;
    std::unique_ptr<HidHandle> open(const std::string& path) override;
    std::vector<Unopened> unopened(uint16_t vendorId, uint16_t productId) override;

private:
    bool initialised_ = false;
};
