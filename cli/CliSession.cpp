#include "cli/CliSession.h"

#include "app/IntegerText.h"
#include "chipdb/ChipKey.h"
#include "cli/Commands.h"
#include "device/HidapiBackend.h"
#include "operations/ChipOperations.h"
#include "operations/SocketIdentity.h"

namespace {

bool takeValue(const QStringList& a, int& i, const QString& name, QString& value, QString& error)
{
    const QString& word = a[i];
    if (word.startsWith(name + QLatin1Char('='))) {
        value = word.mid(name.size() + 1);
        return true;
    }
    if (i + 1 >= a.size()) {
        error = QStringLiteral("%1 needs a value").arg(name);
        return false;
    }
    value = a[++i];
    return true;
}

bool isOption(const QString& word, const QString& name)
{
    return word == name || word.startsWith(name + QLatin1Char('='));
}

QString hexBytes(const uint8_t* data, std::size_t n)
{
    QString s;
    s.reserve(int(n) * 3);
    for (std::size_t i = 0; i < n; ++i) {
        if (i)
            s += QLatin1Char(' ');
        s += QString::asprintf("%02X", data[i]);
    }
    return s;
}

} // namespace

std::optional<QString> parseCliOptions(const QStringList& a, CliOptions& o)
{
    QString error;
    for (int i = 0; i < a.size(); ++i) {
        const QString& w = a[i];
        QString v;
        if (isOption(w, QStringLiteral("--db"))) {
            if (!takeValue(a, i, QStringLiteral("--db"), v, error))
                return error;
            o.dbPath = v;
        } else if (isOption(w, QStringLiteral("--lang"))) {
            if (!takeValue(a, i, QStringLiteral("--lang"), v, error))
                return error;
            bool ok = false;
            const int lang = v.toInt(&ok);
            if (!ok || lang < 0 || lang > 2)
                return QStringLiteral("--lang takes 0, 1 or 2");
            o.language = lang;
        } else if (w == QLatin1String("--yes")) {
            o.answer = true;
        } else if (w == QLatin1String("--no")) {
            o.answer = false;
        } else if (w == QLatin1String("--force")) {
            o.force = true;
        } else if (w == QLatin1String("--simulate")) {
            o.simulate = true;
        } else if (w.startsWith(QLatin1String("--simulate="))) {
            o.simulate = true;
            o.simState = w.mid(11);
        } else if (isOption(w, QStringLiteral("--sim-chip"))) {
            if (!takeValue(a, i, QStringLiteral("--sim-chip"), v, error))
                return error;
            o.simChip = v;
        } else if (w == QLatin1String("--sim-empty")) {
            o.simEmpty = true;
        } else if (w == QLatin1String("--sim-protect")) {
            o.simProtect = true;
        } else if (isOption(w, QStringLiteral("--sim-fault"))) {
            if (!takeValue(a, i, QStringLiteral("--sim-fault"), v, error))
                return error;
            const int at = v.indexOf(QLatin1Char('@'));
            bool ok = false;
            const int n = at > 0 ? v.mid(at + 1).toInt(&ok) : 0;
            const QString kind = v.left(at);
            using K = SimulatedProgrammer::Fault::Kind;
            if (!ok || n < 1 || (kind != QLatin1String("set") && kind != QLatin1String("get") && kind != QLatin1String("unplug")))
                return QStringLiteral("--sim-fault takes set@N, get@N or unplug@N");
            o.faults.push_back({kind == QLatin1String("set") ? K::Set : kind == QLatin1String("get") ? K::Get : K::Unplug, n});
        } else if (isOption(w, QStringLiteral("--sim-latency"))) {
            if (!takeValue(a, i, QStringLiteral("--sim-latency"), v, error))
                return error;
            bool ok = false;
            o.simLatencyMs = v.toInt(&ok);
            if (!ok || o.simLatencyMs < 0 || o.simLatencyMs > 10000)
                return QStringLiteral("--sim-latency takes milliseconds, 0 to 10000");
        } else if (w == QLatin1String("--trace")) {
            o.trace = true;
        } else if (isOption(w, QStringLiteral("--production-log"))) {
            if (!takeValue(a, i, QStringLiteral("--production-log"), v, error))
                return error;
            o.productionLog = v;
        } else if (isOption(w, QStringLiteral("--chip-id"))) {
            if (!takeValue(a, i, QStringLiteral("--chip-id"), v, error))
                return error;
            o.chipId = v;
        } else if (isOption(w, QStringLiteral("--chip"))) {
            if (!takeValue(a, i, QStringLiteral("--chip"), v, error))
                return error;
            o.chip = v;
        } else if (o.command.isEmpty() && !w.startsWith(QLatin1String("--"))) {
            o.command = w;
        } else {
            o.args << w;
        }
    }
    if ((o.simChip || o.simEmpty || o.simProtect || !o.faults.empty() || o.simLatencyMs > 0) && !o.simulate)
        return QStringLiteral("--sim-chip, --sim-empty, --sim-protect, --sim-fault and --sim-latency go with --simulate");
    return std::nullopt;
}

int findChipByNames(const ChipTable& table, const QString& names)
{
    const QList<QByteArray> want = SplitChipKey(names.toUtf8());
    if (want.size() < 3)
        return -1;
    const QByteArray t = trimControl(want[0]).toLower();
    const QByteArray m = trimControl(want[1]).toLower();
    const QByteArray n = trimControl(want[2]).toLower();
    for (int i = 0; i < ChipTable::kCapacity && !table[i].isEnd(); ++i) {
        const ChipNames c = chipNames(table[i].keyText());
        if (c.type.toLower() == t && c.manufacturer.toLower() == m && c.model.toLower() == n)
            return i;
    }
    return -1;
}

CliSession::CliSession(const CliOptions& options, const ProgramFiles& files, QTextStream& out,
                       QTextStream& err, bool errIsTerminal)
    : options_(options), files_(files), out_(out), err_(err),
      ui_(err, options.language, options.answer, options.force, errIsTerminal)
{
    if (options_.simulate) {
        auto sim = std::make_unique<SimulatedProgrammer>();
        sim_ = sim.get();
        for (const auto& f : options_.faults)
            sim_->addFault(f);
        sim_->setLatency(options_.simLatencyMs);
        sim_->setChipsArriveProtected(options_.simProtect);
        backend_ = std::move(sim);
    } else {
        backend_ = std::make_unique<HidapiBackend>();
    }
    state_ = std::make_unique<ProgramState>(*backend_, ui_);
    if (options_.trace) {
        state_->device().setWireTap([this](HidDevice::Direction d, const uint8_t* data, std::size_t n, bool ok) {
            // A reply that never came is not shown as one.
            if (d == HidDevice::Direction::FromDevice && !ok)
                return;
            err_ << (d == HidDevice::Direction::ToDevice ? "> " : "< ") << hexBytes(data, n) << Qt::endl;
        });
    }
}

CliSession::~CliSession() = default;

QString CliSession::chipListPath() const
{
    return options_.dbPath.isEmpty() ? files_.chipList() : options_.dbPath;
}

bool CliSession::loadChips()
{
    return LoadChipList(state_->chips(), chipListPath(), ui_);
}

bool CliSession::prepareSimulator()
{
    if (!sim_)
        return true;
    if (!options_.simEmpty) {
        int index = 0;
        if (options_.simChip) {
            index = findChipByNames(state_->chips(), *options_.simChip);
            if (index < 0) {
                err_ << QStringLiteral("No chip named \"%1\" in the chip list.").arg(*options_.simChip) << Qt::endl;
                return false;
            }
        }
        if (!state_->chips()[index].isEnd())
            sim_->insertChip(state_->chips()[index]);
    }
    if (!options_.simState.isEmpty()) {
        QString error;
        if (!sim_->loadState(options_.simState, &error)) {
            err_ << options_.simState << ": " << error << Qt::endl;
            return false;
        }
    }
    return true;
}

int CliSession::chooseChip(bool identify)
{
    ChipSelection& selection = state_->selection();
    ChipTable& table = state_->chips();
    // As at start-up: the lists are built and the first chip is current.
    selection.apply(0, 0, 0);
    if (!options_.chip && !options_.chipId)
        return identify ? identifyChip() : kExitOk;
    int wanted = -1;
    if (options_.chip) {
        wanted = findChipByNames(table, *options_.chip);
        if (wanted < 0) {
            err_ << QStringLiteral("No chip named \"%1\" in the chip list.").arg(*options_.chip) << Qt::endl;
            return kExitUsage;
        }
    } else {
        const std::optional<int32_t> id = parseInteger(*options_.chipId);
        for (int i = 0; id && *id != 0 && i < ChipTable::kCapacity && !table[i].isEnd(); ++i)
            if (table[i].chipId() == *id) {
                wanted = i;
                break;
            }
        if (wanted < 0) {
            err_ << QStringLiteral("No chip with the identifier %1 in the chip list.").arg(*options_.chipId) << Qt::endl;
            return kExitUsage;
        }
    }
    // Through the lists, as the window selects: an entry the lists cannot
    // reach (a repeated name, another spelling) is not chosen behind them.
    const ChipNames names = chipNames(table[wanted].keyText());
    selection.selectByNames(names.type, names.manufacturer, names.model);
    const ChipEntry& current = state_->currentChip();
    const ChipNames got = chipNames(current.keyText());
    const bool same = got.type.compare(names.type, Qt::CaseInsensitive) == 0
                      && got.manufacturer.compare(names.manufacturer, Qt::CaseInsensitive) == 0
                      && got.model.compare(names.model, Qt::CaseInsensitive) == 0
                      && (!options_.chipId || current.chipId() == table[wanted].chipId());
    if (!same) {
        err_ << QStringLiteral("The chip \"%1\" cannot be selected in the chip lists.")
                    .arg(QString::fromUtf8(table[wanted].keyText()))
             << Qt::endl;
        return kExitUsage;
    }
    // Unless told otherwise, the simulated socket holds the chip worked on.
    if (sim_ && !options_.simChip && !options_.simEmpty) {
        sim_->insertChip(current);
        QString error;
        if (!options_.simState.isEmpty() && !sim_->loadState(options_.simState, &error)) {
            err_ << options_.simState << ": " << error << Qt::endl;
            return kExitFailed;
        }
    }
    return kExitOk;
}

int CliSession::identifyChip()
{
    uint8_t id[5] = {};
    const int r = state_->programmer().probeChip(id);
    if (r < 0) {
        ui_.showError(ui_.message(Msg::NotConnected));
        return kExitFailed;
    }
    if (r == 0) {
        ui_.showError(ui_.message(Msg::NoChipDetected));
        err_ << "A chip the probe does not see (a microcontroller) is named with --chip." << Qt::endl;
        return kExitFailed;
    }
    if (id[1] == 0 && id[2] == 0 && id[3] == 0) {
        err_ << QStringLiteral("The chip in the socket (class %1) has no identifier to find it by; name it with --chip.")
                    .arg(r - 1)
             << Qt::endl;
        return kExitUsage;
    }
    ChipSelection& selection = state_->selection();
    bool found = false;
    {
        // The terminal says in one line below which chip it took.
        const TerminalUi::QuietInformation quiet(ui_);
        found = selection.selectById(id[1], id[2], id[3], id[0] - 1, id[4]);
    }
    // The lists must really show the chip that became current; otherwise the
    // first entry would be worked on in its place.
    const ChipEntry& chip = state_->currentChip();
    const ChipNames names = chipNames(chip.keyText());
    const bool shown = names.model == ChipSelection::textAt(selection.models(), selection.modelPosition())
                       && names.type == ChipSelection::textAt(selection.types(), selection.typePosition());
    if (!found || !shown) {
        err_ << "Name the chip with --chip." << Qt::endl;
        return kExitUsage;
    }
    err_ << "chip: " << QString::fromUtf8(names.manufacturer) << ' ' << QString::fromUtf8(names.model)
         << QString::asprintf(" (0x%06X)", unsigned(chip.chipId())) << Qt::endl;
    return kExitOk;
}

void CliSession::checkSocketIdentity(ChipOperations& operations)
{
    operations.setSocketCheck(
        [this](const uint8_t* probeId) { return confirmSocketIdentity(probeId, state_->currentChip(), ui_); });
}

bool CliSession::finish()
{
    if (sim_ && !options_.simState.isEmpty()) {
        QString error;
        if (!sim_->saveState(options_.simState, &error)) {
            err_ << options_.simState << ": " << error << Qt::endl;
            return false;
        }
    }
    return true;
}
