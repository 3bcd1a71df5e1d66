#include "cli/CommandLine.h"

#include "app/AboutText.h"
#include "buffers/FileFormats.h"
#include "cli/Commands.h"

#include <QCommandLineParser>

namespace {

using Result = std::optional<QString>;
// Takes the option's value (empty for a switch) into the options; the error
// text for a bad value.
using Apply = Result (*)(CliOptions& options, const QString& value);

struct GlobalOption {
    OptionSpec entry;
    Apply apply;
    // The simulator's options, shared with the window program, apply here instead.
    SimulatorOptionResult (*applySimulator)(SimulatorOptions& options, const QString& value) = nullptr;

    Result applyTo(CliOptions& o, const QString& value) const
    {
        return apply ? apply(o, value) : applySimulator(o.simulator, value);
    }
};

Result parseLanguage(CliOptions& o, const QString& v)
{
    static const QStringList names = {QStringLiteral("zh_CN"), QStringLiteral("zh_TW"), QStringLiteral("en")};
    bool ok = false;
    int lang = v.toInt(&ok);
    if (!ok)
        for (int i = 0; i < names.size(); ++i)
            if (v.compare(names[i], Qt::CaseInsensitive) == 0 || v.compare(QString(names[i]).replace('_', '-'), Qt::CaseInsensitive) == 0)
                lang = i, ok = true;
    if (!ok || lang < 0 || lang > 2)
        return QStringLiteral("--lang takes 0 (zh_CN), 1 (zh_TW) or 2 (en), not '%1'").arg(v);
    o.language = lang;
    return {};
}

Result parseProgress(CliOptions& o, const QString& v)
{
    static const QStringList modes = {QStringLiteral("auto"), QStringLiteral("bar"), QStringLiteral("plain"),
                                      QStringLiteral("none")};
    const qsizetype i = modes.indexOf(v);
    if (i < 0)
        return QStringLiteral("--progress takes auto, bar, plain or none, not '%1'").arg(v);
    o.progress = ProgressMode(i);
    return {};
}

// The one place a global option is added: its names, value, help and effect.
// The simulator's options follow from their own table.
const GlobalOption kFrontEndOptions[] = {
    {{"h,help", nullptr, "Show this help (after a command: the command's) and exit."},
     [](CliOptions& o, const QString&) -> Result { o.help = true; return {}; }},
    {{"help-all", nullptr, "Show this help with every command's own options and exit."},
     [](CliOptions& o, const QString&) -> Result { o.help = o.helpAll = true; return {}; }},
    {{"version", nullptr, "Show the version and exit."},
     [](CliOptions& o, const QString&) -> Result { o.version = true; return {}; }},
    {{"c,chip", "NAME", "The chip to work on: \"TYPE,MANUFACTURER,MODEL\", \"MANUFACTURER MODEL\" or the model "
                        "alone, in any case. Without --chip and --chip-id the chip in the socket is identified."},
     [](CliOptions& o, const QString& v) -> Result { o.chip = v; return {}; }},
    {{"chip-id", "ID", "The chip to work on by its identifier, e.g. 0xEF4017."},
     [](CliOptions& o, const QString& v) -> Result { o.chipId = v; return {}; }},
    {{"y,yes", nullptr, "Answer yes to the questions about files and sizes."},
     [](CliOptions& o, const QString&) -> Result { o.answer = true; return {}; }},
    {{"no", nullptr, "Answer no to every question."},
     [](CliOptions& o, const QString&) -> Result { o.answer = false; return {}; }},
    {{"force", nullptr, "Go on with a chip whose identifier differs from the chosen chip's (--yes never does)."},
     [](CliOptions& o, const QString&) -> Result { o.force = true; return {}; }},
    {{"q,quiet", nullptr, "Print only errors, and the questions with their answers."},
     [](CliOptions& o, const QString&) -> Result { o.quiet = true; return {}; }},
    {{"progress", "MODE", "auto (a bar on a terminal, else nothing), bar, plain (a line per whole percent on "
                          "stderr) or none."},
     parseProgress},
    {{"log", "FILE", "Append every log line and error, with its date, to FILE."},
     [](CliOptions& o, const QString& v) -> Result { o.logFile = v; return {}; }},
    {{"production-log", "FILE", "auto appends a CSV row per chip to FILE, synced; a row that cannot be written "
                                "fails the run."},
     [](CliOptions& o, const QString& v) -> Result { o.productionLog = v; return {}; }},
    {{"lang", "LANG", "Language of the messages: 0 or zh_CN, 1 or zh_TW, 2 or en (the default)."}, parseLanguage},
    {{"db", "FILE", "Read the chip list from FILE instead of the one the program finds."},
     [](CliOptions& o, const QString& v) -> Result { o.dbPath = v; return {}; }},
    {{"trace", nullptr, "Show every report on stderr: \"> \" to the programmer, \"< \" from it; a report that "
                        "failed ends in \"failed\"."},
     [](CliOptions& o, const QString&) -> Result { o.trace = true; return {}; }},
};

const std::vector<GlobalOption>& globalOptions()
{
    static const std::vector<GlobalOption> all = [] {
        std::vector<GlobalOption> options(std::begin(kFrontEndOptions), std::end(kFrontEndOptions));
        for (const SimulatorOptionEntry& s : simulatorOptionEntries())
            options.push_back({{s.name, s.valueName, s.help}, nullptr, s.apply});
        return options;
    }();
    return all;
}

QStringList namesOf(const OptionSpec& entry)
{
    return QString::fromLatin1(entry.names).split(QLatin1Char(','));
}

QString longName(const OptionSpec& entry)
{
    return namesOf(entry).last();
}

QCommandLineOption toOption(const OptionSpec& entry)
{
    QCommandLineOption option(namesOf(entry), QString::fromUtf8(entry.help));
    if (entry.valueName)
        option.setValueName(QString::fromLatin1(entry.valueName));
    return option;
}

const GlobalOption* globalNamed(const QString& name)
{
    for (const GlobalOption& g : globalOptions())
        if (namesOf(g.entry).contains(name))
            return &g;
    return nullptr;
}

// Whether an option takes a value as `command` reads it: a global option,
// or one of the command's own. Without a command, an option that any
// command gives a value takes one.
bool takesValue(const QString& name, const CommandInfo* command)
{
    if (const GlobalOption* g = globalNamed(name))
        return g->entry.valueName;
    for (const CommandInfo* c : command ? QList<const CommandInfo*>{command} : allCommands())
        for (const OptionSpec& entry : c->options)
            if (entry.valueName && namesOf(entry).contains(name))
                return true;
    return false;
}

// Where the command word is: the first word that is neither an option nor
// an option's value, the options read as `command` reads them. Options it
// does not know count as switches here; the parser names them afterwards.
std::optional<qsizetype> commandPosition(const QStringList& words, const CommandInfo* command)
{
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& w = words[i];
        if (w == QLatin1String("--"))
            return i + 1 < words.size() ? std::optional<qsizetype>(i + 1) : std::nullopt;
        if (w.startsWith(QLatin1String("--"))) {
            if (!w.contains(QLatin1Char('=')) && takesValue(w.mid(2), command))
                ++i;
        } else if (w.startsWith(QLatin1Char('-')) && w.size() > 1) {
            // Short options may be packed: "-qc NAME", "-cNAME".
            for (qsizetype j = 1; j < w.size(); ++j) {
                if (takesValue(w.mid(j, 1), command)) {
                    if (j + 1 == w.size())
                        ++i;
                    break;
                }
            }
        } else {
            return i;
        }
    }
    return std::nullopt;
}

// The command and its word's place: the first command whose own options,
// read before it, lead to its name. An option may take a value for one
// command and none for another (--fuse), so each is tried.
std::pair<const CommandInfo*, std::optional<qsizetype>> locateCommand(const QStringList& words)
{
    const CommandInfo* found = nullptr;
    std::optional<qsizetype> at;
    for (const CommandInfo* c : allCommands()) {
        const std::optional<qsizetype> p = commandPosition(words, c);
        if (p && words[*p] == QLatin1String(c->name) && (!at || *p < *at)) {
            found = c;
            at = p;
        }
    }
    return {found, found ? at : commandPosition(words, nullptr)};
}

// The words a command takes, from its word list: required, optional, unbounded.
struct WordCount {
    int required = 0;
    int optional = 0;
    bool more = false;
    QStringList names;
};

WordCount countWords(const char* wordList)
{
    WordCount c;
    for (const QString& w : QString::fromLatin1(wordList).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (w == QLatin1String("..."))
            c.more = true;
        else if (w.startsWith(QLatin1Char('[')))
            ++c.optional;
        else
            ++c.required;
        c.names << w;
    }
    return c;
}

Result checkWords(const CommandInfo& command, const QStringList& words)
{
    if (!command.words)
        return {};
    const WordCount c = countWords(command.words);
    if (words.size() < c.required)
        return QStringLiteral("%1: missing %2").arg(QLatin1String(command.name), c.names.value(int(words.size())));
    if (!c.more && words.size() > c.required + c.optional)
        return QStringLiteral("%1: unexpected argument '%2'")
            .arg(QLatin1String(command.name), words[c.required + c.optional]);
    return {};
}

constexpr int kHelpWidth = 79;
constexpr int kHelpColumn = 26;

// Words of text wrapped to the help's width from the given column.
QString wrapped(const QString& text, int column)
{
    QString out;
    int x = column;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (x > column && x + 1 + word.size() > kHelpWidth) {
            out += QLatin1Char('\n') + QString(column, QLatin1Char(' '));
            x = column;
        } else if (x > column) {
            out += QLatin1Char(' ');
            ++x;
        }
        out += word;
        x += int(word.size());
    }
    return out;
}

// "  left    text", the text on the next line when the left side is long.
QString helpItem(const QString& left, const QString& text)
{
    QString line = QStringLiteral("  ") + left;
    if (line.size() + 2 > kHelpColumn)
        line += QLatin1Char('\n') + QString(kHelpColumn, QLatin1Char(' '));
    else
        line += QString(kHelpColumn - line.size(), QLatin1Char(' '));
    return line + wrapped(text, kHelpColumn) + QLatin1Char('\n');
}

QString optionItem(const OptionSpec& entry)
{
    QStringList names;
    for (const QString& n : namesOf(entry))
        names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    QString left = names.join(QStringLiteral(", "));
    if (entry.valueName)
        left += QLatin1Char(' ') + QLatin1String(entry.valueName);
    if (namesOf(entry).first().size() > 1)
        left = QStringLiteral("    ") + left;  // long names line up under the short ones
    return helpItem(left, QString::fromUtf8(entry.help));
}

QString commandItem(const CommandInfo& c)
{
    QString left = QLatin1String(c.name);
    if (c.words && *c.words)
        left += QLatin1Char(' ') + QLatin1String(c.words);
    return helpItem(left, QString::fromUtf8(c.summary));
}

} // namespace

std::optional<QString> parseCliOptions(const QStringList& arguments, CliOptions& o)
{
    // "--simulate=FILE", the short form the window program also takes.
    const QStringList words = expandSimulateShorthand(arguments);
    const auto [command, at] = locateCommand(words);
    if (at && !command)
        return QStringLiteral("unknown command '%1' (\"ktr4180-cli --help\" lists them)").arg(words[*at]);
    if (command)
        o.command = QLatin1String(command->name);

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    for (const GlobalOption& g : globalOptions())
        parser.addOption(toOption(g.entry));
    if (command)
        for (const OptionSpec& entry : command->options)
            parser.addOption(toOption(entry));
    if (!parser.parse(QStringList{QStringLiteral("ktr4180-cli")} + words)) {
        QString error = parser.errorText();
        if (command)
            error += QStringLiteral(" (\"ktr4180-cli %1 --help\" lists its options)").arg(QLatin1String(command->name));
        return error;
    }

    // In the order given, so that a later option wins over an earlier one.
    QHash<QString, int> used;
    for (const QString& name : parser.optionNames()) {
        if (const GlobalOption* g = globalNamed(name)) {
            const QString canonical = longName(g->entry);
            const int index = used[canonical]++;
            if (const Result error = g->applyTo(o, g->entry.valueName ? parser.values(canonical).value(index) : QString()))
                return error;
            continue;
        }
        for (const OptionSpec& entry : command->options) {
            if (!namesOf(entry).contains(name))
                continue;
            const QString canonical = longName(entry);
            const int index = used[canonical]++;
            o.commandOptions[canonical] << (entry.valueName ? parser.values(canonical).value(index) : QString());
        }
    }

    QStringList positional = parser.positionalArguments();
    if (command) {
        positional.removeFirst();
        o.args = positional;
    } else if (!positional.isEmpty()) {
        return QStringLiteral("unexpected argument '%1'").arg(positional.first());
    }
    if (const Result error = checkSimulatorOptions(o.simulator))
        return error;
    if (command && !o.help)
        return checkWords(*command, o.args);
    return std::nullopt;
}

QString cliVersionText()
{
    return QStringLiteral("ktr4180-cli " KTR_VERSION "\n") + makerLines().copyrightEnglish + QLatin1Char('\n');
}

QString usageLine(const CommandInfo* command)
{
    if (!command)
        return QStringLiteral("usage: ktr4180-cli [OPTIONS] COMMAND [ARGUMENTS]");
    return QStringLiteral("usage: ktr4180-cli [OPTIONS] ") + QLatin1String(command->usage);
}

namespace {

// The table of file formats as the help lists it.
QString formatHelp()
{
    QString text;
    for (const FileFormat* f = fileFormatsBegin(); f != fileFormatsEnd(); ++f) {
        QStringList names;
        for (const QString& extension : QString::fromLatin1(f->extensions).split(QLatin1Char(' ')))
            names << QLatin1Char('.') + extension;
        const QString what = f->format == DataFormat::Capsule
                                 ? QStringLiteral("a capsule when its 2048-byte header is there, else raw")
                             : f->format == DataFormat::ByName ? QStringLiteral("by the content, as other names")
                                                               : formatTitle(f->format);
        text += helpItem(names.join(QLatin1Char(' ')), what);
    }
    return text + helpItem(QStringLiteral("any other name"),
                           QStringLiteral("by the content: a first line that is an Intel HEX record or an "
                                          "S-record makes it one, anything else is raw (the log says which)"));
}

QString helpText(bool withCommandOptions)
{
    QString text = QStringLiteral(
        "Usage: ktr4180-cli [OPTIONS] COMMAND [ARGUMENTS]\n"
        "Reads, erases, writes and verifies the serial memory chips in the socket of the\n"
        "KTR4180 USB programmer (SPI flash, 24/93/25/95-series EEPROM, microcontrollers\n"
        "with fuse and lock bits) and converts their data files. Options go anywhere\n"
        "on the line; \"--\" ends them. Log lines, messages and progress go to stderr.\n"
        "\n"
        "Commands:\n");
    for (const CommandInfo* c : allCommands())
        text += commandItem(*c);
    text += QStringLiteral("\nOptions:\n");
    for (const GlobalOption& g : globalOptions())
        text += optionItem(g.entry);
    for (const CommandInfo* c : allCommands()) {
        if (!withCommandOptions || c->options.empty())
            continue;
        text += QStringLiteral("\nOptions of %1:\n").arg(QLatin1String(c->name));
        for (const OptionSpec& entry : c->options)
            text += optionItem(entry);
    }
    text += QStringLiteral(
        "\n"
        "Files are named by path; \"-\" is standard input or output, and so are\n"
        "/dev/stdin and /dev/stdout (\">> file\" appends). The format follows the\n"
        "extension unless --format names it:\n")
        + formatHelp() + QStringLiteral(
        "\n"
        "Exit status:\n"
        "  0                       success\n"
        "  1                       a failure the program reported\n"
        "  2                       bad usage, or a chip that must be named\n"
        "  130                     stopped by Ctrl+C (between two reports)\n"
        "\n"
        "Examples:\n"
        "  $ ktr4180-cli list-chips w25q64\n"
        "  $ ktr4180-cli --chip w25q64jv read --full image.bin\n"
        "  $ ktr4180-cli -c \"winbond w25q64jv\" --yes write image.hex\n"
        "  $ ktr4180-cli convert --format srec image.bin image.s19\n"
        "  $ ktr4180-cli --simulate --chip w25q64jv read - | xxd | head\n"
        "\n"
        "Run \"ktr4180-cli COMMAND --help\" for a command's own options.\n");
    return text;
}

} // namespace

QString cliHelpText()
{
    return helpText(false);
}

QString cliHelpAllText()
{
    return helpText(true);
}

QString commandHelpText(const CommandInfo& c)
{
    QString text = QStringLiteral("Usage: ktr4180-cli [OPTIONS] ") + QLatin1String(c.usage) + QStringLiteral("\n")
                   + wrapped(QString::fromUtf8(c.summary), 0) + QStringLiteral("\n");
    if (c.details)
        text += QLatin1Char('\n') + wrapped(QString::fromUtf8(c.details), 0) + QLatin1Char('\n');
    if (!c.options.empty()) {
        text += QStringLiteral("\nOptions of %1:\n").arg(QLatin1String(c.name));
        for (const OptionSpec& entry : c.options)
            text += optionItem(entry);
    }
    text += QStringLiteral("\nThe global options (\"ktr4180-cli --help\") go anywhere on the line.\n");
    return text;
}
