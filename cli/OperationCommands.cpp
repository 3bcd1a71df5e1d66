#include "cli/CliSession.h"
#include "cli/CommandFiles.h"
#include "cli/Commands.h"
#include "cli/FileArgs.h"
#include "cli/JsonResults.h"

#include "app/FileWrite.h"
#include "app/IntegerText.h"
#include "chipdb/ChipKey.h"
#include "operations/ChipOperations.h"
#include "operations/Unprotect.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int kMostReads = 100;

MemoryPage pageOption(CliSession& s)
{
    return s.isSet(QStringLiteral("eeprom")) ? MemoryPage::Eeprom : MemoryPage::Flash;
}

// The window offers the EEPROM page only for a chip that has one.
bool chipHasMemory(CliSession& s, MemoryPage page)
{
    if (page != MemoryPage::Eeprom || s.state().currentChip().eepromBytes() != 0)
        return true;
    s.ui().showError(s.message(Msg::CliChipHasNoEeprom));
    return false;
}

int exitStatus(CliSession& s, const ChipOperations& ops)
{
    if (ops.lastOutcome() == Outcome::Done)
        return kExitOk;
    return s.stopRequested() ? kExitStopped : kExitFailed;
}

// How often read reads the chip: 1, or with --check two reads or --reads N.
std::optional<int> readsOption(CliSession& s)
{
    if (!s.isSet(QStringLiteral("reads")))
        return s.isSet(QStringLiteral("check")) ? 2 : 1;
    const auto reads = parseInteger(s.value(QStringLiteral("reads")));
    if (!reads || *reads < 2 || *reads > kMostReads) {
        s.usageError(QStringLiteral("--reads takes a number of reads, 2 to %1, not '%2'")
                         .arg(kMostReads)
                         .arg(s.value(QStringLiteral("reads"))));
        return std::nullopt;
    }
    return *reads;
}

// Up to 8 hexadecimal digits, "0x" allowed in front.
std::optional<int32_t> hexAddress(QString text)
{
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text = text.mid(2);
    if (text.isEmpty() || text.size() > 8 || !std::all_of(text.begin(), text.end(), isHexFieldKey)
        || text.contains(QChar(8)))
        return std::nullopt;
    return parseHexField(text);
}

struct AutoRun {
    AutoOptions options;
    SerialNumber serial;          // used with --sn only
    std::optional<uint8_t> lock;  // --lock: the fuse step writes the lock byte only when named
};

// The steps and their settings; nullopt after a usage error.
std::optional<AutoRun> parseAuto(CliSession& s)
{
    AutoRun run;
    AutoOptions& o = run.options;
    o.checkId = s.isSet(QStringLiteral("id"));
    o.erase = s.isSet(QStringLiteral("erase"));
    o.writeFlash = s.isSet(QStringLiteral("write-flash"));
    o.writeEeprom = s.isSet(QStringLiteral("write-eeprom"));
    o.verifyFlash = s.isSet(QStringLiteral("verify"));
    o.verifyEeprom = s.isSet(QStringLiteral("verify-eeprom"));
    o.fuses = s.isSet(QStringLiteral("fuse"));
    o.unprotect = s.isSet(QStringLiteral("unprotect"));
    o.serialNumber = s.isSet(QStringLiteral("sn"));
    const auto bad = [&](const char* option, const QString& why) {
        s.usageError(QStringLiteral("--%1 %2").arg(QLatin1String(option), why));
        return std::nullopt;
    };
    if (o.serialNumber) {
        const auto number = parseInteger(s.value(QStringLiteral("sn")));
        if (!number)
            return bad("sn", QStringLiteral("takes a number, not '%1'").arg(s.value(QStringLiteral("sn"))));
        run.serial.value = *number;
    }
    if (s.isSet(QStringLiteral("sn-addr"))) {
        const auto address = hexAddress(s.value(QStringLiteral("sn-addr")));
        if (!address)
            return bad("sn-addr", QStringLiteral("takes up to 8 hexadecimal digits, not '%1'")
                                      .arg(s.value(QStringLiteral("sn-addr"))));
        run.serial.address = *address;
    }
    if (s.isSet(QStringLiteral("sn-mode"))) {
        const QString v = s.value(QStringLiteral("sn-mode"));
        if (v == QLatin1String("inc")) run.serial.mode = SerialNumber::Mode::Increment;
        else if (v == QLatin1String("dec")) run.serial.mode = SerialNumber::Mode::Decrement;
        else if (v == QLatin1String("none")) run.serial.mode = SerialNumber::Mode::FillFile;
        else return bad("sn-mode", QStringLiteral("takes inc, dec or none, not '%1'").arg(v));
    }
    if (s.isSet(QStringLiteral("lock"))) {
        // Two values for the byte that can lock the chip for good: neither is taken.
        if (s.values(QStringLiteral("lock")).size() > 1)
            return bad("lock", QStringLiteral("is given more than once"));
        const auto number = parseInteger(s.value(QStringLiteral("lock")));
        if (!number || *number < 0 || *number > 0xFF)
            return bad("lock", QStringLiteral("takes a byte, not '%1'").arg(s.value(QStringLiteral("lock"))));
        run.lock = uint8_t(*number);
    }
    // The serial settings mean nothing without a number to write, a lock byte
    // nothing without the fuse step.
    if ((s.isSet(QStringLiteral("sn-addr")) || s.isSet(QStringLiteral("sn-mode"))) && !o.serialNumber)
        return bad("sn-addr/--sn-mode", QStringLiteral("go with --sn"));
    if (run.lock && !o.fuses)
        return bad("lock", QStringLiteral("goes with --fuse"));
    // A number goes into a chip only with the data that carry it; EEPROM
    // steps need EEPROM data, or they would pass having done nothing.
    if (o.serialNumber && !o.writeFlash)
        return bad("sn", QStringLiteral("goes with --write-flash"));
    if ((o.writeEeprom || o.verifyEeprom) && s.value(QStringLiteral("eeprom-file")).isEmpty())
        return bad("write-eeprom/--verify-eeprom", QStringLiteral("need the EEPROM data: --eeprom-file IN2"));
    if (!(o.unprotect || o.checkId || o.erase || o.writeFlash || o.writeEeprom || o.verifyFlash || o.verifyEeprom || o.fuses
          || o.serialNumber)) {
        s.usageError(s.message(Msg::CliAutoNeedsAStep)
                     + QStringLiteral("--unprotect, --id, --erase, --write-flash, --write-eeprom, --verify, --verify-eeprom, "
                                      "--fuse, --sn"));
        return std::nullopt;
    }
    run.options.lockEnable = run.lock.has_value();
    return run;
}

} // namespace

int withLoadedFile(CliSession& s, const QStringList& words,
                   const std::function<void(ChipOperations&, MemoryPage)>& operation)
{
    const MemoryPage page = pageOption(s);
    const auto format = formatOption(s, QStringLiteral("format"));
    if (!format)
        return kExitUsage;
    if (!chipHasMemory(s, page) || !loadInput(s, words[0], page, *format))
        return kExitFailed;
    ChipOperations ops = s.state().chipOperations();
    operation(ops, page);
    return exitStatus(s, ops);
}

int prepareRead(CliSession& s, const QStringList& words)
{
    if (!formatOption(s, QStringLiteral("format")) || !readsOption(s))
        return kExitUsage;
    // Standard output carries the data then.
    if (s.isSet(QStringLiteral("json")) && words[0] == QLatin1String("-"))
        return s.usageError(QStringLiteral("--json prints on standard output: OUT must be a file, not \"-\""));
    // Whether OUT can take the data is settled before the chip is touched.
    return checkOutput(s, words[0]) ? kExitOk : kExitFailed;
}

int prepareLoad(CliSession& s, const QStringList& words)
{
    if (!formatOption(s, QStringLiteral("format")))
        return kExitUsage;
    return checkInput(s, words[0]) ? kExitOk : kExitFailed;
}

int prepareWrite(CliSession& s, const QStringList& words)
{
    // The erase is the chip's, Flash and all: never a side effect of an EEPROM write.
    if (s.isSet(QStringLiteral("erase")) && s.isSet(QStringLiteral("eeprom")))
        return s.usageError(QStringLiteral("--erase erases the Flash; it does not go with --eeprom"));
    if (const int status = preparePreservingWrite(s, words); status != kExitOk)
        return status;
    return prepareLoad(s, words);
}

int prepareAuto(CliSession& s, const QStringList& words)
{
    const auto run = parseAuto(s);
    if (!run)
        return kExitUsage;
    // IN is what the Flash steps write and compare; other steps need none.
    if ((run->options.writeFlash || run->options.verifyFlash) && words.isEmpty())
        return s.usageError(QStringLiteral("auto: --write-flash and --verify need IN"));
    if (const int status = words.isEmpty() ? kExitOk : prepareLoad(s, words); status != kExitOk)
        return status;
    const QString eepromFile = s.value(QStringLiteral("eeprom-file"));
    if (!eepromFile.isEmpty() && !checkInput(s, eepromFile))
        return kExitFailed;
    // A run that cannot be logged is refused before even the socket is asked.
    if (const QString log = s.options().productionLog; !log.isEmpty()) {
        ProductionLog production;
        production.setPath(log);
        QString reason;
        // A trial open of a FIFO would end its reader's input before the row came.
        const bool writable = isSpecialFile(log) ? ::access(QFile::encodeName(log).constData(), W_OK) == 0
                                                 : production.open(&reason);
        if (!writable && reason.isEmpty())
            reason = QString::fromLocal8Bit(std::strerror(errno));
        if (!writable) {
            s.ui().showError(s.message(Msg::ProductionLogFailed) + log + QLatin1Char('\n') + reason);
            return kExitFailed;
        }
    }
    return kExitOk;
}

int cmdRead(CliSession& s, const QStringList& words)
{
    const QString& path = words[0];
    const MemoryPage page = pageOption(s);
    const DataFormat format = *formatOption(s, QStringLiteral("format"));
    const int reads = *readsOption(s);
    const bool json = s.isSet(QStringLiteral("json"));
    if (!chipHasMemory(s, page))
        return kExitFailed;
    ChipOperations ops = s.state().chipOperations();
    reads > 1 ? ops.readChecked(page, reads) : ops.readChip(page);
    if (ops.lastOutcome() != Outcome::Done) {
        // Reads that differ: where, for a script; nothing saved.
        if (const CompareReport* unstable = ops.lastCompare(); json && unstable && !unstable->equal()) {
            const QJsonObject found = compareJson(*unstable);
            printJson(s, QJsonObject{
                             {QStringLiteral("stable"), false},
                             {QStringLiteral("reads"), reads},
                             {QStringLiteral("bytes"), unstable->compared()},
                             {QStringLiteral("unstable_bytes"), unstable->differingBytes()},
                             {QStringLiteral("range_count"), found[QStringLiteral("range_count")]},
                             {QStringLiteral("ranges"), found[QStringLiteral("ranges")]},
                             {QStringLiteral("chip"), chipJson(s.state().currentChip())},
                         });
        }
        return exitStatus(s, ops);
    }
    // Ctrl+C after the last report still leaves no file.
    if (s.stopRequested()) {
        s.ui().showError(s.message(Msg::StoppedByUser));
        return kExitStopped;
    }
    const Buffers& b = s.state().buffers();
    const ChipEntry& chip = s.state().currentChip();
    const bool eeprom = page == MemoryPage::Eeprom;
    // --full: the chip-sized image; otherwise the data length (trailing 0xFF left out).
    const qint64 capacity = eeprom ? Buffers::kEepromCapacity : Buffers::kFlashCapacity;
    const qint64 length = s.isSet(QStringLiteral("full")) ? (eeprom ? chip.eepromBytes() : chip.flashBytes())
                                                         : (eeprom ? b.eepromLength() : b.flashLength());
    const qint64 count = std::clamp<qint64>(length, 0, capacity);
    const ErasedArea& area = eeprom ? b.eepromArea() : b.flashArea();
    if (!writeOutput(s, path, area.bytes(0, count), count, format))
        return kExitFailed;
    if (json) {
        const qint64 read = eeprom ? chip.eepromBytes() : chip.flashBytes();
        const uint32_t crc = crc32Of(area.bytes(0, read), read);
        printJson(s, QJsonObject{
                         {QStringLiteral("stable"), reads > 1 ? QJsonValue(true) : QJsonValue()},
                         {QStringLiteral("reads"), reads},
                         {QStringLiteral("path"), QFileInfo(path).absoluteFilePath()},
                         {QStringLiteral("memory"), eeprom ? QStringLiteral("eeprom") : QStringLiteral("flash")},
                         {QStringLiteral("bytes"), read},
                         {QStringLiteral("crc32"), qint64(crc)},
                         {QStringLiteral("crc32_hex"), QString::asprintf("0x%08X", crc)},
                         {QStringLiteral("saved"), count},
                         {QStringLiteral("chip"), chipJson(chip)},
                     });
    }
    return kExitOk;
}

int cmdBlank(CliSession& s, const QStringList&)
{
    ChipOperations ops = s.state().chipOperations();
    ops.blankCheck();
    // A verdict only when the check saw the chip: blank, or a byte in use.
    const auto used = ops.lastUsedAddress();
    if (s.isSet(QStringLiteral("json")) && (ops.lastOutcome() == Outcome::Done || used)) {
        const ChipEntry& chip = s.state().currentChip();
        printJson(s, QJsonObject{
                         {QStringLiteral("blank"), ops.lastOutcome() == Outcome::Done},
                         {QStringLiteral("first_used"), used ? QJsonValue(*used) : QJsonValue()},
                         {QStringLiteral("bytes"), qint64(chip.flashBytes())},
                         {QStringLiteral("chip"), chipJson(chip)},
                     });
    }
    return exitStatus(s, ops);
}

int cmdErase(CliSession& s, const QStringList&)
{
    ChipOperations ops = s.state().chipOperations();
    ops.eraseChip();
    return exitStatus(s, ops);
}

int cmdDetect(CliSession& s, const QStringList&)
{
    ChipOperations ops = s.state().chipOperations();
    ops.detectChip();
    if (ops.lastOutcome() != Outcome::Done)
        return exitStatus(s, ops);
    const ChipSelection& sel = s.state().selection();
    const QString model = QString::fromUtf8(ChipSelection::textAt(sel.models(), sel.modelPosition()));
    const QString type = QString::fromUtf8(ChipSelection::textAt(sel.types(), sel.typePosition()));
    if (s.isSet(QStringLiteral("json"))) {
        QJsonObject json = chipJson(s.state().currentChip());
        json[QStringLiteral("model")] = model;
        json[QStringLiteral("type")] = type;
        printJson(s, json);
        return kExitOk;
    }
    s.out() << "model: " << model << '\n' << "type: " << type << '\n';
    return kExitOk;
}

int cmdWrite(CliSession& s, const QStringList& words)
{
    if (s.isSet(QStringLiteral("preserve")))
        return cmdWritePreserving(s, words);
    const WriteOptions options{.eraseFirst = s.isSet(QStringLiteral("erase")),
                               .verifyAfter = !s.isSet(QStringLiteral("no-verify"))};
    return withLoadedFile(s, words, [options](ChipOperations& ops, MemoryPage page) { ops.writeChip(page, options); });
}

int cmdVerify(CliSession& s, const QStringList& words)
{
    return withLoadedFile(s, words, [](ChipOperations& ops, MemoryPage page) { ops.verifyChip(page); });
}

int cmdAuto(CliSession& s, const QStringList& words)
{
    const auto run = parseAuto(s);
    const auto format = formatOption(s, QStringLiteral("format"));
    if (!run || !format)
        return kExitUsage;
    const QString eepromFile = s.value(QStringLiteral("eeprom-file"));
    const ChipEntry& chip = s.state().currentChip();
    const AutoOptions& o = run->options;
    // Steps whose boxes the window would show disabled for this chip.
    if ((o.writeEeprom || o.verifyEeprom || !eepromFile.isEmpty()) && !chipHasMemory(s, MemoryPage::Eeprom))
        return kExitFailed;
    if (o.checkId && chip.chipId() <= 0) {
        s.ui().showError(s.message(Msg::CliChipHasNoIdToCheck));
        return kExitFailed;
    }
    if (o.fuses && !isMicrocontroller(chip))
        return s.usageError(s.message(Msg::NoFuseBytes));
    if (o.fuses) {
        if (!loadChipFuseDescription(s))
            return kExitFailed;
        FuseState& fuses = s.state().fuses();
        if (run->lock)
            fuses.setFuseByte(fuses.lockIndex(), *run->lock);
        // What the step will write, before anything is.
        QString bytes;
        for (int i = 0; i < fuses.fuseByteCount(); ++i)
            bytes += QString::asprintf(" 0x%02X", fuses.currentBytes()[i]);
        if (run->lock)
            bytes += QString::asprintf(", lock byte 0x%02X", *run->lock);
        s.ui().note(QStringLiteral("fuse step: fuse bytes") + bytes);
    }
    if ((!words.isEmpty() && !loadInput(s, words[0], MemoryPage::Flash, *format))
        || (!eepromFile.isEmpty() && !loadInput(s, eepromFile, MemoryPage::Eeprom, DataFormat::ByName)))
        return kExitFailed;
    if (o.serialNumber)
        s.state().serial() = run->serial;
    if (o.unprotect)
        s.ui().note(unprotectEffect(chip, s.ui().languageIndex()));
    ChipOperations ops = s.state().chipOperations();
    ops.setProductionLogPath(s.options().productionLog);
    ops.runAuto(o);
    // The number steps even when a later step fails: the next run needs it.
    if (o.serialNumber)
        s.out() << "next serial number: " << s.state().serial().value << '\n';
    return exitStatus(s, ops);
}
