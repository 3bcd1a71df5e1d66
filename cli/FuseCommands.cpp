#include "cli/CliSession.h"
#include "cli/Commands.h"

#include "app/IntegerText.h"
#include "fuses/FuseJobs.h"
#include "fuses/FuseState.h"

#include <QFile>
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

// The value of "--name V" or "--name=V" at args[i]; moves i past it.
std::optional<QString> optionValue(const QStringList& args, int& i, const QString& name)
{
    if (args[i].startsWith(name + QLatin1Char('=')))
        return args[i].mid(name.size() + 1);
    if (args[i] != name || i + 1 >= args.size())
        return std::nullopt;
    return args[++i];
}

struct WriteRequest {
    std::map<int, uint8_t> fuses;
    std::optional<uint8_t> lock;
};

std::optional<WriteRequest> parseWriteRequest(const QStringList& args, int fuseByteCount)
{
    WriteRequest request;
    for (int i = 1; i < args.size(); ++i) {
        if (const auto fuse = optionValue(args, i, QStringLiteral("--fuse"))) {
            const int eq = fuse->indexOf(QLatin1Char('='));
            bool ok = false;
            const int index = eq > 0 ? fuse->left(eq).toInt(&ok) : -1;
            const std::optional<uint8_t> value = eq > 0 ? byteArgument(fuse->mid(eq + 1)) : std::nullopt;
            if (!ok || index < 0 || index >= fuseByteCount || !value)
                return std::nullopt;
            request.fuses[index] = *value;
        } else if (const auto lock = optionValue(args, i, QStringLiteral("--lock"))) {
            request.lock = byteArgument(*lock);
            if (!request.lock)
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    return request;
}

void printBytes(CliSession& s)
{
    const FuseState& f = s.state().fuses();
    for (int i = 0; i <= f.fuseByteCount(); ++i)
        s.out() << (i == f.lockIndex() ? "lock" : "fuse") << '\t' << i << '\t' << f.grid().cell(i + 1, 0).trimmed()
                << '\t' << hex2(f.currentBytes()[i]) << '\n';
}

bool runJobs(CliSession& s, std::initializer_list<FuseJob> jobs)
{
    for (const FuseJob job : jobs)
        if (RunFuseJob(s.state(), job) != FuseJobResult::Done)
            return false;
    return true;
}

} // namespace

int cmdFuseDescription(CliSession& s, const QStringList& args)
{
    if (args.size() > 1)
        return kExitUsage;
    const QString path = args.isEmpty() ? s.files().fuseDescription() : args[0];
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
        s.ui().showError(s.ui().message(Msg::CantOpenFile) + QStringLiteral(": ") + path);
    // A description the reader complained about gives no bytes fit for a chip.
    return load == FuseLoad::Loaded && s.ui().failureCount() == failuresBefore;
}

int cmdFuses(CliSession& s, const QStringList& args)
{
    const QString action = args.value(0);
    if (action != QLatin1String("read") && action != QLatin1String("write") && action != QLatin1String("default"))
        return kExitUsage;
    if (action != QLatin1String("write") && args.size() != 1)
        return kExitUsage;
    if (!loadChipFuseDescription(s))
        return kExitFailed;
    FuseState& fuses = s.state().fuses();

    bool done = false;
    if (action == QLatin1String("read")) {
        done = runJobs(s, {FuseJob::ReadFuses, FuseJob::ReadLock});
    } else if (action == QLatin1String("default")) {
        fuses.resetFusesToDefaults();
        done = runJobs(s, {FuseJob::WriteFuses});
    } else {
        const std::optional<WriteRequest> request = parseWriteRequest(args, fuses.fuseByteCount());
        if (!request)
            return kExitUsage;
        for (const auto& [index, value] : request->fuses)
            fuses.setFuseByte(index, value);
        if (request->lock)
            fuses.setFuseByte(fuses.lockIndex(), *request->lock);
        // What was named is written; with nothing named, the default fuse bytes.
        const bool writeFuses = !request->fuses.empty() || !request->lock;
        done = (!writeFuses || runJobs(s, {FuseJob::WriteFuses})) && (!request->lock || runJobs(s, {FuseJob::WriteLock}));
    }
    if (done)
        printBytes(s);
    return done ? kExitOk : kExitFailed;
}
