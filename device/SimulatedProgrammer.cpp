#include "device/SimulatedProgrammer.h"

#include "device/BlockProtection.h"
#include "device/HidDevice.h"
#include "device/ProgrammerCommand.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

namespace {

constexpr const char* kInterfacePath = "sim:ktr4180";
// Version 2 adds the status register and the global lock after the lock byte.
constexpr char kStateMagicV1[] = "KTR4180-SIM 1\n";
constexpr char kStateMagic[] = "KTR4180-SIM 2\n";
constexpr int kStateMagicSize = int(sizeof kStateMagic) - 1;
static_assert(sizeof kStateMagicV1 == sizeof kStateMagic);

std::u16string widen(const char* text)
{
    std::u16string out;
    for (; *text; ++text)
        out += static_cast<char16_t>(static_cast<unsigned char>(*text));
    return out;
}

class SimHandle final : public HidHandle {
public:
    SimHandle(SimulatedProgrammer& sim, unsigned generation) : sim_(sim), generation_(generation) {}
    bool attributes(uint16_t& vendorId, uint16_t& productId) override
    {
        if (!sim_.handleAlive(generation_))
            return false;
        vendorId = kProgrammerVendorId;
        productId = kProgrammerProductId;
        return true;
    }
    bool manufacturerString(std::u16string& text) override
    {
        if (!sim_.handleAlive(generation_))
            return false;
        text = widen(kProgrammerManufacturer);
        return true;
    }
    bool productString(std::u16string& text) override
    {
        if (!sim_.handleAlive(generation_))
            return false;
        text = widen(kProgrammerProduct);
        return true;
    }
    long setFeature(const uint8_t* data, std::size_t length) override
    {
        return sim_.handleSet(generation_, data, length);
    }
    long getFeature(uint8_t* data, std::size_t length) override
    {
        return sim_.handleGet(generation_, data, length);
    }
    std::string lastError() const override { return sim_.lastFailure(); }

private:
    SimulatedProgrammer& sim_;
    unsigned generation_;
};

// Random bytes in runs (up to a 32nd of the memory, at most 512), one run in
// five a 0xFF hole, then an erased tail of up to an eighth of the memory above
// a programmed byte: a read trims there, a write rounds up to pages, a verify
// meets whole blocks. Raw generator output only, so a seed gives the same
// bytes everywhere.
void fillRandom(std::vector<uint8_t>& memory, std::mt19937& random)
{
    const std::size_t size = memory.size();
    const std::size_t longest = std::clamp<std::size_t>(size / 32, 1, 512);
    std::size_t at = 0;
    while (at < size) {
        const std::size_t run = std::min<std::size_t>(1 + random() % longest, size - at);
        const bool hole = random() % 5 == 0;
        for (std::size_t i = 0; i < run; i += 4) {
            const uint32_t bits = hole ? 0xFFFFFFFFu : uint32_t(random());
            for (std::size_t k = 0; k < 4 && i + k < run; ++k)
                memory[at + i + k] = uint8_t(bits >> (8 * k));
        }
        at += run;
    }
    if (size < 2)
        return;
    const std::size_t tail = 1 + random() % std::max<std::size_t>(size / 8, 1);
    std::fill(memory.end() - static_cast<long>(tail), memory.end(), 0xFF);
    memory[size - tail - 1] = uint8_t(random() % 0xFF);
}

qint64 steadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

uint32_t be16(const uint8_t* p) { return (uint32_t(p[0]) << 8) | p[1]; }
uint32_t be32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }

} // namespace

SimulatedProgrammer::SimulatedProgrammer() : fuses_(defaultFuses()) {}

SimulatedProgrammer::~SimulatedProgrammer() = default;

std::array<uint8_t, SimulatedProgrammer::kFuseBytes> SimulatedProgrammer::defaultFuses()
{
    // Factory fuses of the common AVR parts: low, high, extended.
    std::array<uint8_t, kFuseBytes> f{};
    f.fill(0xFF);
    f[0] = 0x62;
    f[1] = 0xD9;
    f[2] = 0xFF;
    return f;
}

std::vector<std::string> SimulatedProgrammer::interfaces(uint16_t vendorId, uint16_t productId)
{
    if (!plugged_ || vendorId != kProgrammerVendorId || productId != kProgrammerProductId)
        return {};
    return {kInterfacePath};
}

std::unique_ptr<HidHandle> SimulatedProgrammer::open(const std::string& path)
{
    if (!plugged_ || path != kInterfacePath)
        return nullptr;
    return std::make_unique<SimHandle>(*this, generation_);
}

void SimulatedProgrammer::insertChip(const ChipEntry& chip)
{
    chip_ = chip;
    flash_.assign(std::min(chip.flashBytes(), kMaxFlash), 0xFF);
    eeprom_.assign(std::min<uint32_t>(chip.eepromBytes(), kMaxEeprom), 0xFF);
    if (fillSeed_) {
        std::mt19937 random(*fillSeed_);
        fillRandom(flash_, random);
        fillRandom(eeprom_, random);
    }
    fuses_ = defaultFuses();
    lock_ = 0xFF;
    status_ = 0;
    globalLock_ = false;
    if (arriveProtected_)
        setBlockProtected(true);
}

void SimulatedProgrammer::setBlockProtected(bool on)
{
    if (!chip_)
        return;
    switch (unlockMethodFor(*chip_)) {
    case UnlockMethod::GlobalUnlock:
        globalLock_ = on;
        break;
    case UnlockMethod::WriteStatus:
    case UnlockMethod::EnableWriteStatus:
        // BP0..BP2: the whole array of the usual sizes.
        status_ = on ? uint8_t(status_ | 0x1C) : uint8_t(status_ & ~kStatusBlockProtectBits);
        break;
    case UnlockMethod::None:
        break;
    }
}

bool SimulatedProgrammer::blockProtected() const
{
    if (!chip_)
        return false;
    switch (unlockMethodFor(*chip_)) {
    case UnlockMethod::GlobalUnlock:
        return globalLock_;
    case UnlockMethod::WriteStatus:
    case UnlockMethod::EnableWriteStatus:
        return (status_ & kStatusBlockProtectBits) != 0;
    case UnlockMethod::None:
        break;
    }
    return false;
}

void SimulatedProgrammer::removeChip()
{
    chip_.reset();
    flash_.clear();
    eeprom_.clear();
}

void SimulatedProgrammer::setPlugged(bool plugged)
{
    if (plugged_ && !plugged)
        ++generation_;  // handles of the old connection are dead for good
    plugged_ = plugged;
    stream_ = Stream::None;
}

std::optional<SimulatedProgrammer::Fault::Kind> SimulatedProgrammer::countReport(bool isSet)
{
    if (latencyMs_ > 0)
        QThread::msleep(static_cast<unsigned long>(latencyMs_));
    ++reportCount_;
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (reportCount_ < it->atReport)
            continue;
        const Fault::Kind kind = it->kind;
        const bool fires = kind == Fault::Kind::Unplug || (kind == Fault::Kind::Set && isSet)
                           || ((kind == Fault::Kind::Get || kind == Fault::Kind::Short) && !isSet);
        if (!fires)
            continue;
        if (kind == Fault::Kind::Unplug)
            setPlugged(false);
        faults_.erase(it);
        // The words a real link would give: the device gone, or the report stalled.
        const std::string report = std::to_string(reportCount_);
        if (kind == Fault::Kind::Unplug)
            lastFailure_ = "No such device (the simulated programmer was unplugged at report " + report + ")";
        else if (kind != Fault::Kind::Short)
            lastFailure_ = "Broken pipe (simulated fault at report " + report + ")";
        return kind;
    }
    return std::nullopt;
}

qint64 SimulatedProgrammer::clockNow() const
{
    return now_ ? now_() : steadyMilliseconds();
}

bool SimulatedProgrammer::eraseRunning() const
{
    return slowEraseMs_ > 0 && clockNow() < eraseEndsAt_;
}

void SimulatedProgrammer::record(bool toDevice, const uint8_t* data, std::size_t length, bool ok)
{
    if (recording_)
        traffic_.push_back({toDevice, std::vector<uint8_t>(data, data + length), ok});
}

long SimulatedProgrammer::handleSet(unsigned generation, const uint8_t* data, std::size_t length)
{
    if (!handleAlive(generation) || length == 0) {
        lastFailure_ = length == 0 ? "Invalid argument" : "No such device (the simulated programmer is unplugged)";
        record(true, data, length, false);
        return -1;
    }
    if (countReport(true)) {
        record(true, data, length, false);
        return -1;
    }
    record(true, data, length, true);
    const long whole = static_cast<long>(length);
    const uint8_t id = data[0];
    if (id == kCommandReportId) {
        if (length >= kCommandReportSize)
            runCommand(data);
        return whole;
    }
    if (id >= 0x02 && id <= 0x07 && stream_ != Stream::None && chip_) {
        std::vector<uint8_t>& mem = streamMemory();
        const std::size_t block = length - 1;
        const bool norFlash = stream_ == Stream::Flash && setupClass_ == kClassSpiFlash;
        // A protected array, or one still busy erasing, takes no program
        // command: the block goes nowhere.
        const bool ignored = norFlash && (blockProtected() || eraseRunning());
        for (std::size_t i = 0; i < block && !ignored; ++i) {
            const uint64_t a = uint64_t(streamPos_) + i;
            if (a >= mem.size())
                break;
            mem[a] = norFlash ? (mem[a] & data[1 + i]) : data[1 + i];
        }
        streamPos_ += static_cast<uint32_t>(block);
    }
    return whole;
}

long SimulatedProgrammer::handleGet(unsigned generation, uint8_t* data, std::size_t length)
{
    if (!handleAlive(generation) || length == 0) {
        lastFailure_ = length == 0 ? "Invalid argument" : "No such device (the simulated programmer is unplugged)";
        record(false, data, length, false);
        return -1;
    }
    const std::optional<Fault::Kind> fault = countReport(false);
    if (fault && fault != Fault::Kind::Short) {
        record(false, data, length, false);
        return -1;
    }
    // A short reply fills only its first half of the caller's buffer.
    const std::size_t delivered = fault ? length / 2 : length;
    reportBytes_.assign(length, 0);
    uint8_t* const out = reportBytes_.data();
    const uint8_t id = data[0];
    if (id == kCommandReportId) {
        std::memcpy(out, reply_.data(), std::min(length, reply_.size()));
    } else if (id >= 0x02 && id <= 0x07 && stream_ != Stream::None && chip_) {
        const std::vector<uint8_t>& mem = streamMemory();
        const std::size_t block = length - 1;
        for (std::size_t i = 0; i < block; ++i) {
            const uint64_t a = uint64_t(streamPos_) + i;
            out[i] = a < mem.size() ? mem[a] : 0xFF;
        }
        for (const uint32_t a : unstable_)
            if (a >= streamPos_ && a - streamPos_ < block)
                out[a - streamPos_] ^= unstableReads_++;
        streamPos_ += static_cast<uint32_t>(block);
    }
    std::memcpy(data, out, delivered);
    record(false, data, delivered, true);
    return static_cast<long>(delivered);
}

bool SimulatedProgrammer::answersClass(int cls) const
{
    if (!chip_)
        return false;
    // Chips beyond the five probed classes are sensed on the ISP header and
    // answer the first probe.
    return chip_->chipClass == cls || (chip_->chipClass > 4 && cls == 0);
}

void SimulatedProgrammer::erasePage(uint32_t address, uint32_t size)
{
    for (uint64_t a = address; a < uint64_t(address) + size && a < flash_.size(); ++a)
        flash_[a] = 0xFF;
}

void SimulatedProgrammer::runCommand(const uint8_t* r)
{
    reply_.fill(0);
    const uint8_t code = r[1];
    if (code != kCmdErase)
        lastPageEraseArg_ = -1;
    stream_ = Stream::None;
    const uint32_t id = chip_ ? static_cast<uint32_t>(chip_->chipId()) : 0;
    switch (code) {
    case kCmdSetup:
        setupClass_ = r[2];
        setupPage_ = static_cast<uint16_t>(be16(r + 4));
        reply_[0] = chip_ ? 1 : 0;
        writeEnabled_ = false;
        break;
    case kCmdReadId:
        if (answersClass(setupClass_)) {
            reply_[0] = static_cast<uint8_t>(setupClass_ + 1);
            reply_[1] = static_cast<uint8_t>(id >> 16);
            reply_[2] = static_cast<uint8_t>(id >> 8);
            reply_[3] = static_cast<uint8_t>(id);
            reply_[4] = variantFlag_;
        }
        break;
    case kCmdReadSignature:
        if (chip_) {
            reply_[0] = static_cast<uint8_t>(id >> 16);
            reply_[1] = static_cast<uint8_t>(id >> 8);
            reply_[2] = static_cast<uint8_t>(id);
        }
        break;
    case kCmdReadConfig: {
        const int count = std::min<int>(r[20], kFuseBytes);
        if (!chip_)
            break;
        if (count == 1)
            reply_[0] = lock_;
        else
            std::copy_n(fuses_.begin(), count, reply_.begin());
        break;
    }
    case kCmdWriteFuses: {
        const int count = std::min<int>(r[20], 64 - 21);
        // Lock mode 2 or 3 (a lock bit programmed) locks the fuse bytes
        // until an erase.
        if (chip_ && (lock_ & 0x03) == 0x03)
            for (int i = 0; i < count && i < kFuseBytes; ++i)
                fuses_[static_cast<std::size_t>(i)] = r[21 + i];
        break;
    }
    case kCmdWriteLock:
        if (chip_)
            lock_ &= r[21];  // lock bits are only ever programmed; an erase clears them
        break;
    case kCmdOpenFlashStream:
    case kCmdOpenEepromStream:
        stream_ = code == kCmdOpenFlashStream ? Stream::Flash : Stream::Eeprom;
        streamBlock_ = be16(r + 4);
        streamPos_ = be32(r + 8);
        pageEraseBase_ = 0;
        break;
    case kCmdErase: {
        if (!chip_)
            break;
        const uint32_t arg = be16(r + 16);
        switch (setupClass_) {
        case 0:
            if (arg == kWholeChipErase && !blockProtected() && !eraseRunning()) {
                std::fill(flash_.begin(), flash_.end(), 0xFF);
                busyLeft_ = busyPolls_;
                if (slowEraseMs_ > 0)
                    eraseEndsAt_ = clockNow() + slowEraseMs_;
            }
            break;
        case 1: case 3: case 4: case 5: {
            // The argument carries the low 16 bits of the page address; a
            // smaller one than the last means the next 64 KiB.
            if (lastPageEraseArg_ >= 0 && int(arg) < lastPageEraseArg_)
                pageEraseBase_ += 0x10000;
            lastPageEraseArg_ = int(arg);
            erasePage(pageEraseBase_ + arg, std::max<uint32_t>(setupPage_, 1));
            break;
        }
        case 2: case 7: case 8:
            std::fill(flash_.begin(), flash_.end(), 0xFF);
            lock_ = 0xFF;
            break;
        default:
            break;
        }
        break;
    }
    case kCmdPollStatus:
        // A slow erase ends by the clock alone, any other after its polls.
        if (busyForever_ || eraseRunning()) {
            reply_[0] = 1;
        } else if (slowEraseMs_ == 0 && busyLeft_ > 0) {
            reply_[0] = 1;
            --busyLeft_;
        }
        break;
    case kCmdRawSpi:
        rawSpi(r + 4, std::min<int>(r[3], 60));
        break;
    case kCmdFinish:
        lastCompletion_ = r[21];
        break;
    default:
        break;
    }
}

void SimulatedProgrammer::rawSpi(const uint8_t* b, int n)
{
    // EWSR opens the status register for the very next command only.
    const bool statusOpen = statusWriteEnabled_;
    statusWriteEnabled_ = false;
    if (n < 1 || !chip_)
        return;
    const UnlockMethod kind = unlockMethodFor(*chip_);
    if (n == 1 && b[0] == kSpiWriteEnable) {
        writeEnabled_ = true;
    } else if (n == 1 && b[0] == kSpiEnableWriteStatus) {
        statusWriteEnabled_ = true;
    } else if (n == 2 && b[0] == kSpiWriteStatus) {
        // An SST25-type part takes WRSR after EWSR only; an SST26 has no BP
        // bits in its status register, so WRSR leaves its lock alone.
        const bool accepted = (kind == UnlockMethod::EnableWriteStatus && statusOpen)
                              || (kind != UnlockMethod::EnableWriteStatus && writeEnabled_);
        if (accepted && kind != UnlockMethod::GlobalUnlock)
            status_ = b[1];
        writeEnabled_ = false;
    } else if (n == 1 && b[0] == kSpiGlobalUnlock) {
        if (kind == UnlockMethod::GlobalUnlock && writeEnabled_)
            globalLock_ = false;
        writeEnabled_ = false;
    } else if (n == 4 && b[0] == 0xDB && writeEnabled_) {
        erasePage((uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3], std::max<uint32_t>(setupPage_, 1));
        writeEnabled_ = false;
    }
}

bool SimulatedProgrammer::loadState(const QString& path, QString* error)
{
    if (!QFileInfo::exists(path))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    const int magic = kStateMagicSize;
    const bool v2 = bytes.startsWith(kStateMagic);
    if ((!v2 && !bytes.startsWith(kStateMagicV1)) || bytes.size() < magic + 8) {
        if (error)
            *error = QStringLiteral("not a simulator state file");
        return false;
    }
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData()) + magic;
    const uint32_t flashSize = be32(p);
    const uint32_t eepromSize = be32(p + 4);
    const qint64 need = qint64(magic) + 8 + flashSize + eepromSize + kFuseBytes + 1 + (v2 ? 2 : 0);
    if (flashSize > kMaxFlash || eepromSize > kMaxEeprom || bytes.size() != need) {
        if (error)
            *error = QStringLiteral("damaged simulator state file");
        return false;
    }
    p += 8;
    // The chip in the socket decides the sizes; the file fills what overlaps.
    std::copy_n(p, std::min<std::size_t>(flashSize, flash_.size()), flash_.begin());
    p += flashSize;
    std::copy_n(p, std::min<std::size_t>(eepromSize, eeprom_.size()), eeprom_.begin());
    p += eepromSize;
    std::copy_n(p, kFuseBytes, fuses_.begin());
    lock_ = p[kFuseBytes];
    if (v2) {
        status_ = p[kFuseBytes + 1];
        globalLock_ = p[kFuseBytes + 2] != 0;
    }
    if (arriveProtected_)
        setBlockProtected(true);
    return true;
}

bool SimulatedProgrammer::saveState(const QString& path, QString* error) const
{
    // An empty socket has no memories: writing them would wipe the chip kept
    // from an earlier run.
    if (!chip_)
        return true;
    QByteArray bytes(kStateMagic);
    auto put32 = [&](uint32_t v) {
        for (int s = 24; s >= 0; s -= 8)
            bytes += static_cast<char>((v >> s) & 0xFF);
    };
    put32(static_cast<uint32_t>(flash_.size()));
    put32(static_cast<uint32_t>(eeprom_.size()));
    bytes.append(reinterpret_cast<const char*>(flash_.data()), qsizetype(flash_.size()));
    bytes.append(reinterpret_cast<const char*>(eeprom_.data()), qsizetype(eeprom_.size()));
    bytes.append(reinterpret_cast<const char*>(fuses_.data()), kFuseBytes);
    bytes += static_cast<char>(lock_);
    bytes += static_cast<char>(status_);
    bytes += static_cast<char>(globalLock_ ? 1 : 0);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
