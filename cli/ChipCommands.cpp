#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/FileArgs.h"

#include "chipdb/ChipGrid.h"
#include "chipdb/ChipKey.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
    // Part of a name in any case; a blank one finds nothing, as in the search window.
    const QString needle = words.value(0).trimmed();
    std::vector<int> positions;
    for (int i = 0; i < t.count(); ++i)
        if (words.isEmpty() || (!needle.isEmpty() && QString::fromUtf8(t[i].keyText()).contains(needle, Qt::CaseInsensitive)))
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

int cmdImportChips(CliSession& s, const QStringList& words)
{
    if (!checkInput(s, words[0]) || !checkOutput(s, words[1]))
        return kExitFailed;
    const auto lines = readLinesOfFile(words[0]);
    if (!lines) {
        s.ui().showError(s.message(Msg::CliCannotReadFile) + words[0]);
        return kExitFailed;
    }
    ChipGrid grid;
    grid.importLines(*lines);
    ChipTable table;
    if (const auto error = grid.saveInto(table)) {
        s.ui().showError(error->text(s.ui().languageIndex()));
        return kExitFailed;
    }
    QString why;
    if (!table.saveFile(words[1], grid.rowCount() - 1, &why)) {
        s.ui().showError(s.message(Msg::CliCannotWriteFile) + words[1] + QLatin1Char('\n') + why);
        return kExitFailed;
    }
    return kExitOk;
}

int cmdExportChips(CliSession& s, const QStringList& words)
{
    if (!checkOutput(s, words[0]))
        return kExitFailed;
    ChipGrid grid;
    grid.fillFrom(s.state().chips());
    QString why;
    if (!writeLinesToFile(words[0], grid.exportLines(), why)) {
        s.ui().showError(s.message(Msg::CliCannotWriteFile) + words[0] + QLatin1Char('\n') + why);
        return kExitFailed;
    }
    s.ui().showMessage(QStringLiteral("Info"), s.message(Msg::ExportDone));
    return kExitOk;
}
