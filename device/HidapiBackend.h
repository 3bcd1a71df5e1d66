#pragma once
// Real USB programmers through hidapi's hidraw backend. The only file that
// calls hidapi; the tests run it against a stand-in library that plays the
// programmer report by report.

#include "device/HidBackend.h"

class HidapiBackend final : public HidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    std::vector<std::string> interfaces(uint16_t vendorId, uint16_t productId) override;
    std::unique_ptr<HidHandle> open(const std::string& path) override;
    std::vector<Unopened> unopened(uint16_t vendorId, uint16_t productId) override;

private:
    bool initialised_ = false;
};
