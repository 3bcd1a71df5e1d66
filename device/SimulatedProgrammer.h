#pragma once
// A virtual KTR4180 with one chip socket. It answers the command protocol as
// the programmer does, keeps the chip's memories, records the traffic and can
// be told to fail.

#include "chipdb/ChipEntry.h"
#include "device/HidBackend.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class SimulatedProgrammer final : public HidBackend {
public:
    static constexpr uint32_t kMaxFlash = 64u * 1024 * 1024;
    static constexpr uint32_t kMaxEeprom = 8192;
    static constexpr int kFuseBytes = 32;

    struct Fault {
        enum class Kind { Set, Get, Unplug };
        Kind kind;
        int atReport;  // counted from 1 over every report of the run, both ways
    };

    struct Record {
        bool toDevice;               // host to programmer
        std::vector<uint8_t> bytes;  // the whole report from byte 0
        bool ok;
    };

    SimulatedProgrammer();
    ~SimulatedProgrammer() override;

    // --- HidBackend
    std::vector<std::string> interfaces() override;
    std::unique_ptr<HidHandle> open(const std::string& path) override;
    bool simulated() const override { return true; }

    // --- the socket
    // A new chip arrives erased: memories 0xFF, fuses at their defaults.
    void insertChip(const ChipEntry& chip);
    void removeChip();
    bool hasChip() const { return chip_.has_value(); }
    const std::optional<ChipEntry>& chip() const { return chip_; }
    void setVariantFlag(uint8_t flags) { variantFlag_ = flags; }

    // --- the USB cable
    void setPlugged(bool plugged);
    bool plugged() const { return plugged_; }

    // --- block protection of an SPI flash: while it is set, erase and
    // program leave the memory as it is, as the real part ignores them. The
    // chip's own unlock sequence (device/BlockProtection.h) clears it.
    void setBlockProtected(bool on);
    bool blockProtected() const;
    uint8_t statusRegister() const { return status_; }
    // Every chip put into the socket (and every state loaded) starts protected.
    void setChipsArriveProtected(bool on) { arriveProtected_ = on; }

    // --- timing of a whole-chip erase
    void setBusyPolls(int polls) { busyPolls_ = polls; }
    void setBusyForever(bool always) { busyForever_ = always; }

    // --- pace: a delay on every report, as a real link has
    void setLatency(int milliseconds) { latencyMs_ = milliseconds; }

    // --- faults
    void addFault(Fault fault) { faults_.push_back(fault); }
    int reportCount() const { return reportCount_; }

    // --- traffic record
    void setRecording(bool on) { recording_ = on; }
    const std::vector<Record>& traffic() const { return traffic_; }
    void clearTraffic() { traffic_.clear(); }

    // --- chip memories
    std::vector<uint8_t>& flash() { return flash_; }
    std::vector<uint8_t>& eeprom() { return eeprom_; }
    std::array<uint8_t, kFuseBytes>& fuses() { return fuses_; }
    uint8_t& lockByte() { return lock_; }
    static std::array<uint8_t, kFuseBytes> defaultFuses();

    // The completion indicator of the last Finish, and the last Setup's class.
    int lastCompletionIndicator() const { return lastCompletion_; }

    // Chip memory kept between runs. A missing file leaves the chip erased;
    // with no chip in the socket saving leaves the file as it is.
    bool loadState(const QString& path, QString* error = nullptr);
    bool saveState(const QString& path, QString* error = nullptr) const;

    // Used by the interface handles.
    bool handleSet(unsigned generation, const uint8_t* data, std::size_t length);
    bool handleGet(unsigned generation, uint8_t* data, std::size_t length);
    bool handleAlive(unsigned generation) const { return plugged_ && generation == generation_; }

private:
    enum class Stream { None, Flash, Eeprom };

    bool countReport(bool isSet);
    void record(bool toDevice, const uint8_t* data, std::size_t length, bool ok);
    void runCommand(const uint8_t* report);
    void erasePage(uint32_t address, uint32_t size);
    void rawSpi(const uint8_t* bytes, int count);
    bool answersClass(int cls) const;
    std::vector<uint8_t>& streamMemory() { return stream_ == Stream::Flash ? flash_ : eeprom_; }

    std::optional<ChipEntry> chip_;
    std::vector<uint8_t> flash_;
    std::vector<uint8_t> eeprom_;
    std::array<uint8_t, kFuseBytes> fuses_{};
    uint8_t lock_ = 0xFF;
    uint8_t variantFlag_ = 0x01;

    bool plugged_ = true;
    unsigned generation_ = 1;
    int busyPolls_ = 2;
    bool busyForever_ = false;
    int busyLeft_ = 0;

    std::vector<Fault> faults_;
    int latencyMs_ = 0;
    int reportCount_ = 0;
    bool recording_ = false;
    std::vector<Record> traffic_;

    std::array<uint8_t, 64> reply_{};
    int setupClass_ = 0;
    uint16_t setupPage_ = 0;
    Stream stream_ = Stream::None;
    uint32_t streamPos_ = 0;
    uint32_t streamBlock_ = 0;
    uint32_t pageEraseBase_ = 0;
    int lastPageEraseArg_ = -1;
    bool writeEnabled_ = false;
    uint8_t status_ = 0;               // status register of an SPI flash
    bool globalLock_ = false;          // block-protection register of an SST26-type part
    bool statusWriteEnabled_ = false;  // EWSR latch of an SST25-type part
    bool arriveProtected_ = false;
    int lastCompletion_ = 0;
};
