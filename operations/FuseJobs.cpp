#include "operations/FuseJobs.h"

#include "app/UserInterface.h"
#include "chipdb/ChipEntry.h"
#include "device/Programmer.h"
#include "fuses/FuseState.h"
#include "operations/OperationFrame.h"
#include "operations/SocketIdentity.h"

#include <QElapsedTimer>

#include <array>
#include <QStringList>

namespace {

ConfigWrite transfer(Programmer& programmer, FuseState& fuses, const UserInterface& ui, FuseJob job, QString& notTaken)
{
    switch (job) {
    case FuseJob::ReadFuses:
        if (!programmer.readConfig(fuses.fuseByteCount(), fuses.currentBytes()))
            return ConfigWrite::TransferFailed;
        fuses.fuseBytesRead();
        return ConfigWrite::Done;
    case FuseJob::WriteFuses:
        return WriteConfigChecked(programmer, fuses, ui, false, notTaken);
    case FuseJob::ReadLock: {
        uint8_t lock = 0;
        if (!programmer.readConfig(1, &lock))
            return ConfigWrite::TransferFailed;
        fuses.currentBytes()[fuses.lockIndex()] = lock;
        fuses.lockByteRead();
        return ConfigWrite::Done;
    }
    case FuseJob::WriteLock:
        return WriteConfigChecked(programmer, fuses, ui, true, notTaken);
    }
    return ConfigWrite::TransferFailed;
}

// The bits of byte `index` that the description's settings name.
uint8_t namedBits(const FuseState& fuses, int index)
{
    uint8_t mask = 0;
    for (const FuseSetting& s : fuses.settings())
        if (s.byteIndex == index)
            mask |= s.mask;
    return mask != 0 ? mask : 0xFF;
}

QString hexBytes(const uint8_t* bytes, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts << QString::asprintf("0x%02X", bytes[i]);
    return parts.join(QLatin1Char(' '));
}

QString completionLine(UserInterface& ui, FuseJob job)
{
    const bool fuse = job == FuseJob::ReadFuses || job == FuseJob::WriteFuses;
    const bool read = job == FuseJob::ReadFuses || job == FuseJob::ReadLock;
    return QLatin1String(fuse ? "FUSE" : "LOCK") + ui.message(read ? Msg::ReadComplete : Msg::WriteComplete);
}

} // namespace

ConfigWrite WriteConfigChecked(Programmer& programmer, const FuseState& fuses, const UserInterface& ui, bool lock,
                               QString& notTaken)
{
    const int count = lock ? 1 : fuses.fuseByteCount();
    const int first = lock ? fuses.lockIndex() : 0;
    const uint8_t* written = fuses.currentBytes() + first;
    if (!(lock ? programmer.writeLock(*written) : programmer.writeFuses(written, count)))
        return ConfigWrite::TransferFailed;
    std::array<uint8_t, FuseState::kMaxBytes> readBack{};
    if (!programmer.readConfig(count, readBack.data()))
        return ConfigWrite::TransferFailed;
    for (int i = 0; i < count; ++i) {
        const uint8_t mask = namedBits(fuses, first + i);
        if ((written[i] & mask) != (readBack[static_cast<std::size_t>(i)] & mask)) {
            notTaken = ui.message(Msg::ConfigNotTaken)
                             .arg(QLatin1String(lock ? "LOCK" : "FUSE"), hexBytes(written, count),
                                  hexBytes(readBack.data(), count));
            return ConfigWrite::NotTaken;
        }
    }
    return ConfigWrite::Done;
}

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
        ConfigWrite failure = ConfigWrite::Done;
        QString notTaken;
        for (const FuseJob job : jobs) {
            if (result != FuseJobResult::Done || failure != ConfigWrite::Done)
                break;
            if (!edited && (job == FuseJob::WriteFuses || job == FuseJob::WriteLock)) {
                edit(fuses);
                edited = true;
            }
            failure = transfer(programmer, fuses, ui, job, notTaken);
            if (failure == ConfigWrite::Done)
                lines << completionLine(ui, job);
        }
        if (result == FuseJobResult::Done && failure == ConfigWrite::Done) {
            ui.setElapsed(formatElapsed(clock.elapsed()));
            ui.beep();
        }
        // What was done is logged even when a later job failed.
        for (const QString& line : lines)
            ui.log(line);
        if (failure != ConfigWrite::Done) {
            ui.showError(failure == ConfigWrite::NotTaken ? notTaken : programmer.failureText(Msg::TransferFailed));
            result = FuseJobResult::Failed;
        }
    }
    if (!programmer.finishChip() && result == FuseJobResult::Done) {
        ui.showError(programmer.failureText(Msg::TransferFailed));
        result = FuseJobResult::Failed;
    }
    return result;
}
