#include "cli/CliSession.h"

#include "app/FileWrite.h"
#include "app/IntegerText.h"
#include "chipdb/ChipKey.h"
#include "chipdb/ChipMatch.h"
#include "cli/Commands.h"
#include "device/HidapiBackend.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace {

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

TerminalUi::ProgressStyle progressStyle(ProgressMode mode, bool errIsTerminal)
{
    switch (mode) {
    case ProgressMode::Bar: return TerminalUi::ProgressStyle::Bar;
    case ProgressMode::Plain: return TerminalUi::ProgressStyle::Plain;
    case ProgressMode::None: return TerminalUi::ProgressStyle::None;
    default: return errIsTerminal ? TerminalUi::ProgressStyle::Bar : TerminalUi::ProgressStyle::None;
    }
}

TerminalUi::Settings uiSettings(const CliOptions& o, const CliStreams& streams)
{
    TerminalUi::Settings s;
    s.languageIndex = o.language;
    s.answer = o.answer;
    s.force = o.force;
    s.progress = progressStyle(o.progress, streams.errIsTerminal);
    s.quiet = o.quiet;
    s.stop = streams.stop;
    return s;
}

} // namespace

CliSession::CliSession(const CliOptions& options, const ProgramFiles& files, const CliStreams& streams)
    : options_(options), files_(files), out_(streams.out), err_(streams.err), dataIn_(streams.dataIn),
      dataOut_(streams.dataOut), system_(streams.system), logFile_(options.logFile),
      ui_(streams.err, uiSettings(options, streams))
{
    if (options_.simulator.simulate) {
        auto sim = std::make_unique<SimulatedProgrammer>();
        sim_ = sim.get();
        configureSimulator(*sim_, options_.simulator);
        backend_ = std::move(sim);
    } else {
        backend_ = std::make_unique<HidapiBackend>();
    }
    ui_.setNotConnectedHint([this] { return notConnectedHint(); });
    state_ = std::make_unique<ProgramState>(*backend_, ui_);
    if (options_.trace) {
        state_->device().setWireTap([this](HidDevice::Direction d, const uint8_t* data, std::size_t n, bool ok) {
            const bool sent = d == HidDevice::Direction::ToDevice;
            // A reply that never came has no bytes to show, only its report number.
            const QString bytes = sent || ok ? hexBytes(data, n) : hexBytes(data, std::min<std::size_t>(n, 1));
            err_ << (sent ? "> " : "< ") << bytes << (ok ? "" : " failed") << Qt::endl;
        });
    }
}

CliSession::~CliSession() = default;

QString CliSession::value(const QString& name) const
{
    const QStringList v = options_.commandOptions.value(name);
    return v.isEmpty() ? QString() : v.last();
}

int CliSession::usageError(const QString& text)
{
    usageError_ = text;
    return kExitUsage;
}

bool CliSession::openLog()
{
    if (options_.logFile.isEmpty())
        return true;
    // A file, also one behind /dev/stderr, is appended to; a device or a FIFO
    // is written where it is.
    const QIODevice::OpenMode mode = appendsAtEnd(options_.logFile)
                                         ? QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text
                                         : QIODevice::WriteOnly | QIODevice::Text;
    if (!logFile_.open(mode)) {
        ui_.showError(message(Msg::CliCannotWriteFile) + options_.logFile + QLatin1Char('\n') + logFile_.errorString());
        return false;
    }
    logStream_.setDevice(&logFile_);
    ui_.setLogFile(&logStream_, options_.logFile);
    // The run's first line shows before the job whether the log takes lines.
    return ui_.startLog(QStringList{QStringLiteral("ktr4180-cli"), options_.command}.join(QLatin1Char(' ')) + QLatin1Char(' ')
                        + options_.args.join(QLatin1Char(' ')));
}

QString CliSession::notConnectedHint() const
{
    const auto refused = backend_->unopened(kProgrammerVendorId, kProgrammerProductId);
    if (refused.empty())
        return {};
    return message(Msg::CliProgrammerNoAccess)
        .arg(QString::fromStdString(refused.front().path), QString::fromLocal8Bit(refused.front().reason.c_str()));
}

QString CliSession::chipListPath() const
{
    return options_.dbPath.isEmpty() ? files_.chipList() : options_.dbPath;
}

bool CliSession::loadChips()
{
    // A list named on the command line must be there to be read; the one
    // beside the program may be missing (no chips yet).
    if (!options_.dbPath.isEmpty()) {
        QFile list(options_.dbPath);
        const QString reason = QFileInfo(options_.dbPath).isDir() ? QString::fromLocal8Bit(std::strerror(EISDIR))
                               : !list.open(QIODevice::ReadOnly) ? list.errorString()
                                                                 : QString();
        if (!reason.isEmpty()) {
            ui_.showError(message(Msg::CliCannotReadFile) + options_.dbPath + QLatin1Char('\n') + reason);
            return false;
        }
    }
    return LoadChipList(state_->chips(), chipListPath(), ui_);
}

int CliSession::chipNamed(const QString& name)
{
    const ChipTable& table = state_->chips();
    const ChipMatch match = matchChipName(table, name);
    if (match.entries.size() == 1)
        return match.entries.front();
    if (match.entries.empty()) {
        QString text = message(Msg::CliNoChipNamed).arg(name);
        if (!match.closest.isEmpty())
            text += QLatin1Char('\n') + message(Msg::CliClosestModels) + match.closest.join(QStringLiteral(", "));
        ui_.showError(text);
        return -1;
    }
    QString text = message(Msg::CliChipNameAmbiguous).arg(name);
    for (const int i : match.entries)
        text += QStringLiteral("\n  ") + QString::fromUtf8(table[i].keyText());
    ui_.showError(text);
    return -1;
}

bool CliSession::prepareSimulator()
{
    if (!sim_)
        return true;
    const SimulatorOptions& o = options_.simulator;
    if (!o.empty) {
        int index = 0;
        if (o.chip && (index = chipNamed(*o.chip)) < 0)
            return false;
        if (!state_->chips()[index].isEnd())
            sim_->insertChip(state_->chips()[index]);
    }
    if (!o.state.isEmpty()) {
        QString error;
        if (!stateLock_.acquire(o.state, &error)) {
            ui_.showError(error);
            return false;
        }
        if (!sim_->loadState(o.state, &error)) {
            ui_.showError(message(Msg::CliCannotReadFile) + o.state + QLatin1Char('\n') + error);
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
        wanted = chipNamed(*options_.chip);
        if (wanted < 0)
            return kExitUsage;
    } else {
        const std::optional<int32_t> id = parseInteger(*options_.chipId);
        for (int i = 0; id && *id != 0 && i < ChipTable::kCapacity && !table[i].isEnd(); ++i)
            if (table[i].chipId() == *id) {
                wanted = i;
                break;
            }
        if (wanted < 0) {
            ui_.showError(message(Msg::CliNoChipWithId).arg(*options_.chipId));
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
        ui_.showError(message(Msg::CliChipNotInLists).arg(QString::fromUtf8(table[wanted].keyText())));
        return kExitUsage;
    }
    // Unless told otherwise, the simulated socket holds the chip worked on.
    const SimulatorOptions& o = options_.simulator;
    if (sim_ && !o.chip && !o.empty) {
        sim_->insertChip(current);
        QString error;
        if (!o.state.isEmpty() && !sim_->loadState(o.state, &error)) {
            ui_.showError(message(Msg::CliCannotReadFile) + o.state + QLatin1Char('\n') + error);
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
        ui_.showError(state_->programmer().failureText(Msg::NotConnected));
        return kExitFailed;
    }
    if (r == 0) {
        ui_.showError(message(Msg::NoChipDetected) + QLatin1Char('\n') + message(Msg::CliChipNotSeen));
        return kExitFailed;
    }
    if (id[1] == 0 && id[2] == 0 && id[3] == 0) {
        ui_.showError(message(Msg::CliChipWithoutId).arg(r - 1));
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
        ui_.showError(message(Msg::UnknownChipId) + QString::asprintf("0x%02X%02X%02X", id[1], id[2], id[3])
                      + QLatin1Char('\n') + message(Msg::CliNameTheChip));
        return kExitUsage;
    }
    ui_.note(QStringLiteral("chip: ") + QString::fromUtf8(names.manufacturer) + QLatin1Char(' ')
             + QString::fromUtf8(names.model) + QString::asprintf(" (0x%06X)", unsigned(chip.chipId())));
    return kExitOk;
}

UsbSetupPaths CliSession::systemPaths() const
{
    if (system_)
        return *system_;
    return UsbSetupPaths::system(files_.installPrefix());
}

bool CliSession::finish()
{
    if (sim_ && stateLock_.held()) {
        QString error;
        const QString& path = options_.simulator.state;
        if (!sim_->saveState(path, &error)) {
            ui_.showError(message(Msg::CliCannotWriteFile) + path + QLatin1Char('\n') + error);
            return false;
        }
    }
    return true;
}
