#include "device/Programmer.h"

#include "app/UserInterface.h"
#include "chipdb/ChipEntry.h"

#include <algorithm>
#include <cstring>

namespace {

using Report = std::array<uint8_t, kCommandReportSize>;

const ChipEntry& zeroEntry()
{
    static const ChipEntry entry{};
    return entry;
}

void put16be(Report& r, int offset, uint32_t v)
{
    r[offset] = static_cast<uint8_t>(v >> 8);
    r[offset + 1] = static_cast<uint8_t>(v);
}

void put32be(Report& r, int offset, uint32_t v)
{
    r[offset] = static_cast<uint8_t>(v >> 24);
    r[offset + 1] = static_cast<uint8_t>(v >> 16);
    r[offset + 2] = static_cast<uint8_t>(v >> 8);
    r[offset + 3] = static_cast<uint8_t>(v);
}

Report commandReport(uint8_t code)
{
    Report r{};
    r[0] = kCommandReportId;
    r[1] = code;
    return r;
}

} // namespace

bool Programmer::command(Report& report, Report* reply)
{
    Report scratch{};
    return device_.exchange(report.data(), reply ? reply->data() : scratch.data());
}

Report Programmer::setupReport() const
{
    const ChipEntry& chip = chip_ ? *chip_ : zeroEntry();
    Report r = commandReport(kCmdSetup);
    r[2] = chip.chipClass;
    r[3] = chip.subtype;
    put16be(r, 4, chip.flashPage());
    put16be(r, 6, chip.eraseDelayValue());
    put32be(r, 8, chip.flashBytes());
    put32be(r, 12, static_cast<uint32_t>(chip.chipId()));
    r[18] = static_cast<uint8_t>(speedIndex_);
    r[19] = kSetupByte19;
    r[20] = chip.voltageCode;
    return r;
}

int Programmer::probeChip(uint8_t* id)
{
    if (device_.openProgrammer() != kOpenOk)
        return -1;
    // One report reused for every class: from the second class on, Setup and
    // ReadId still carry the completion indicator in byte 21.
    Report report{};
    Report reply{};
    int answer = 0;
    bool failed = false;
    for (uint8_t cls = 0; cls <= 4 && !failed; ++cls) {
        report[0] = kCommandReportId;
        report[1] = kCmdSetup;
        report[2] = cls;
        report[18] = static_cast<uint8_t>(speedIndex_);
        report[3] = 0;
        if (!device_.exchange(report.data(), reply.data())) {
            failed = true;
            break;
        }
        report[0] = kCommandReportId;
        report[1] = kCmdReadId;
        if (!device_.exchange(report.data(), reply.data())) {
            failed = true;
            break;
        }
        std::memcpy(id, reply.data(), 5);
        answer = reply[0] == cls + 1 ? cls + 1 : 0;
        report[0] = kCommandReportId;
        report[21] = static_cast<uint8_t>(completionIndicator_);
        report[1] = kCmdFinish;
        if (!device_.exchange(report.data(), reply.data())) {
            failed = true;
            break;
        }
        if (answer != 0)
            break;
    }
    device_.close();
    // A programmer that stops answering is not a programmer with an empty socket.
    return failed ? -1 : answer;
}

int Programmer::setupChip()
{
    if (device_.openProgrammer() != kOpenOk) {
        ui_.showError(ui_.message(Msg::NotConnected));
        return 0;
    }
    Report report = setupReport();
    Report reply{};
    if (!command(report, &reply)) {
        // No reply is no chip job: the link is closed already.
        ui_.showError(failureText(Msg::NotConnected));
        return 0;
    }
    jobRunning_ = true;
    if (reply[0] != 0)
        return 1;
    ui_.showError(ui_.message(Msg::NoChipDetected));
    return 2;
}

QString Programmer::failureText(Msg message) const
{
    QString text = ui_.message(message);
    const HidDevice::Failure& failure = device_.lastFailure();
    if (failure.wanted == 0)
        return text;
    if (failure.got >= 0)
        return text + QLatin1Char('\n') + ui_.message(Msg::ShortReply).arg(failure.got).arg(failure.wanted);
    if (!failure.platformText.empty())
        text += QLatin1Char('\n') + QString::fromStdString(failure.platformText);
    return text;
}

bool Programmer::finishChip()
{
    Report report = commandReport(kCmdFinish);
    report[21] = static_cast<uint8_t>(completionIndicator_);
    completionIndicator_ = 0;
    const bool finished = command(report);
    device_.close();
    jobRunning_ = false;
    ui_.setStatus(ui_.message(Msg::Ready));
    return finished;
}

bool Programmer::openStream(uint32_t address, uint8_t code)
{
    const ChipEntry& chip = chip_ ? *chip_ : zeroEntry();
    Report r = commandReport(code);
    put32be(r, 8, address);
    put16be(r, 4, code == kCmdOpenFlashStream ? chip.flashPage() : chip.eepromPageSize);
    const uint16_t delay = chip.eraseDelayValue();
    r[6] = static_cast<uint8_t>(delay);
    r[7] = static_cast<uint8_t>(delay >> 8);
    return command(r);
}

bool Programmer::sendRawSpi(const uint8_t* bytes, int count)
{
    Report r = commandReport(kCmdRawSpi);
    count = std::clamp(count, 0, kCommandReportSize - 4);
    r[2] = 0x02;
    r[3] = static_cast<uint8_t>(count);
    std::memcpy(r.data() + 4, bytes, static_cast<std::size_t>(count));
    return command(r);
}

bool Programmer::erase(uint16_t argument)
{
    Report r = commandReport(kCmdErase);
    put16be(r, 16, argument);
    return command(r);
}

bool Programmer::pollStatus(bool& busy)
{
    Report r = commandReport(kCmdPollStatus);
    Report reply{};
    const bool ok = command(r, &reply);
    busy = ok && (reply[0] & 1);
    return ok;
}

bool Programmer::readConfig(int count, uint8_t* destination)
{
    count = std::clamp(count, 0, kCommandReportSize);
    Report r = commandReport(kCmdReadConfig);
    r[20] = static_cast<uint8_t>(count);
    Report reply{};
    if (!command(r, &reply))
        return false;
    std::memcpy(destination, reply.data(), static_cast<std::size_t>(count));
    return true;
}

bool Programmer::writeFuses(const uint8_t* bytes, int count)
{
    count = std::clamp(count, 0, kCommandReportSize - 21);
    Report r = commandReport(kCmdWriteFuses);
    r[20] = static_cast<uint8_t>(count);
    std::memcpy(r.data() + 21, bytes, static_cast<std::size_t>(count));
    return command(r);
}

bool Programmer::writeLock(uint8_t lockByte)
{
    Report r = commandReport(kCmdWriteLock);
    r[20] = 1;
    r[21] = lockByte;
    return command(r);
}

bool Programmer::readSignature(uint8_t* destination, int count)
{
    count = std::clamp(count, 0, kCommandReportSize);
    Report r = commandReport(kCmdReadSignature);
    r[20] = 3;
    Report reply{};
    if (!command(r, &reply))
        return false;
    std::memcpy(destination, reply.data(), static_cast<std::size_t>(count));
    return true;
}

bool Programmer::readBlock(uint8_t reportId, int block, uint8_t* destination)
{
    scratch_.assign(static_cast<std::size_t>(block) + 1, 0);
    scratch_[0] = reportId;
    if (!device_.getFeature(scratch_.data(), scratch_.size()))
        return false;
    std::memcpy(destination, scratch_.data(), static_cast<std::size_t>(block));
    return true;
}

bool Programmer::writeBlock(uint8_t reportId, int block, const uint8_t* source)
{
    scratch_.resize(static_cast<std::size_t>(block) + 1);
    scratch_[0] = reportId;
    std::memcpy(scratch_.data() + 1, source, static_cast<std::size_t>(block));
    return device_.setFeature(scratch_.data(), scratch_.size());
}
