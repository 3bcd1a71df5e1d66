#pragma once
// The programmer's command protocol and the procedures that frame a chip job:
// probe, set-up and finish, streams, data reports, fuse, lock and signature.

#include "app/MessageTable.h"
#include "device/HidDevice.h"
#include "device/ProgrammerCommand.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

struct ChipEntry;
class UserInterface;

class Programmer {
public:
    Programmer(HidDevice& device, UserInterface& ui) : device_(device), ui_(ui) {}

    // The current chip record; every command that describes the chip reads it.
    void setChip(const ChipEntry* chip) { chip_ = chip; }
    const ChipEntry* chip() const { return chip_; }
    // Position of the speed list (-1 when nothing is selected).
    void setSpeedIndex(int index) { speedIndex_ = index; }
    int speedIndex() const { return speedIndex_; }
    int completionIndicator() const { return completionIndicator_; }
    void setCompletionIndicator(int value) { completionIndicator_ = value; }

    // -1 programmer not connected (or not answering), 0 no chip class
    // answered, otherwise the answering class + 1. id receives 5 bytes.
    int probeChip(uint8_t* id);
    // 0 not connected (message shown), 1 chip present (link open),
    // 2 no chip (message shown, link open).
    int setupChip();
    // Sends Finish with the completion indicator, resets it, closes the link,
    // shows "Ready". False when the Finish exchange failed.
    bool finishChip();

    bool openStream(uint32_t address, uint8_t code);
    bool sendRawSpi(const uint8_t* bytes, int count);
    bool erase(uint16_t argument);
    // busy receives bit 0 of reply byte 0.
    bool pollStatus(bool& busy);
    bool readConfig(int count, uint8_t* destination);
    bool writeFuses(const uint8_t* bytes, int count);
    bool writeLock(uint8_t lockByte);
    // Copies `count` bytes of the reply (callers ask for 6 and use 3).
    bool readSignature(uint8_t* destination, int count);

    // One data report of block + 1 bytes under reportId.
    bool readBlock(uint8_t reportId, int block, uint8_t* destination);
    bool writeBlock(uint8_t reportId, int block, const uint8_t* source);

    // True from a successful set-up until the job's Finish: the link is in use.
    bool jobRunning() const { return jobRunning_; }
    bool linkOpen() const { return device_.isOpen(); }
    HidDevice& device() { return device_; }

    // The message, and on a second line why the link failed when a transfer
    // since the last open did: the platform's words or a short reply.
    QString failureText(Msg message) const;

    // The Setup report for the current chip, as sent.
    std::array<uint8_t, kCommandReportSize> setupReport() const;

private:
    bool command(std::array<uint8_t, kCommandReportSize>& report,
                 std::array<uint8_t, kCommandReportSize>* reply = nullptr);

    HidDevice& device_;
    UserInterface& ui_;
    const ChipEntry* chip_ = nullptr;
    int speedIndex_ = 0;
    int completionIndicator_ = 0;
    bool jobRunning_ = false;
    std::vector<uint8_t> scratch_;
};
