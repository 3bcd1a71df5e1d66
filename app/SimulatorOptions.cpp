#include "app/SimulatorOptions.h"

#include "app/IntegerText.h"
#include "chipdb/ChipMatch.h"
#include "chipdb/ChipTable.h"

namespace {

using Result = SimulatorOptionResult;
using Kind = SimulatedProgrammer::Fault::Kind;

Result parseFault(SimulatorOptions& o, const QString& v)
{
    static const struct {
        const char* word;
        Kind kind;
    } kinds[] = {{"set", Kind::Set}, {"get", Kind::Get}, {"short", Kind::Short}, {"unplug", Kind::Unplug}};
    const int at = int(v.indexOf(QLatin1Char('@')));
    bool ok = false;
    const int n = at > 0 ? v.mid(at + 1).toInt(&ok) : 0;
    const QString word = v.left(at);
    for (const auto& k : kinds) {
        if (ok && n >= 1 && word == QLatin1String(k.word)) {
            o.faults.push_back({k.kind, n});
            return {};
        }
    }
    return QStringLiteral("--sim-fault takes set@N, get@N, short@N or unplug@N (N from 1), not '%1'").arg(v);
}

// Milliseconds from 0 (or 1) to the limit.
Result parseMilliseconds(int& into, const QString& v, const char* option, int lowest, int highest)
{
    bool ok = false;
    const int ms = v.toInt(&ok);
    if (!ok || ms < lowest || ms > highest)
        return QStringLiteral("%1 takes milliseconds, %2 to %3, not '%4'")
            .arg(QLatin1String(option)).arg(lowest).arg(highest).arg(v);
    into = ms;
    return {};
}

Result parseFill(SimulatorOptions& o, const QString& v)
{
    if (v == QLatin1String("erased")) {
        o.fillSeed.reset();
        return {};
    }
    if (v == QLatin1String("random")) {
        o.fillSeed = 1;
        return {};
    }
    if (v.startsWith(QLatin1String("random:"))) {
        bool ok = false;
        const uint seed = v.mid(7).toUInt(&ok, 0);
        if (ok) {
            o.fillSeed = seed;
            return {};
        }
    }
    return QStringLiteral("--sim-fill takes erased, random or random:SEED (SEED 0 to 4294967295), not '%1'").arg(v);
}

Result parseUnstable(SimulatorOptions& o, const QString& v)
{
    const std::optional<int32_t> address = parseInteger(v);
    if (!address || *address < 0)
        return QStringLiteral("--sim-unstable takes an address such as 0x1234, not '%1'").arg(v);
    o.unstable.push_back(uint32_t(*address));
    return {};
}

const SimulatorOptionEntry kEntries[] = {
    {"simulate", nullptr,
     "Use a simulated programmer instead of the USB one; --simulate=FILE is --simulate --sim-state FILE.",
     [](SimulatorOptions& o, const QString&) -> Result { o.simulate = true; return {}; }},
    {"sim-state", "FILE",
     "Keep the simulated chip's memory in FILE from run to run. One program at a time holds FILE; a second "
     "one started on it stops.",
     [](SimulatorOptions& o, const QString& v) -> Result { o.state = v; return {}; }},
    {"sim-chip", "NAME",
     "Put this chip of the chip list into the simulated socket (default: the chip chosen, else the list's first).",
     [](SimulatorOptions& o, const QString& v) -> Result { o.chip = v; return {}; }},
    {"sim-empty", nullptr, "Leave the simulated socket empty.",
     [](SimulatorOptions& o, const QString&) -> Result { o.empty = true; return {}; }},
    {"sim-protect", nullptr, "The simulated chip arrives with its block protection set.",
     [](SimulatorOptions& o, const QString&) -> Result { o.protect = true; return {}; }},
    {"sim-fill", "FILL",
     "The simulated chip arrives filled, not erased: FILL random or random:SEED gives pseudo-random contents, "
     "0xFF holes and an erased tail, the same for the same SEED (default 1); erased is the default. A state "
     "file's contents still win.",
     parseFill},
    {"sim-latency", "MS", "The simulated programmer takes MS milliseconds (0 to 10000) for every report.",
     [](SimulatorOptions& o, const QString& v) { return parseMilliseconds(o.latencyMs, v, "--sim-latency", 0, 10000); }},
    {"sim-slow-erase", "MS",
     "The simulated chip stays busy MS milliseconds (1 to 600000) after a whole-chip erase, longer than its "
     "listed erase delay: its status polls answer busy and data written meanwhile is not taken.",
     [](SimulatorOptions& o, const QString& v) {
         return parseMilliseconds(o.slowEraseMs, v, "--sim-slow-erase", 1, 600000);
     }},
    {"sim-unstable", "ADDR",
     "The simulated chip's byte at ADDR (0x... or decimal) reads differently each time, as through a poor "
     "contact; repeatable.",
     parseUnstable},
    {"sim-fault", "KIND@N",
     "Make report N of the run fail: set@N the first host-to-programmer report from N on, get@N the first "
     "reply from N on, short@N that reply cut to half its length, unplug@N report N and all after it; "
     "repeatable.",
     parseFault},
};

} // namespace

std::span<const SimulatorOptionEntry> simulatorOptionEntries()
{
    return kEntries;
}

QStringList expandSimulateShorthand(const QStringList& words)
{
    static const QString shorthand = QStringLiteral("--simulate=");
    QStringList out;
    bool options = true;
    for (const QString& w : words) {
        if (w == QLatin1String("--"))
            options = false;
        if (options && w.startsWith(shorthand)) {
            out << QStringLiteral("--simulate") << QStringLiteral("--sim-state=") + w.mid(shorthand.size());
            continue;
        }
        out << w;
    }
    return out;
}

SimulatorOptionResult checkSimulatorOptions(const SimulatorOptions& o)
{
    const bool any = o.chip || o.empty || o.protect || !o.faults.empty() || o.latencyMs > 0 || !o.state.isEmpty()
                     || o.fillSeed || o.slowEraseMs > 0 || !o.unstable.empty();
    if (any && !o.simulate)
        return QStringLiteral("--sim-chip, --sim-empty, --sim-protect, --sim-fill, --sim-fault, --sim-latency, "
                              "--sim-slow-erase, --sim-unstable and --sim-state go with --simulate");
    return {};
}

void configureSimulator(SimulatedProgrammer& sim, const SimulatorOptions& o)
{
    for (const SimulatedProgrammer::Fault& fault : o.faults)
        sim.addFault(fault);
    sim.setLatency(o.latencyMs);
    sim.setChipsArriveProtected(o.protect);
    sim.setFillSeed(o.fillSeed);
    sim.setSlowErase(o.slowEraseMs);
    for (const uint32_t address : o.unstable)
        sim.addUnstableByte(address);
}

int simulatedChipIndex(const ChipTable& table, const QString& name, QString& error)
{
    const ChipMatch match = matchChipName(table, name);
    if (match.entries.size() == 1)
        return match.entries.front();
    error = match.entries.empty()
                ? QStringLiteral("No chip named \"%1\" in the chip list.").arg(name)
                : QStringLiteral("The name \"%1\" fits several chips; name one of them with --sim-chip:").arg(name);
    for (const int i : match.entries)
        error += QStringLiteral("\n  ") + QString::fromUtf8(table[i].keyText());
    if (!match.closest.isEmpty())
        error += QStringLiteral("\nClosest models: ") + match.closest.join(QStringLiteral(", "));
    return -1;
}
