#pragma once
// The chip operations the user starts, each in the operation frame: probe,
// preconditions, controls locked, set-up, timed body, beep, log line, finish.

#include "buffers/MemoryPage.h"
#include "operations/AutoStep.h"
#include "operations/MemoryLoops.h"
#include "operations/OperationFrame.h"
#include "operations/Outcome.h"

#include <cstdint>
#include <functional>

class ProgramState;

// The auto-sequence steps, each true when its box is both ticked and enabled.
struct AutoOptions {
    bool checkId = false;       // CheckBoxID
    bool serialNumber = false;  // CheckBoxSN
    bool erase = false;         // CheckBoxErase
    bool writeFlash = false;    // CheckBoxWriteFlash
    bool writeEeprom = false;   // CheckBoxWriteEprom
    bool verifyFlash = false;   // CheckBoxVerity
    bool verifyEeprom = false;  // CheckBoxVerifyEprom
    bool fuses = false;         // CheckBoxFUSE
    bool fuseEnable = true;     // FuseEnable
    bool lockEnable = true;     // LockEnable
};

class ChipOperations {
public:
    explicit ChipOperations(ProgramState& state);

    void readChip(MemoryPage page);           // ToolReadClick
    void blankCheck();                        // ToolBankClick
    void eraseChip();                         // ToolEraseClick
    void writeChip(MemoryPage page);          // ToolWriteClick
    void verifyChip(MemoryPage page);         // ToolVerifyClick
    void detectChip();                        // BtnCheckClick
    void runAuto(const AutoOptions& options); // ToolAutoClick

    Outcome lastOutcome() const { return outcome_; }

    // Told after a read filled a buffer (view already reloaded), so the
    // window can rewrite the size caption (blue) and, for the Flash, the gauge.
    void setReadListener(std::function<void(MemoryPage)> listener) { readListener_ = std::move(listener); }

    // Asked after every successful probe with its five identifier bytes;
    // false refuses the operation before its chip job starts.
    using SocketCheck = std::function<bool(const uint8_t* probeId)>;
    void setSocketCheck(SocketCheck check) { socketCheck_ = std::move(check); }

private:
    // The record check and the probe; false (Refused) when either refuses.
    bool start(bool willErase);
    // The empty test of the page's buffer, with its message.
    bool refuseEmpty(MemoryPage page);
    Outcome logWhenDone(Outcome outcome, Msg line);
    Outcome autoBody(const AutoOptions& options);
    Outcome stopAuto(AutoStep step, Outcome why);

    ProgramState& state_;
    OperationFrame frame_;
    MemoryLoops loops_;
    std::function<void(MemoryPage)> readListener_;
    SocketCheck socketCheck_;
    Outcome outcome_ = Outcome::Done;
};
