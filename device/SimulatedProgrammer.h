#pragma once
// A virtual KTR4180 with one chip socket. It answers the command protocol as
// the programmer does, keeps the chip's memories, records the traffic and can
// be told to fail.

#include "chipdb/ChipEntry.h"
#include "device/HidBackend.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class SimulatedProgrammer final : public HidBackend {
public:
    static constexpr uint32_t kMaxFlash = 64u * 1024 * 1024;
    static constexpr uint32_t kMaxEeprom = 8192;
    static constexpr int kFuseBytes = 32;

    struct Fault {
        // Short: the reply comes back shorter than asked, as a device whose
        // report is cut off delivers it.
        enum class Kind { Set, Get, Unplug, Short };
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
    std::vector<std::string> interfaces(uint16_t vendorId, uint16_t productId) override;
    std::unique_ptr<HidHandle> open(const std::string& path) override;
    bool simulated() const override { return true; }

    // --- the socket
    // A new chip arrives erased (memories 0xFF), or with the pseudo-random
    // contents of the fill seed; fuses at their defaults.
    void insertChip(const ChipEntry& chip);
    // A seed makes every chip put in afterwards arrive filled: random bytes
    // with 0xFF holes, and erased from a point short of its end, the same for
    // the same seed. None: chips arrive erased.
    void setFillSeed(std::optional<uint32_t> seed) { fillSeed_ = seed; }
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
    // The chip stays busy this long after a whole-chip erase, by the clock
    // rather than by polls: PollStatus answers busy, and an erase or data
    // written meanwhile is not taken, as a real part ignores them. 0: off.
    void setSlowErase(int milliseconds) { slowEraseMs_ = milliseconds; }
    // Milliseconds of a steady clock; tests set their own.
    void setClock(std::function<qint64()> now) { now_ = std::move(now); }

    // --- pace: a delay on every report, as a real link has
    void setLatency(int milliseconds) { latencyMs_ = milliseconds; }

    // --- a byte whose data line makes poor contact (a clip, a worn socket):
    // it reads differently each time, while the chip holds it unchanged
    void addUnstableByte(uint32_t address) { unstable_.push_back(address); }

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

    // Used by the interface handles: the bytes that crossed or -1, and why
    // the last transfer failed.
    long handleSet(unsigned generation, const uint8_t* data, std::size_t length);
    long handleGet(unsigned generation, uint8_t* data, std::size_t length);
    bool handleAlive(unsigned generation) const { return plugged_ && generation == generation_; }
    const std::string& lastFailure() const { return lastFailure_; }

private:
    enum class Stream { None, Flash, Eeprom };

    // The fault that fires at this report, if any.
    std::optional<Fault::Kind> countReport(bool isSet);
    qint64 clockNow() const;
    bool eraseRunning() const;
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
    int slowEraseMs_ = 0;
    qint64 eraseEndsAt_ = 0;
    std::function<qint64()> now_;
    std::optional<uint32_t> fillSeed_;
    std::string lastFailure_;

    std::vector<Fault> faults_;
    int latencyMs_ = 0;
    std::vector<uint32_t> unstable_;
    uint8_t unstableReads_ = 0;
    int reportCount_ = 0;
    bool recording_ = false;
    std::vector<Record> traffic_;

    std::array<uint8_t, 64> reply_{};
    std::vector<uint8_t> reportBytes_;  // a reply as it leaves the programmer
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
