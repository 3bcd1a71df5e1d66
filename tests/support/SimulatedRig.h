#pragma once
// The command protocol wired to the simulated programmer, with the traffic
// on the wire at hand.

#include "device/HidDevice.h"
#include "device/Programmer.h"
#include "device/SimulatedProgrammer.h"
#include "support/RecordingUi.h"

#include <vector>

struct SimulatedRig {
    SimulatedProgrammer sim;
    RecordingUi ui;
    HidDevice device{sim};
    Programmer programmer{device, ui};
    ChipEntry chip{};

    SimulatedRig()
    {
        sim.setRecording(true);
        programmer.setChip(&chip);
    }

    // Puts a chip into the socket and makes it the current chip record.
    void use(const ChipEntry& entry, bool inSocket = true)
    {
        chip = entry;
        if (inSocket)
            sim.insertChip(entry);
    }

    // The reports the host sent, or the ones it received, in order.
    std::vector<std::vector<uint8_t>> sent() const { return direction(true); }
    std::vector<std::vector<uint8_t>> received() const { return direction(false); }
    // Command codes (byte 1) of the 64-byte reports the host sent.
    std::vector<int> commandCodes() const
    {
        std::vector<int> codes;
        for (const auto& r : sent())
            if (r.size() == 64 && r[0] == 0x01)
                codes.push_back(r[1]);
        return codes;
    }
    // The last command report the host sent with that code.
    std::vector<uint8_t> lastCommand(int code) const
    {
        std::vector<uint8_t> found;
        for (const auto& r : sent())
            if (r.size() == 64 && r[0] == 0x01 && r[1] == code)
                found = r;
        return found;
    }
    // Opens the link for commands that run inside a chip job.
    bool openLink() { return device.openProgrammer() == kOpenOk; }

private:
    std::vector<std::vector<uint8_t>> direction(bool toDevice) const
    {
        std::vector<std::vector<uint8_t>> out;
        for (const auto& r : sim.traffic())
            if (r.toDevice == toDevice && r.ok)
                out.push_back(r.bytes);
        return out;
    }
};
