#include "fuses/FuseJobs.h"

#include "app/ProgramState.h"
#include "app/UserInterface.h"
#include "operations/OperationFrame.h"

#include <QElapsedTimer>

namespace {

bool transfer(Programmer& programmer, FuseState& fuses, FuseJob job)
{
    switch (job) {
    case FuseJob::ReadFuses:
        if (!programmer.readConfig(fuses.fuseByteCount(), fuses.currentBytes()))
            return false;
        fuses.fuseBytesRead();
        return true;
    case FuseJob::WriteFuses:
        return programmer.writeFuses(fuses.currentBytes(), fuses.fuseByteCount());
    case FuseJob::ReadLock: {
        uint8_t lock = 0;
        if (!programmer.readConfig(1, &lock))
            return false;
        fuses.currentBytes()[fuses.lockIndex()] = lock;
        fuses.lockByteRead();
        return true;
    }
    case FuseJob::WriteLock:
        return programmer.writeLock(fuses.lockByte());
    }
    return false;
}

QString completionLine(UserInterface& ui, FuseJob job)
{
    const bool fuse = job == FuseJob::ReadFuses || job == FuseJob::WriteFuses;
    const bool read = job == FuseJob::ReadFuses || job == FuseJob::ReadLock;
    return QLatin1String(fuse ? "FUSE" : "LOCK") + ui.message(read ? Msg::ReadComplete : Msg::WriteComplete);
}

} // namespace

FuseJobResult RunFuseJob(ProgramState& state, FuseJob job)
{
    Programmer& programmer = state.programmer();
    UserInterface& ui = state.ui();
    FuseJobResult result = FuseJobResult::NoChip;
    if (programmer.setupChip() == 1) {
        QElapsedTimer clock;
        clock.start();
        if (transfer(programmer, state.fuses(), job)) {
            ui.setElapsed(formatElapsed(clock.elapsed()));
            ui.beep();
            ui.log(completionLine(ui, job));
            result = FuseJobResult::Done;
        } else {
            ui.showError(programmer.failureText(Msg::TransferFailed));
            result = FuseJobResult::Failed;
        }
    }
    if (!programmer.finishChip() && result == FuseJobResult::Done) {
        ui.showError(programmer.failureText(Msg::TransferFailed));
        result = FuseJobResult::Failed;
    }
    return result;
}
