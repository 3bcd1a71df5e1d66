#include "cli/CliSession.h"
#include "cli/Commands.h"

#include "chipdb/ChipGrid.h"
#include "chipdb/ChipKey.h"


int cmdListChips(CliSession& s, const QStringList& args)
{
    if (args.size() > 1)
        return kExitUsage;
    const ChipTable& t = s.state().chips();
    std::vector<int> positions;
    if (args.size() == 1) {
        positions = t.positionsHolding(args[0].toUtf8());
    } else {
        for (int i = 0; i < t.count(); ++i)
            positions.push_back(i);
    }
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

int cmdImportChips(CliSession& s, const QStringList& args)
{
    if (args.size() != 2)
        return kExitUsage;
    const auto lines = readLinesOfFile(args[0]);
    if (!lines) {
        s.ui().showError(s.ui().message(Msg::CantOpenFile) + QStringLiteral(": ") + args[0]);
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
    if (!table.saveFile(args[1], grid.rowCount() - 1, &why)) {
        s.ui().showError(s.ui().message(Msg::ErrorWritingFile) + QLatin1Char(' ') + why);
        return kExitFailed;
    }
    return kExitOk;
}

int cmdExportChips(CliSession& s, const QStringList& args)
{
    if (args.size() != 1)
        return kExitUsage;
    ChipGrid grid;
    grid.fillFrom(s.state().chips());
    QString why;
    if (!writeLinesToFile(args[0], grid.exportLines(), why)) {
        s.ui().showError(s.ui().message(Msg::ErrorWritingFile) + QLatin1Char(' ') + why);
        return kExitFailed;
    }
    s.ui().showMessage(QStringLiteral("Info"), s.ui().message(Msg::ExportDone));
    return kExitOk;
}
