#pragma once
// The check of the set-up: one result per check, with what it found or what
// to do, in the run's language: the programmer on USB, its hidraw node, this
// user's access to it, the udev rule, other programs holding it, the probe's
// answer and the time of one report exchange. The terminal's `doctor` and
// the window's Help menu show the same results.

#include "device/ExchangeTiming.h"
#include "device/UsbSetup.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class ChipTable;
class Programmer;

struct SetupCheck {
    const char* name = "";   // fixed for scripts: usb, hidraw, access, udev-rule, in-use, probe, exchange-time
    bool ok = false;
    bool simulated = false;  // stands for a check the simulated programmer has nothing for
    QString label;           // the check's name in the run's language
    QString detail;          // what it found, or what to do
};

// Slower than this per exchange, a chip job drags: the link is not direct.
inline constexpr qint64 kSlowExchangeNs = 10'000'000;

// Everything, in order. The USB, node, access, rule and holder checks look at
// the system through `paths`, or say that the programmer is simulated.
std::vector<SetupCheck> runSetupChecks(const UsbSetupPaths& paths, Programmer& programmer, const ChipTable& chips,
                                       int languageIndex);

// The parts, for a front end that already has the facts.
std::vector<SetupCheck> usbSetupChecks(const UsbSetup& facts, const UsbSetupPaths& paths, int languageIndex);
std::vector<SetupCheck> simulatedUsbChecks(int languageIndex);
// answer as Programmer::probeChip returns it; id its five bytes.
SetupCheck probeCheck(int answer, const uint8_t* id, const ChipTable& chips, int languageIndex);
SetupCheck timingCheck(const ExchangeTimes& times, int languageIndex);

bool allSetupChecksOk(const std::vector<SetupCheck>& checks);
// "ok    LABEL: DETAIL" or "FAIL  LABEL: DETAIL".
QString setupCheckLine(const SetupCheck& check);
QStringList setupCheckLines(const std::vector<SetupCheck>& checks);
