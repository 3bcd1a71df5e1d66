#include "operations/FuseJobs.h"

#include "app/UserInterface.h"
#include "chipdb/ChipEntry.h"
#include "device/Programmer.h"
#include "fuses/FuseState.h"
#include "operations/OperationFrame.h"
#include "operations/SocketIdentity.h"

#include <QElapsedTimer>
#include <QStringList>

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

FuseJobResult RunFuseJob(const FuseJobParts& parts, FuseJob job)
{
    return RunFuseJobs(parts, {job});
}

FuseJobResult RunFuseJobs(const FuseJobParts& parts, std::initializer_list<FuseJob> jobs, const FuseEdit& edit)
{
    Programmer& programmer = parts.programmer;
    UserInterface& ui = parts.ui;
    const ChipEntry& chip = parts.chip;
    FuseState& fuses = parts.fuses;
    // Bytes of no description, or for a chip without any, are no chip's.
    if (!isMicrocontroller(chip) || !fuses.descriptionLoaded()) {
        ui.showError(ui.message(isMicrocontroller(chip) ? Msg::FuseStepWithoutDescription : Msg::NoFuseBytes));
        return FuseJobResult::Refused;
    }
    FuseJobResult result = FuseJobResult::NoChip;
    if (programmer.setupChip() == 1) {
        QElapsedTimer clock;
        clock.start();
        switch (confirmSocketSignature(programmer, ui, chip)) {
        case Outcome::Done:
            result = FuseJobResult::Done;
            break;
        case Outcome::Declined:
            result = FuseJobResult::Declined;
            break;
        default:
            result = FuseJobResult::Failed;  // its message was shown
            break;
        }
        QStringList lines;
        bool edited = !edit;
        bool transferFailed = false;
        for (const FuseJob job : jobs) {
            if (result != FuseJobResult::Done || transferFailed)
                break;
            if (!edited && (job == FuseJob::WriteFuses || job == FuseJob::WriteLock)) {
                edit(fuses);
                edited = true;
            }
            if (transfer(programmer, fuses, job))
                lines << completionLine(ui, job);
            else
                transferFailed = true;
        }
        if (result == FuseJobResult::Done && !transferFailed) {
            ui.setElapsed(formatElapsed(clock.elapsed()));
            ui.beep();
        }
        // What was done is logged even when a later job failed.
        for (const QString& line : lines)
            ui.log(line);
        if (transferFailed) {
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
