#include "operations/BatchProgrammer.h"

#include "app/UserInterface.h"
#include "buffers/Buffers.h"
#include "chipdb/ChipSelection.h"
#include "device/Programmer.h"

BatchProgrammer::BatchProgrammer(const ChipSelection& selection, Buffers& buffers, Programmer& programmer,
                                 UserInterface& ui, ChipOperations& operations, BatchHost& host)
    : selection_(selection), buffers_(buffers), programmer_(programmer), ui_(ui), operations_(operations), host_(host)
{
}

QString BatchProgrammer::caption() const
{
    return ui_.message(on_ ? Msg::StopBatchWrite : Msg::BatchWrite);
}

void BatchProgrammer::switchOff()
{
    on_ = false;
    host_.setWatchTimerRunning(false);
    host_.showBatchMode(false, caption());
}

void BatchProgrammer::toggle()
{
    if (on_) {
        switchOff();
        return;
    }
    UserInterface& ui = ui_;
    Buffers& buffers = buffers_;
    buffers.takeFlashViewEdits(selection_.currentChip());
    const MemoryPage page = host_.activePage();
    if ((page == MemoryPage::Flash && buffers.flashLength() == 0)
        || (page == MemoryPage::Eeprom && buffers.eepromLength() == 0)) {
        ui.showError(ui.message(Msg::BufferEmpty));
        return;
    }
    on_ = true;
    tally_.restart();
    host_.showBatchMode(true, caption());
    host_.setWatchTimerRunning(true);
    chipHandled_ = false;
    ui.log(ui.message(Msg::WaitingForChip));
}

void BatchProgrammer::tick()
{
    // A tick queued before the timer stopped, or after the batch ended.
    if (!on_ || running_)
        return;
    UserInterface& ui = ui_;
    Programmer& programmer = programmer_;
    uint8_t id[5] = {};
    if (programmer.probeChip(id) > 0) {
        if (chipHandled_) {
            programmer.setCompletionIndicator(2);
            return;
        }
        ui.log(ui.message(Msg::ChipDetected));
        host_.setWatchTimerRunning(false);
        chipHandled_ = true;
        running_ = true;
        operations_.runAuto(host_.autoOptions());
        running_ = false;
        if (operations_.lastAutoReachedChip())
            tally_.count(operations_.lastOutcome() == Outcome::Done);
        // Stopping the chip's sequence stops the batch with it.
        if (operations_.lastOutcome() == Outcome::Stopped)
            switchOff();
        ui.log(ui.message(Msg::RemoveChip));
        // Batch mode may have been switched off while the sequence ran.
        if (on_)
            host_.setWatchTimerRunning(true);
        return;
    }
    if (chipHandled_) {
        ui.log(ui.message(Msg::PlaceChip));
        programmer.setCompletionIndicator(0);
    }
    chipHandled_ = false;
}
