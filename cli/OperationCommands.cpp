#include "cli/CliSession.h"
#include "cli/CommandFiles.h"
#include "cli/Commands.h"

#include "app/IntegerText.h"
#include "buffers/DataFile.h"
#include "buffers/OpenSave.h"
#include "chipdb/ChipKey.h"
#include "operations/ChipOperations.h"

#include <algorithm>

namespace {

// The words of a command that takes one file and may name the EEPROM.
struct FileAndMemory {
    QString path;
    MemoryPage page = MemoryPage::Flash;
};

std::optional<FileAndMemory> fileAndMemory(const QStringList& args)
{
    FileAndMemory f;
    for (const QString& a : args) {
        if (a == QLatin1String("--eeprom"))
            f.page = MemoryPage::Eeprom;
        else if (f.path.isEmpty() && !a.startsWith(QLatin1String("--")))
            f.path = a;
        else
            return std::nullopt;
    }
    if (f.path.isEmpty())
        return std::nullopt;
    return f;
}

// The window offers the EEPROM page only for a chip that has one.
bool chipHasMemory(CliSession& s, MemoryPage page)
{
    if (page != MemoryPage::Eeprom || s.state().currentChip().eepromBytes() != 0)
        return true;
    s.err() << "The chosen chip has no EEPROM." << Qt::endl;
    return false;
}

// Opens a file into a buffer as Open does; false when the loader reported a
// failure (an empty file loads as an empty buffer).
bool loadInto(CliSession& s, const QString& path, MemoryPage page)
{
    Buffers& b = s.state().buffers();
    const int before = s.ui().failureCount();
    if (page == MemoryPage::Eeprom) {
        b.fillEeprom();
        b.setEepromLength(LoadFileIntoBuffer(path, b.eepromArea(), s.ui()));
    } else {
        b.fillFlash();
        b.setFlashLength(LoadFileIntoBuffer(path, b.flashArea(), s.ui()));
    }
    return s.ui().failureCount() == before;
}

int exitStatus(const ChipOperations& ops)
{
    return ops.lastOutcome() == Outcome::Done ? kExitOk : kExitFailed;
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
    QString flashFile;
    QString eepromFile;
    AutoOptions options;
    SerialNumber serial;  // used with --sn only
    std::optional<uint8_t> lock;  // --lock: the fuse step writes the lock byte only when named
};

std::optional<AutoRun> parseAuto(const QStringList& args)
{
    AutoRun run;
    bool serialSettings = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        AutoOptions& o = run.options;
        if (a == QLatin1String("--id")) o.checkId = true;
        else if (a == QLatin1String("--erase")) o.erase = true;
        else if (a == QLatin1String("--write-flash")) o.writeFlash = true;
        else if (a == QLatin1String("--write-eeprom")) o.writeEeprom = true;
        else if (a == QLatin1String("--verify")) o.verifyFlash = true;
        else if (a == QLatin1String("--verify-eeprom")) o.verifyEeprom = true;
        else if (a == QLatin1String("--fuse")) o.fuses = true;
        else if (a == QLatin1String("--unprotect")) o.unprotect = true;
        else if (a == QLatin1String("--sn")) {
            const auto v = value();
            const auto number = v ? parseInteger(*v) : std::nullopt;
            if (!number)
                return std::nullopt;
            run.serial.value = *number;
            o.serialNumber = true;
        } else if (a == QLatin1String("--sn-addr")) {
            const auto v = value();
            const auto address = v ? hexAddress(*v) : std::nullopt;
            if (!address)
                return std::nullopt;
            run.serial.address = *address;
            serialSettings = true;
        } else if (a == QLatin1String("--sn-mode")) {
            const QString v = value().value_or(QString());
            if (v == QLatin1String("inc")) run.serial.mode = SerialNumber::Mode::Increment;
            else if (v == QLatin1String("dec")) run.serial.mode = SerialNumber::Mode::Decrement;
            else if (v == QLatin1String("none")) run.serial.mode = SerialNumber::Mode::FillFile;
            else return std::nullopt;
            serialSettings = true;
        } else if (a == QLatin1String("--lock")) {
            const auto v = value();
            const auto number = v ? parseInteger(*v) : std::nullopt;
            if (!number || *number < 0 || *number > 0xFF)
                return std::nullopt;
            run.lock = uint8_t(*number);
        } else if (a == QLatin1String("--eeprom-file")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            run.eepromFile = *v;
        } else if (run.flashFile.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            run.flashFile = a;
        } else {
            return std::nullopt;
        }
    }
    // The serial settings mean nothing without a number to write, a lock byte
    // nothing without the fuse step.
    if (run.flashFile.isEmpty() || (serialSettings && !run.options.serialNumber) || (run.lock && !run.options.fuses))
        return std::nullopt;
    run.options.lockEnable = run.lock.has_value();
    return run;
}

} // namespace

int withLoadedFile(CliSession& s, const QStringList& args,
                   const std::function<void(ChipOperations&, MemoryPage)>& operation)
{
    const auto f = fileAndMemory(args);
    if (!f)
        return kExitUsage;
    if (!chipHasMemory(s, f->page) || !loadInto(s, f->path, f->page))
        return kExitFailed;
    ChipOperations ops(s.state());
    s.checkSocketIdentity(ops);
    operation(ops, f->page);
    return exitStatus(ops);
}

int cmdRead(CliSession& s, const QStringList& args)
{
    const auto f = fileAndMemory(args);
    if (!f)
        return kExitUsage;
    if (!chipHasMemory(s, f->page))
        return kExitFailed;
    ChipOperations ops(s.state());
    ops.readChip(f->page);
    if (ops.lastOutcome() != Outcome::Done)
        return kExitFailed;
    return saveFromBuffer(s.state().buffers(), f->page, f->path, s.ui()) ? kExitOk : kExitFailed;
}

int cmdBlank(CliSession& s, const QStringList& args)
{
    if (!args.isEmpty())
        return kExitUsage;
    ChipOperations ops(s.state());
    ops.blankCheck();
    return exitStatus(ops);
}

int cmdErase(CliSession& s, const QStringList& args)
{
    if (!args.isEmpty())
        return kExitUsage;
    ChipOperations ops(s.state());
    s.checkSocketIdentity(ops);
    ops.eraseChip();
    return exitStatus(ops);
}

int cmdDetect(CliSession& s, const QStringList& args)
{
    if (!args.isEmpty())
        return kExitUsage;
    ChipOperations ops(s.state());
    ops.detectChip();
    if (ops.lastOutcome() != Outcome::Done)
        return kExitFailed;
    const ChipSelection& sel = s.state().selection();
    s.out() << "model: " << QString::fromUtf8(ChipSelection::textAt(sel.models(), sel.modelPosition())) << '\n'
            << "type: " << QString::fromUtf8(ChipSelection::textAt(sel.types(), sel.typePosition())) << '\n';
    return kExitOk;
}

int cmdWrite(CliSession& s, const QStringList& args)
{
    return withLoadedFile(s, args, [](ChipOperations& ops, MemoryPage page) { ops.writeChip(page); });
}

int cmdVerify(CliSession& s, const QStringList& args)
{
    return withLoadedFile(s, args, [](ChipOperations& ops, MemoryPage page) { ops.verifyChip(page); });
}

int cmdAuto(CliSession& s, const QStringList& args)
{
    const auto run = parseAuto(args);
    if (!run)
        return kExitUsage;
    const ChipEntry& chip = s.state().currentChip();
    const AutoOptions& o = run->options;
    // Steps whose boxes the window would show disabled for this chip.
    if ((o.writeEeprom || o.verifyEeprom || !run->eepromFile.isEmpty()) && !chipHasMemory(s, MemoryPage::Eeprom))
        return kExitFailed;
    if (o.checkId && chip.chipId() <= 0) {
        s.err() << "The chosen chip has no identifier to check." << Qt::endl;
        return kExitFailed;
    }
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
        s.err() << "fuse step: fuse bytes" << bytes;
        if (run->lock)
            s.err() << QString::asprintf(", lock byte 0x%02X", *run->lock);
        s.err() << Qt::endl;
    }
    if (!loadInto(s, run->flashFile, MemoryPage::Flash)
        || (!run->eepromFile.isEmpty() && !loadInto(s, run->eepromFile, MemoryPage::Eeprom)))
        return kExitFailed;
    if (o.serialNumber)
        s.state().serial() = run->serial;
    ChipOperations ops(s.state());
    s.checkSocketIdentity(ops);
    ops.setProductionLogPath(s.options().productionLog);
    ops.runAuto(o);
    // The number steps even when a later step fails: the next run needs it.
    if (o.serialNumber)
        s.out() << "next serial number: " << s.state().serial().value << '\n';
    return exitStatus(ops);
}
