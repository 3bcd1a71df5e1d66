#pragma once
// Batch programming: a start/stop switch and a socket watch that runs the
// auto sequence once for every chip placed, and asks for the next one when
// the programmed chip is taken out.

#include "buffers/MemoryPage.h"
#include "operations/BatchTally.h"
#include "operations/ChipOperations.h"

#include <QString>

class Buffers;
class ChipSelection;
class Programmer;
class UserInterface;

// What the batch needs of the window.
class BatchHost {
public:
    virtual ~BatchHost() = default;
    // Which buffer the active page stands for (the empty test at start).
    virtual MemoryPage activePage() const = 0;
    // The ticked and enabled auto options at the moment a chip is detected.
    virtual AutoOptions autoOptions() const = 0;
    // Starts or stops the 500 ms watch timer (Timer1). It is stopped while a
    // sequence runs, since the sequence pumps events and the tick would
    // otherwise run again inside it.
    virtual void setWatchTimerRunning(bool running) = 0;
    // The batch panel raised (on) or flat (off), with its caption.
    virtual void showBatchMode(bool on, const QString& caption) = 0;
};

class BatchProgrammer {
public:
    static constexpr int kWatchIntervalMs = 500;

    BatchProgrammer(const ChipSelection& selection, Buffers& buffers, Programmer& programmer, UserInterface& ui,
                    ChipOperations& operations, BatchHost& host);

    // Panel8Click: on when off (data in the active page's buffer), off when on.
    void toggle();
    // Timer1Timer: one look at the socket.
    void tick();

    bool isOn() const { return on_; }
    bool chipHandled() const { return chipHandled_; }
    bool sequenceRunning() const { return running_; }
    // "Batch write " or "Stop batch write " in the current language.
    QString caption() const;
    // Chips passed and failed since batch mode went on (runs that reached the chip).
    const BatchTally& tally() const { return tally_; }

private:
    void switchOff();

    const ChipSelection& selection_;
    Buffers& buffers_;
    Programmer& programmer_;
    UserInterface& ui_;
    ChipOperations& operations_;
    BatchHost& host_;
    bool on_ = false;
    bool chipHandled_ = false;
    bool running_ = false;
    BatchTally tally_;
};
