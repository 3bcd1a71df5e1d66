#include "operations/OperationFrame.h"

#include "app/UserInterface.h"
#include "device/Programmer.h"

#include <QElapsedTimer>

bool OperationFrame::probe(uint8_t* id)
{
    uint8_t scratch[5] = {};
    const int r = programmer_.probeChip(id ? id : scratch);
    if (r < 0) {
        ui_.showError(programmer_.failureText(Msg::NotConnected));
        return false;
    }
    if (r == 0) {
        ui_.showError(ui_.message(Msg::NoChipDetected));
        return false;
    }
    return true;
}

Outcome OperationFrame::runJob(const std::function<Outcome()>& body, std::optional<Msg> completionLine)
{
    ui_.setControlsEnabled(false);
    const int setup = programmer_.setupChip();
    Outcome outcome = Outcome::Refused;
    if (setup == 1) {
        QElapsedTimer clock;
        clock.start();
        outcome = body();
        ui_.setElapsed(formatElapsed(clock.elapsed()));
        ui_.beep();
        if (outcome == Outcome::Done && completionLine)
            ui_.log(ui_.message(*completionLine));
    }
    if (setup == 1 || setup == 2) {
        // The data moved, but a programmer that never took the job's end may
        // not have finished it either: that is no success.
        if (!programmer_.finishChip() && setup == 1 && outcome != Outcome::Failed)
            outcome = reportTransferFailure(ui_, programmer_);
    }
    ui_.setControlsEnabled(true);
    return outcome;
}

QString formatElapsed(qint64 milliseconds)
{
    const qint64 seconds = milliseconds < 0 ? 0 : milliseconds / 1000;
    return QString::asprintf("%02lld:%02lld:%02lld", seconds / 3600, (seconds / 60) % 60, seconds % 60);
}

Outcome reportTransferFailure(UserInterface& ui, const Programmer& programmer)
{
    ui.progressEnd();
    ui.showError(programmer.failureText(Msg::TransferFailed));
    return Outcome::Failed;
}

Outcome reportStopped(UserInterface& ui, std::optional<Msg> partly)
{
    ui.progressSet(0);
    ui.progressEnd();
    if (partly) {
        ui.log(ui.message(*partly));
        ui.showError(ui.message(*partly));
    } else {
        ui.log(ui.message(Msg::StoppedByUser));
    }
    return Outcome::Stopped;
}
