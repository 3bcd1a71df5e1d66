#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/FileArgs.h"

#include "chipdb/ChipGrid.h"
#include "chipdb/ChipKey.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

const QStringList kColumns = {
    QStringLiteral("index"),       QStringLiteral("type"),         QStringLiteral("manufacturer"),
    QStringLiteral("model"),       QStringLiteral("id"),           QStringLiteral("flash_bytes"),
    QStringLiteral("flash_page"),  QStringLiteral("class"),        QStringLiteral("subtype"),
    QStringLiteral("erase_delay"), QStringLiteral("eeprom_bytes"), QStringLiteral("eeprom_page"),
    QStringLiteral("interface"),   QStringLiteral("voltage"),
};

QJsonObject chipJson(int index, const ChipEntry& e)
{
    const ChipNames n = chipNames(e.keyText());
    return QJsonObject{
        {QStringLiteral("index"), index},
        {QStringLiteral("type"), QString::fromUtf8(n.type)},
        {QStringLiteral("manufacturer"), QString::fromUtf8(n.manufacturer)},
        {QStringLiteral("model"), QString::fromUtf8(n.model)},
        {QStringLiteral("id"), qint64(e.chipId())},
        {QStringLiteral("id_hex"), QString::asprintf("0x%06X", static_cast<unsigned>(e.chipId()))},
        {QStringLiteral("flash_bytes"), qint64(e.flashBytes())},
        {QStringLiteral("flash_page"), qint64(e.flashPage())},
        {QStringLiteral("class"), int(e.chipClass)},
        {QStringLiteral("subtype"), int(e.subtype)},
        {QStringLiteral("subtype_hex"), QString::asprintf("0x%02X", e.subtype)},
        {QStringLiteral("erase_delay"), qint64(e.eraseDelayValue())},
        {QStringLiteral("eeprom_bytes"), qint64(e.eepromBytes())},
        {QStringLiteral("eeprom_page"), int(e.eepromPageSize)},
        {QStringLiteral("interface"), int(e.interfaceCode)},
        {QStringLiteral("voltage"), int(e.voltageCode)},
    };
}

} // namespace

int cmdListChips(CliSession& s, const QStringList& words)
{
    const ChipTable& t = s.state().chips();
    // Words of a name in any case, each somewhere in the key, so that what
    // --chip takes ("winbond w25q64jv") finds its chip; a blank text finds
    // nothing, as in the search window.
    const QStringList needles = words.value(0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const auto fits = [&](const QString& key) {
        return std::all_of(needles.begin(), needles.end(),
                           [&](const QString& n) { return key.contains(n, Qt::CaseInsensitive); });
    };
    std::vector<int> positions;
    for (int i = 0; i < t.count(); ++i)
        if (words.isEmpty() || (!needles.isEmpty() && fits(QString::fromUtf8(t[i].keyText()))))
            positions.push_back(i);
    if (s.isSet(QStringLiteral("json"))) {
        QJsonArray chips;
        for (const int i : positions)
            chips.append(chipJson(i, t[i]));
        s.out() << QJsonDocument(chips).toJson();
        return kExitOk;
    }
    s.out() << "# " << kColumns.join(QLatin1Char('\t')) << '\n';
    for (const int i : positions) {
        const ChipEntry& e = t[i];
        const ChipNames n = chipNames(e.keyText());
        s.out() << i << '\t' << QString::fromUtf8(n.type) << '\t' << QString::fromUtf8(n.manufacturer) << '\t'
                << QString::fromUtf8(n.model) << '\t'
                << QString::asprintf("0x%06X", static_cast<unsigned>(e.chipId())) << '\t' << e.flashBytes()
                << '\t' << e.flashPage() << '\t' << e.chipClass << '\t' << QString::asprintf("0x%02X", e.subtype)
                << '\t' << e.eraseDelayValue() << '\t' << e.eepromBytes() << '\t' << e.eepromPageSize << '\t'
                << e.interfaceCode << '\t' << e.voltageCode << '\n';
    }
    return kExitOk;
}

namespace {

// The text of a chip list holds some thousand lines of a few dozen bytes.
constexpr qint64 kChipTextLimit = 16 << 20;

// The import splits at every run of tabs and blanks, so an empty field or a
// blank in one would move the later fields into other columns: a Flash size
// read as a page size, silently.
int refuseShiftingLine(CliSession& s, const QList<QByteArray>& lines)
{
    for (int i = 0; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split('\t');
        for (int column = 0; column < ChipGrid::kVisibleColumns; ++column) {
            const QByteArray field = column < fields.size() ? fields[column].trimmed() : QByteArray();
            if (field.isEmpty() || field.contains(' ') || field.contains('\t')) {
                s.ui().showError(s.message(Msg::CliChipLineField).arg(i + 1).arg(column + 1));
                return i + 1;
            }
        }
    }
    return 0;
}

// A comma in a name would split the chip key into other names.
int refuseCommaInName(CliSession& s, const ChipGrid& grid)
{
    for (int row = 1; row < grid.rowCount(); ++row) {
        for (const int column : {ChipGrid::ColType, ChipGrid::ColManufacturer, ChipGrid::ColModel, ChipGrid::ColAssociation}) {
            const QString name = grid.trimmedCell(column, row);
            if (name.contains(QLatin1Char(','))) {
                s.ui().showError(s.message(Msg::CliChipNameHasComma).arg(row).arg(name));
                return row;
            }
        }
    }
    return 0;
}

} // namespace

int cmdImportChips(CliSession& s, const QStringList& words)
{
    if (!checkInput(s, words[0]) || !checkOutput(s, words[1]))
        return kExitFailed;
    const auto text = readInputBytes(s, words[0], kChipTextLimit);
    if (!text)
        return kExitFailed;
    const QList<QByteArray> lines = readLines(*text);
    if (refuseShiftingLine(s, lines) != 0)
        return kExitFailed;
    ChipGrid grid;
    grid.importLines(lines);
    if (refuseCommaInName(s, grid) != 0)
        return kExitFailed;
    ChipTable table;
    if (const auto error = grid.saveInto(table)) {
        s.ui().showError(error->text(s.ui().languageIndex()));
        return kExitFailed;
    }
    return writeOutputBytes(s, words[1], table.fileBytes(grid.rowCount() - 1)) ? kExitOk : kExitFailed;
}

int cmdExportChips(CliSession& s, const QStringList& words)
{
    if (!checkOutput(s, words[0]))
        return kExitFailed;
    ChipGrid grid;
    grid.fillFrom(s.state().chips());
    if (!writeOutputBytes(s, words[0], textOfLines(grid.exportLines())))
        return kExitFailed;
    s.ui().note(s.message(Msg::CliExportDone));
    return kExitOk;
}
