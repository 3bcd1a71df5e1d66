#include "operations/ChipOperations.h"

#include "app/UserInterface.h"
#include "buffers/Buffers.h"
#include "buffers/SerialNumber.h"
#include "chipdb/ChipEntry.h"
#include "chipdb/ChipKey.h"
#include "chipdb/ChipSelection.h"
#include "device/BlockProtection.h"
#include "device/Programmer.h"
#include "fuses/FuseState.h"
#include "operations/ChipRecordCheck.h"
#include "operations/EraseProcedure.h"
#include "operations/FuseJobs.h"
#include "operations/SignatureCheck.h"
#include "operations/SocketIdentity.h"
#include "operations/Unprotect.h"

#include <QElapsedTimer>

namespace {

// The pause that lets the chip settle between writing and verifying.
constexpr int kSettleBeforeVerifyMs = 350;

} // namespace

ChipOperations::ChipOperations(ChipSelection& selection, Buffers& buffers, Programmer& programmer,
                               SerialNumber& serial, FuseState& fuses, UserInterface& ui)
    : selection_(selection), buffers_(buffers), programmer_(programmer), serial_(serial), fuses_(fuses), ui_(ui),
      frame_(programmer, ui), loops_(programmer, ui)
{
}

std::vector<AutoStep> autoStepsOf(const AutoOptions& o)
{
    const std::pair<bool, AutoStep> order[] = {
        {o.unprotect, AutoStep::Unprotect},       {o.checkId, AutoStep::Detection},
        {o.serialNumber, AutoStep::WriteSerial},  {o.erase, AutoStep::Erase},
        {o.writeFlash, AutoStep::WriteFlash},     {o.writeEeprom, AutoStep::WriteEeprom},
        {o.verifyFlash, AutoStep::VerifyFlash},   {o.verifyEeprom, AutoStep::VerifyEeprom},
        {o.fuses, AutoStep::Fuses},
    };
    std::vector<AutoStep> steps;
    for (const auto& [on, step] : order)
        if (on)
            steps.push_back(step);
    return steps;
}

bool ChipOperations::start(bool willErase, uint8_t* id)
{
    outcome_ = Outcome::Refused;
    // The probe's bytes are wanted here whether or not the caller keeps them.
    uint8_t scratch[5] = {};
    uint8_t* const probeId = id ? id : scratch;
    return checkChipRecord(selection_.currentChip(), willErase, ui_) && frame_.probe(probeId)
           && confirmSocketIdentity(probeId, selection_.currentChip(), ui_);
}

Outcome ChipOperations::runJob(const std::function<Outcome()>& body, std::optional<Msg> completionLine)
{
    return frame_.runJob(
        [&] {
            const Outcome identity = confirmSocketSignature(programmer_, ui_, selection_.currentChip());
            return identity == Outcome::Done ? body() : identity;
        },
        completionLine);
}

bool ChipOperations::refuseEmpty(MemoryPage page)
{
    const Buffers& b = buffers_;
    if ((page == MemoryPage::Flash && b.flashLength() == 0) || (page == MemoryPage::Eeprom && b.eepromLength() == 0)) {
        ui_.showError(ui_.message(Msg::BufferEmpty));
        return true;
    }
    return false;
}

bool ChipOperations::refuseLargerThanChip(MemoryPage page)
{
    const ChipEntry& chip = selection_.currentChip();
    const Buffers& b = buffers_;
    const bool flash = page == MemoryPage::Flash;
    const qint64 length = flash ? b.flashLength() : b.eepromLength();
    const qint64 size = flash ? qint64(chip.flashBytes()) : qint64(chip.eepromBytes());
    if (page == MemoryPage::Other || length <= size)
        return false;
    ui_.showError(ui_.message(Msg::DataLargerThanChip).arg(length).arg(size));
    return true;
}

Outcome ChipOperations::logWhenDone(Outcome outcome, Msg line)
{
    if (outcome == Outcome::Done)
        ui_.log(ui_.message(line));
    return outcome;
}

void ChipOperations::readChip(MemoryPage page)
{
    readChecked(page, 1);
}

void ChipOperations::readChecked(MemoryPage page, int reads)
{
    const bool checked = reads > 1;
    if (checked)
        compareDone_ = false;
    if (!start(false))
        return;
    outcome_ = runJob(
        [&] {
            if (page == MemoryPage::Other)
                return Outcome::Done;
            const ChipEntry& chip = selection_.currentChip();
            const Outcome r = checked ? loops_.readAgreeing(chip, page, buffers_, reads, compare_)
                                      : loops_.read(chip, page, buffers_);
            if (checked)
                compareDone_ = r == Outcome::Done || r == Outcome::Declined;
            if (checked && r == Outcome::Declined) {
                UserInterface& ui = ui_;
                ui.showError(unstableReadLines(compare_, reads, ui.languageIndex()).join(QLatin1Char('\n')));
            }
            if (r == Outcome::Done && readListener_)
                readListener_(page);
            return r;
        },
        Msg::ReadComplete);
}

void ChipOperations::blankCheck()
{
    if (!start(false))
        return;
    outcome_ = runJob([&] { return logWhenDone(loops_.blank(selection_.currentChip()), Msg::BankComplete); },
                      std::nullopt);
}

void ChipOperations::eraseChip()
{
    if (!start(true))
        return;
    outcome_ = runJob(
        [&] { return eraseChipMemory(programmer_, ui_, selection_.currentChip()); }, Msg::EraseComplete);
}

void ChipOperations::writeChip(MemoryPage page, WriteOptions options)
{
    const bool other = page == MemoryPage::Other;
    if (!start(options.eraseFirst && !other))
        return;
    buffers_.takeFlashViewEdits(selection_.currentChip());
    if (refuseEmpty(page))
        return;
    // No write loop on another page, so nothing to report as written.
    outcome_ = runJob(
        [&] {
            if (other)
                return Outcome::Done;
            if (options.eraseFirst) {
                if (const Outcome r = eraseChipMemory(programmer_, ui_, selection_.currentChip());
                    r != Outcome::Done)
                    return r;
            }
            const Outcome written = loops_.write(selection_.currentChip(), page, buffers_);
            if (written != Outcome::Done || !options.verifyAfter)
                return written;
            return logWhenDone(verifyWritten(page), Msg::VerifyComplete);
        },
        other ? std::nullopt : std::optional(Msg::WriteComplete));
}

Outcome ChipOperations::verifyWritten(MemoryPage page)
{
    compareDone_ = false;
    const Outcome r = loops_.compare(selection_.currentChip(), page, buffers_, compare_);
    compareDone_ = r == Outcome::Done || r == Outcome::Declined;
    if (r != Outcome::Declined)
        return r;
    UserInterface& ui = ui_;
    const qint64 first = compare_.listedRanges().front().start;
    QStringList lines{ui.message(Msg::FlashCheckErrorAddress) + QString::asprintf("%llXh", qulonglong(first))};
    lines << compareDiagnosis(compare_, ui.languageIndex());
    ui.showError(lines.join(QLatin1Char('\n')));
    return Outcome::Declined;
}

void ChipOperations::verifyChip(MemoryPage page)
{
    if (!start(false) || refuseEmpty(page) || refuseLargerThanChip(page))
        return;
    outcome_ = runJob(
        [&] {
            if (page == MemoryPage::Other)
                return Outcome::Done;
            return logWhenDone(loops_.verify(selection_.currentChip(), page, buffers_), Msg::VerifyComplete);
        },
        std::nullopt);
}

void ChipOperations::detectChip()
{
    outcome_ = Outcome::Refused;
    uint8_t id[5] = {};
    if (!frame_.probe(id))
        return;
    const bool found = selection_.selectById(id[1], id[2], id[3], id[0] - 1, id[4]);
    outcome_ = found ? Outcome::Done : Outcome::Declined;
}

void ChipOperations::compareChip(MemoryPage page)
{
    compareDone_ = false;
    outcome_ = Outcome::Refused;
    if (page == MemoryPage::Other || !start(false) || refuseEmpty(page) || refuseLargerThanChip(page))
        return;
    outcome_ = runJob(
        [&] {
            const Outcome r = loops_.compare(selection_.currentChip(), page, buffers_, compare_);
            compareDone_ = r == Outcome::Done || r == Outcome::Declined;
            if (compareDone_)
                ui_.log(compareSummaryLine(compare_, ui_.languageIndex()));
            return r;
        },
        std::nullopt);
}

bool ChipOperations::refuseUnprotect()
{
    if (unlockMethodFor(selection_.currentChip()) != UnlockMethod::None)
        return false;
    ui_.showError(ui_.message(Msg::UnprotectSpiFlashOnly));
    return true;
}

void ChipOperations::unprotectChip()
{
    outcome_ = Outcome::Refused;
    if (refuseUnprotect() || !start(false))
        return;
    outcome_ = runJob(
        [&] { return clearBlockProtection(programmer_, ui_, selection_.currentChip()); },
        Msg::UnprotectComplete);
}

void ChipOperations::runAuto(const AutoOptions& options)
{
    autoReachedChip_ = false;
    autoStoppedAt_.reset();
    serialWritten_.reset();
    flashCrcWritten_.reset();
    outcome_ = Outcome::Refused;
    UserInterface& ui = ui_;
    // Steps that cannot run as asked are refused before anything is sent: a
    // run that stopped half way would leave an erased or half-written chip.
    if (options.serialNumber && !serialNumberFits(serial_, selection_.currentChip())) {
        ui.showError(ui.message(Msg::SerialNumberOutsideChip));
        return;
    }
    if (options.fuses && !isMicrocontroller(selection_.currentChip())) {
        ui.showError(ui.message(Msg::NoFuseBytes));
        return;
    }
    if (options.fuses && !fuses_.descriptionLoaded()) {
        ui.showError(ui.message(Msg::FuseStepWithoutDescription));
        return;
    }
    // A chip whose run cannot be logged must not be programmed at all.
    struct CloseAfterRun {
        ProductionLog& log;
        ~CloseAfterRun() { log.close(); }
    } closeAfterRun{productionLog_};
    if (productionLog_.enabled()) {
        QString reason;
        if (!productionLog_.open(&reason)) {
            ui.showError(ui.message(Msg::ProductionLogFailed) + productionLog_.path() + QLatin1Char('\n') + reason);
            return;
        }
    }
    uint8_t id[5] = {};
    if ((options.unprotect && refuseUnprotect()) || !start(options.erase, id))
        return;
    buffers_.takeFlashViewEdits(selection_.currentChip());
    // Only the Flash buffer counts here, whatever page is active; steps that
    // send no data (unprotect, identify, erase, fuses) need none.
    const bool sendsData = options.writeFlash || options.verifyFlash || options.serialNumber || options.writeEeprom
                           || options.verifyEeprom;
    if (sendsData && refuseEmpty(MemoryPage::Flash))
        return;
    const QDateTime started = QDateTime::currentDateTime();
    QElapsedTimer clock;
    clock.start();
    outcome_ = frame_.runJob(
        [&] {
            autoReachedChip_ = true;
            const Outcome identity = confirmSocketSignature(programmer_, ui, selection_.currentChip());
            if (identity != Outcome::Done)
                return stopAuto(AutoStep::Detection, identity);
            return autoBody(options);
        },
        std::nullopt);
    // Every step ran, but the programmer never took the job's end.
    if (autoReachedChip_ && outcome_ != Outcome::Done && !autoStoppedAt_)
        stopAuto(AutoStep::Finish, outcome_);
    if (autoReachedChip_ && productionLog_.enabled())
        logProductionRow(options, id, started, clock.elapsed());
    // One result line per run: the step it stopped at, or that what it
    // verified passed, once every step and the job's end went through.
    if (outcome_ == Outcome::Done && (options.verifyFlash || options.verifyEeprom))
        ui.log(ui.message(Msg::AutoComplete));
}

void ChipOperations::logProductionRow(const AutoOptions& options, const uint8_t* id, const QDateTime& started,
                                      qint64 elapsedMs)
{
    UserInterface& ui = ui_;
    const ChipNames names = chipNames(selection_.currentChip().keyText());
    ProductionRecord record;
    record.started = started;
    record.manufacturer = QString::fromUtf8(names.manufacturer);
    record.model = QString::fromUtf8(names.model);
    record.chipAnswer = QString::asprintf("0x%02X%02X%02X", id[1], id[2], id[3]);
    record.serial = serialWritten_;
    // The steps run in their order until the one the run stopped at; a stop
    // at the socket's signature check before them names that check alone.
    const std::vector<AutoStep> ticked = autoStepsOf(options);
    if (autoStoppedAt_ && *autoStoppedAt_ != AutoStep::Finish
        && std::find(ticked.begin(), ticked.end(), *autoStoppedAt_) == ticked.end()) {
        record.steps = {*autoStoppedAt_};
    } else {
        for (const AutoStep step : ticked) {
            record.steps.push_back(step);
            if (step == autoStoppedAt_)
                break;
        }
    }
    record.failedStep = autoStoppedAt_;
    record.languageIndex = ui.languageIndex();
    record.elapsedMs = elapsedMs;
    record.flashCrc = flashCrcWritten_;
    QString reason;
    if (!productionLog_.append(record, &reason)) {
        // A chip nobody can account for is not a passed chip.
        ui.showError(ui.message(Msg::ProductionLogFailed) + productionLog_.path() + QLatin1Char('\n') + reason);
        outcome_ = Outcome::Failed;
    }
}

Outcome ChipOperations::stopAuto(AutoStep step, Outcome why)
{
    autoStoppedAt_ = step;
    UserInterface& ui = ui_;
    ui.log(ui.message(Msg::AutoStoppedAt) + autoStepCaption(step, ui.languageIndex()));
    return why;
}

Outcome ChipOperations::autoBody(const AutoOptions& o)
{
    UserInterface& ui = ui_;
    Programmer& programmer = programmer_;
    const ChipEntry& chip = selection_.currentChip();
    Buffers& buffers = buffers_;

    if (o.unprotect) {
        if (const Outcome r = clearBlockProtection(programmer, ui, chip); r != Outcome::Done)
            return stopAuto(AutoStep::Unprotect, r);
    }
    if (o.checkId) {
        if (const Outcome r = checkSignature(programmer, ui, chip); r != Outcome::Done)
            return stopAuto(AutoStep::Detection, r);
    }
    std::optional<int32_t> serial;
    if (o.serialNumber) {
        serial = serial_.value;
        if (!ApplySerialNumber(serial_, buffers, chip, ui))
            return stopAuto(AutoStep::WriteSerial, Outcome::Refused);
    }
    // An erase the chip did not take (still busy, not blank) stops the run
    // as a dead link does.
    if (o.erase) {
        if (const Outcome r = eraseChipMemory(programmer, ui, chip); r != Outcome::Done)
            return stopAuto(AutoStep::Erase, r);
    }
    if (o.writeFlash) {
        if (const Outcome r = loops_.write(chip, MemoryPage::Flash, buffers); r != Outcome::Done)
            return stopAuto(AutoStep::WriteFlash, r);
        // The number counts as written once the data holding it went out.
        serialWritten_ = serial;
        // The write left the data length at whole pages; the chip took no more than its size.
        const qint64 written = std::min<qint64>(buffers.flashLength(), chip.flashBytes());
        flashCrcWritten_ = crc32Of(buffers.flashArea().bytes(0, written), written);
    }
    if (o.writeEeprom) {
        if (const Outcome r = loops_.write(chip, MemoryPage::Eeprom, buffers); r != Outcome::Done)
            return stopAuto(AutoStep::WriteEeprom, r);
    }
    if (o.verifyFlash) {
        ui.pause(kSettleBeforeVerifyMs);
        if (const Outcome r = loops_.verify(chip, MemoryPage::Flash, buffers); r != Outcome::Done)
            return stopAuto(AutoStep::VerifyFlash, r);
    }
    if (o.verifyEeprom) {
        ui.pause(kSettleBeforeVerifyMs);
        if (const Outcome r = loops_.verify(chip, MemoryPage::Eeprom, buffers); r != Outcome::Done)
            return stopAuto(AutoStep::VerifyEeprom, r);
    }
    if (o.fuses) {
        for (const bool lock : {false, true}) {
            if (!(lock ? o.lockEnable : o.fuseEnable))
                continue;
            QString notTaken;
            switch (WriteConfigChecked(programmer, fuses_, ui, lock, notTaken)) {
            case ConfigWrite::Done:
                break;
            case ConfigWrite::TransferFailed:
                return stopAuto(AutoStep::Fuses, reportTransferFailure(ui, programmer));
            case ConfigWrite::NotTaken:
                ui.showError(notTaken);
                return stopAuto(AutoStep::Fuses, Outcome::Declined);
            }
        }
    }
    return Outcome::Done;
}
