#include "cli/CliSession.h"
#include "cli/Commands.h"

#include "app/IntegerText.h"
#include "chipdb/ChipEntry.h"
#include "operations/FuseJobs.h"
#include "fuses/FuseState.h"

#include "cli/FileArgs.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cerrno>
#include <cstring>
#include <map>

namespace {

QString hex2(unsigned value)
{
    return QString::asprintf("0x%02X", value);
}

std::optional<uint8_t> byteArgument(const QString& text)
{
    const std::optional<int32_t> v = parseInteger(text);
    if (!v || *v < 0 || *v > 0xFF)
        return std::nullopt;
    return static_cast<uint8_t>(*v);
}

struct WriteRequest {
    std::map<int, uint8_t> fuses;
    std::optional<uint8_t> lock;
};

// --fuse N=0xVV ... and --lock 0xVV; nullopt after a usage error.
std::optional<WriteRequest> parseWriteRequest(CliSession& s, int fuseByteCount)
{
    WriteRequest request;
    for (const QString& fuse : s.values(QStringLiteral("fuse"))) {
        const int eq = fuse.indexOf(QLatin1Char('='));
        bool ok = false;
        const int index = eq > 0 ? fuse.left(eq).toInt(&ok) : -1;
        const std::optional<uint8_t> value = eq > 0 ? byteArgument(fuse.mid(eq + 1)) : std::nullopt;
        if (!ok || index < 0 || index >= fuseByteCount || !value) {
            s.usageError(QStringLiteral("--fuse takes N=0xVV with N from 0 to %1, not '%2'").arg(fuseByteCount - 1).arg(fuse));
            return std::nullopt;
        }
        // Two values for one byte: neither is taken, since either could stop the chip.
        if (!request.fuses.emplace(index, *value).second) {
            s.usageError(QStringLiteral("--fuse names byte %1 more than once").arg(index));
            return std::nullopt;
        }
    }
    if (s.values(QStringLiteral("lock")).size() > 1) {
        s.usageError(QStringLiteral("--lock is given more than once"));
        return std::nullopt;
    }
    if (s.isSet(QStringLiteral("lock"))) {
        request.lock = byteArgument(s.value(QStringLiteral("lock")));
        if (!request.lock) {
            s.usageError(QStringLiteral("--lock takes a byte, not '%1'").arg(s.value(QStringLiteral("lock"))));
            return std::nullopt;
        }
    }
    return request;
}

void printBytes(CliSession& s)
{
    const FuseState& f = s.state().fuses();
    if (s.isSet(QStringLiteral("json"))) {
        QJsonArray bytes;
        for (int i = 0; i <= f.fuseByteCount(); ++i)
            bytes.append(QJsonObject{
                {QStringLiteral("kind"), i == f.lockIndex() ? QStringLiteral("lock") : QStringLiteral("fuse")},
                {QStringLiteral("index"), i},
                {QStringLiteral("name"), f.grid().cell(i + 1, 0).trimmed()},
                {QStringLiteral("value"), int(f.currentBytes()[i])},
                {QStringLiteral("value_hex"), hex2(f.currentBytes()[i])},
            });
        s.out() << QJsonDocument(QJsonObject{{QStringLiteral("bytes"), bytes}}).toJson();
        return;
    }
    for (int i = 0; i <= f.fuseByteCount(); ++i)
        s.out() << (i == f.lockIndex() ? "lock" : "fuse") << '\t' << i << '\t' << f.grid().cell(i + 1, 0).trimmed()
                << '\t' << hex2(f.currentBytes()[i]) << '\n';
}


} // namespace

int cmdFuseDescription(CliSession& s, const QStringList& args)
{
    const QString path = args.isEmpty() ? s.files().fuseDescription() : args[0];
    if (!args.isEmpty() && !checkInput(s, path))
        return kExitFailed;
    const int failuresBefore = s.ui().failureCount();
    const std::optional<FuseDescription> d = ReadFuseDescription(path, s.ui());
    if (d) {
        s.out() << "fuse bytes\t" << d->fuseByteCount << '\n';
        for (const FuseSetting& setting : d->settings)
            s.out() << "setting\t" << setting.byteIndex << '\t' << hex2(setting.mask) << '\t' << hex2(setting.value)
                    << '\t' << setting.caption << '\n';
        for (std::size_t i = 0; i < d->bytes.size(); ++i)
            s.out() << "byte\t" << i << '\t' << d->bytes[i].name.trimmed() << '\t' << hex2(d->bytes[i].defaultValue)
                    << '\n';
    }
    return s.ui().failureCount() == failuresBefore ? kExitOk : kExitFailed;
}

bool loadChipFuseDescription(CliSession& s)
{
    // The bytes start from the description's defaults, as after a chip change.
    const QString path = s.files().fuseDescription();
    const int failuresBefore = s.ui().failureCount();
    const FuseLoad load = ReloadFusesForChipChange(s.state().fuses(), path, s.ui());
    if (load == FuseLoad::NoFile)
        s.ui().showError(s.message(Msg::CliCannotReadFile) + path + QLatin1Char('\n') + QString::fromLocal8Bit(std::strerror(ENOENT)));
    // A description the reader complained about gives no bytes fit for a chip.
    return load == FuseLoad::Loaded && s.ui().failureCount() == failuresBefore;
}

int prepareFuses(CliSession& s, const QStringList& words)
{
    const QString action = words[0];
    if (action != QLatin1String("read") && action != QLatin1String("write") && action != QLatin1String("default"))
        return s.usageError(QStringLiteral("fuses takes read, write or default, not '%1'").arg(action));
    const bool named = s.isSet(QStringLiteral("fuse")) || s.isSet(QStringLiteral("lock"));
    if (action != QLatin1String("write") && named)
        return s.usageError(QStringLiteral("--fuse and --lock go with fuses write"));
    // Nothing is written that nobody named: the defaults are fuses default.
    if (action == QLatin1String("write") && !named)
        return s.usageError(QStringLiteral("fuses write takes the bytes to write: --fuse N=0xVV or --lock 0xVV "
                                           "(fuses default writes the default fuse bytes)"));
    return kExitOk;
}

int cmdFuses(CliSession& s, const QStringList& words)
{
    const QString action = words[0];
    if (!isMicrocontroller(s.state().currentChip()))
        return s.usageError(s.message(Msg::NoFuseBytes));
    if (!loadChipFuseDescription(s))
        return kExitFailed;
    FuseState& fuses = s.state().fuses();
    const FuseJobParts parts = s.state().fuseJobParts();

    // The bytes printed afterwards are the chip's: what a job does not write
    // it reads first, in the same chip job.
    FuseJobResult result = FuseJobResult::Failed;
    if (action == QLatin1String("read")) {
        result = RunFuseJobs(parts, {FuseJob::ReadFuses, FuseJob::ReadLock});
    } else if (action == QLatin1String("default")) {
        result = RunFuseJobs(parts, {FuseJob::ReadLock, FuseJob::WriteFuses},
                             [](FuseState& f) { f.resetFusesToDefaults(); });
    } else {
        const std::optional<WriteRequest> request = parseWriteRequest(s, fuses.fuseByteCount());
        if (!request)
            return kExitUsage;
        const auto edit = [&request](FuseState& f) {
            for (const auto& [index, value] : request->fuses)
                f.setFuseByte(index, value);
            if (request->lock)
                f.setFuseByte(f.lockIndex(), *request->lock);
        };
        // Only the bytes named change; the others go back as the chip held them.
        if (request->fuses.empty())
            result = RunFuseJobs(parts, {FuseJob::ReadFuses, FuseJob::ReadLock, FuseJob::WriteLock}, edit);
        else if (!request->lock)
            result = RunFuseJobs(parts, {FuseJob::ReadFuses, FuseJob::ReadLock, FuseJob::WriteFuses}, edit);
        else
            result = RunFuseJobs(
                parts, {FuseJob::ReadFuses, FuseJob::ReadLock, FuseJob::WriteFuses, FuseJob::WriteLock}, edit);
    }
    const bool done = result == FuseJobResult::Done;
    if (done)
        printBytes(s);
    if (!done && s.stopRequested())
        return kExitStopped;
    return done ? kExitOk : kExitFailed;
}
