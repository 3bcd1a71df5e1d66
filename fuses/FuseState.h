#pragma once
// The fuse and lock bytes of the chip being worked on, and the settings of
// the fuse description that name their bits.

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

struct FuseSetting {
    uint8_t byteIndex = 0;
    uint8_t mask = 0;
    uint8_t value = 0;
    QString caption;  // in the language the description was loaded in
};

class FuseState {
public:
    static constexpr int kMaxBytes = 32;
    static constexpr int kMaxSettings = 255;
    static constexpr int kMaxCalibration = 4;

    // Fuse bytes are indices 0..count-1; index count is the lock byte.
    int fuseByteCount() const { return fuseByteCount_; }
    uint8_t* currentBytes() { return current_.data(); }
    const uint8_t* currentBytes() const { return current_.data(); }
    uint8_t lockByte() const { return current_[static_cast<std::size_t>(lockIndex())]; }
    int lockIndex() const { return fuseByteCount_ < kMaxBytes ? fuseByteCount_ : kMaxBytes - 1; }

    std::array<uint8_t, kMaxBytes> current_{};
    std::array<uint8_t, kMaxBytes> defaults_{};
    int fuseByteCount_ = 0;
    std::vector<FuseSetting> settings_;
};
