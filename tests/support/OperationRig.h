#pragma once
// A whole program state on the simulated programmer, with the chip
// operations and a short form of the wire traffic: "C09" a command report,
// "W04/257" a data report sent, "R04/257" one received.

#include "app/ProgramState.h"
#include "device/SimulatedProgrammer.h"
#include "operations/ChipOperations.h"
#include "support/RecordingUi.h"
#include "support/TestChipEntry.h"

#include <QString>
#include <QStringList>

struct OperationRig {
    SimulatedProgrammer sim;
    RecordingUi ui;
    ProgramState state{sim, ui};
    ChipOperations ops = state.chipOperations();

    OperationRig() { sim.setRecording(true); }

    // Makes the entry the current chip (table slot 0) and, unless told
    // otherwise, puts it into the socket.
    void use(const ChipEntry& entry, bool inSocket = true)
    {
        state.chips()[0] = entry;
        state.setCurrentChipIndex(0);
        if (inSocket)
            sim.insertChip(entry);
    }

    // Fills the Flash buffer from a pattern and sets its data length.
    void loadFlash(int32_t length, uint8_t seed = 1)
    {
        for (int32_t i = 0; i < length; ++i)
            state.buffers().flash()[i] = uint8_t(seed + i * 7);
        state.buffers().setFlashLength(length);
    }
    void loadEeprom(int32_t length, uint8_t seed = 3)
    {
        for (int32_t i = 0; i < length; ++i)
            state.buffers().eeprom()[i] = uint8_t(seed + i * 5);
        state.buffers().setEepromLength(length);
    }

    // Every successful report, in order.
    QStringList wire() const
    {
        QStringList out;
        for (const auto& r : sim.traffic()) {
            if (!r.ok || r.bytes.empty())
                continue;
            const int size = int(r.bytes.size());
            if (r.toDevice && size == 64 && r.bytes[0] == 0x01)
                out << QString::asprintf("C%02X", r.bytes[1]);
            else if (r.toDevice)
                out << QString::asprintf("W%02X/%d", r.bytes[0], size);
            else if (size != 64)  // command replies are left out
                out << QString::asprintf("R/%d", size);
        }
        return out;
    }
    // The wire after the probe's reports (3 per class tried).
    QStringList wireAfterProbe(int classesTried = 1) const { return wire().mid(3 * classesTried); }
    // Command reports sent with a given code.
    std::vector<std::vector<uint8_t>> commands(int code) const
    {
        std::vector<std::vector<uint8_t>> out;
        for (const auto& r : sim.traffic())
            if (r.ok && r.toDevice && r.bytes.size() == 64 && r.bytes[0] == 0x01 && r.bytes[1] == code)
                out.push_back(r.bytes);
        return out;
    }
    // A failure message with the simulated link's reason on its second line.
    QString failure(Msg message, const QString& why) const { return ui.message(message) + QLatin1Char('\n') + why; }
    static QString brokenPipe(int report) { return QStringLiteral("Broken pipe (simulated fault at report %1)").arg(report); }
    static QString unplugged(int report)
    {
        return QStringLiteral("No such device (the simulated programmer was unplugged at report %1)").arg(report);
    }

    // The kinds of UI events in order, as one string per event.
    QStringList uiTrace() const
    {
        static const char* names[] = {"Error", "Question", "Information", "Message", "Status", "Elapsed",
                                      "Log", "Pause", "Beep", "Controls", "ProgressStart", "ProgressEnd"};
        QStringList out;
        for (const auto& e : ui.events)
            out << QString::fromLatin1(names[e.kind]);
        return out;
    }
};

// n copies of a short-form report.
inline QStringList times(int n, const QString& report)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << report;
    return out;
}
