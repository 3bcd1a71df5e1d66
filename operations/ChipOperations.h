#pragma once
// The chip operations the user starts, each in the operation frame: probe,
// preconditions, controls locked, set-up, timed body, beep, log line, finish.

#include "buffers/MemoryPage.h"

#include <cstdint>

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

// How the last operation ended.
enum class Outcome {
    Done,      // the body ran to its end
    Refused,   // stopped before the chip job (no programmer, no chip, empty buffer, unusable record)
    Declined,  // the user answered No, or a check found a difference (verify, blank, signature)
    Failed,    // a transfer failed
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

private:
    ProgramState& state_;
    Outcome outcome_ = Outcome::Done;
};
