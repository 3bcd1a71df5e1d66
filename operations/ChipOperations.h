#pragma once
// The chip operations the user starts, each in the operation frame: probe,
// preconditions, controls locked, set-up, timed body, beep, log line, finish.

#include "buffers/DataFile.h"
#include "buffers/MemoryPage.h"
#include "operations/AutoStep.h"
#include "operations/CompareReport.h"
#include "operations/MemoryLoops.h"
#include "operations/OperationFrame.h"
#include "operations/Outcome.h"
#include "operations/ProductionLog.h"

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class Buffers;
class ChipSelection;
class FuseState;
class Programmer;
class UserInterface;
struct SerialNumber;

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
    bool unprotect = false;     // first of all; the terminal's --unprotect
};

// The steps the options run, in the order they run.
std::vector<AutoStep> autoStepsOf(const AutoOptions& options);

// The write that keeps every byte of the chip its data do not cover.
struct PreserveRequest {
    QByteArray data;                       // the file's bytes
    DataFormat format = DataFormat::ByName; // how to read them (ByName: as Open reads `name`)
    QString name;                          // the file's name, for its format and the log
    qint64 address = 0;                    // raw data start here; HEX and S-record addresses count from here
    QString backupPath;                    // the chip's contents go here before anything is erased
    bool keepBackup = true;                // false: removed again once the new image verified
};

// What a write does around its write loop (the terminal's write; the
// window's Write is the write loop alone).
struct WriteOptions {
    bool eraseFirst = false;   // the erase procedure before the data
    bool verifyAfter = false;  // the written range read back and compared
};

class ChipOperations {
public:
    // The operations act on the selection's current chip; detection moves it.
    ChipOperations(ChipSelection& selection, Buffers& buffers, Programmer& programmer, SerialNumber& serial,
                   FuseState& fuses, UserInterface& ui);

    void readChip(MemoryPage page);           // ToolReadClick
    // Reads the chip `reads` times in one job (readChip: once): reads that
    // agree are taken in as a read is; reads that differ leave the buffer
    // alone, and are shown by their differing ranges (lastCompare()) with the
    // hint about the clip or socket; the outcome is then Declined.
    void readChecked(MemoryPage page, int reads);
    void blankCheck();                        // ToolBankClick
    void eraseChip();                         // ToolEraseClick
    // ToolWriteClick. With verifyAfter, a chip that did not take the data
    // fails with the compare's diagnosis (and no completion line).
    void writeChip(MemoryPage page, WriteOptions options = {});
    void verifyChip(MemoryPage page);         // ToolVerifyClick
    // Reads the Flash, saves it to the backup file, lays the data over it,
    // erases, writes the whole image and verifies it, saying each step. The
    // data are checked against the chip's size before anything is sent; a
    // failure on the way says what the chip holds now and where its earlier
    // contents are.
    void writePreserving(const PreserveRequest& request);
    void detectChip();                        // BtnCheckClick
    void runAuto(const AutoOptions& options); // ToolAutoClick
    // The whole verify range against the buffer, into lastCompare(); Declined
    // when anything differs. Nothing on another page. Like the verify, it
    // refuses data larger than the chip: the chip cannot equal them.
    void compareChip(MemoryPage page);
    // Clears an SPI flash's block protection.
    void unprotectChip();

    Outcome lastOutcome() const { return outcome_; }
    // The first byte other than 0xFF that the last blank check found.
    std::optional<qint64> lastUsedAddress() const { return loops_.firstUsed(); }
    // The report of the last compare that read to its end, or null.
    const CompareReport* lastCompare() const { return compareDone_ ? &compare_ : nullptr; }
    // Whether the last auto run got as far as the chip job (and so into the
    // production log and the batch count).
    bool lastAutoReachedChip() const { return autoReachedChip_; }

    // Every auto run that reaches the chip appends a row there; empty: none.
    // The file is opened before the run: one that cannot be opened refuses it.
    void setProductionLogPath(const QString& path) { productionLog_.setPath(path); }
    const QString& productionLogPath() const { return productionLog_.path(); }

    // Told after a read filled a buffer (view already reloaded), so the
    // window can rewrite the size caption (blue) and, for the Flash, the gauge.
    void setReadListener(std::function<void(MemoryPage)> listener) { readListener_ = std::move(listener); }

private:
    // The record check, the probe and the socket's identity; false (Refused)
    // when one of them refuses.
    bool start(bool willErase, uint8_t* id = nullptr);
    // The frame's job with the socket's signature compared first (a
    // microcontroller's); a difference the user declines ends it Declined.
    Outcome runJob(const std::function<Outcome()>& body, std::optional<Msg> completionLine);
    // The empty test of the page's buffer, with its message.
    bool refuseEmpty(MemoryPage page);
    // Data the chip cannot hold cannot verify, with its message.
    bool refuseLargerThanChip(MemoryPage page);
    // The written range against the buffer; on a difference the first
    // differing address and the diagnosis in one message.
    Outcome verifyWritten(MemoryPage page);
    Outcome logWhenDone(Outcome outcome, Msg line);
    Outcome autoBody(const AutoOptions& options);
    Outcome preserveBody(const PreserveRequest& request, qint64 first, qint64 last);
    Outcome stopAuto(AutoStep step, Outcome why);
    bool refuseUnprotect();
    void logProductionRow(const AutoOptions& options, const uint8_t* id, const QDateTime& started, qint64 elapsedMs);

    ChipSelection& selection_;
    Buffers& buffers_;
    Programmer& programmer_;
    SerialNumber& serial_;
    FuseState& fuses_;
    UserInterface& ui_;
    OperationFrame frame_;
    MemoryLoops loops_;
    std::function<void(MemoryPage)> readListener_;
    Outcome outcome_ = Outcome::Done;
    CompareReport compare_;
    bool compareDone_ = false;
    ProductionLog productionLog_;
    bool autoReachedChip_ = false;
    // What the auto run did, for its production-log row.
    std::optional<AutoStep> autoStoppedAt_;
    std::optional<int32_t> serialWritten_;
    std::optional<uint32_t> flashCrcWritten_;
};
