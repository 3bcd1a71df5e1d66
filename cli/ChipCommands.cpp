#include "cli/CliSession.h"
#include "cli/Commands.h"

#include "chipdb/ChipGrid.h"
#include "chipdb/ChipKey.h"

#include <QFile>
#include <QSaveFile>

int cmdListChips(CliSession& s, const QStringList& args)
{
    if (args.size() > 1)
        return kExitUsage;
    const ChipTable& t = s.state().chips();
    const bool filtered = args.size() == 1;
    const QByteArray text = filtered ? trimControl(args[0].toUtf8()) : QByteArray();
    if (filtered && text.isEmpty())
        return kExitOk;
    for (int i = 0; i < ChipTable::kCapacity && !t[i].isEnd(); ++i) {
        const ChipEntry& e = t[i];
        if (filtered && !e.keyText().contains(text))
            continue;
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
    QFile in(args[0]);
    if (!in.open(QIODevice::ReadOnly)) {
        s.ui().showError(s.ui().message(Msg::CantOpenFile) + QStringLiteral(": ") + args[0]);
        return kExitFailed;
    }
    ChipGrid grid;
    grid.importLines(readLines(in.readAll()));
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
    QSaveFile out(args[0]);
    QByteArray bytes;
    for (const QString& line : grid.exportLines())
        bytes += line.toUtf8() + '\n';
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        s.ui().showError(s.ui().message(Msg::ErrorWritingFile) + QLatin1Char(' ') + out.errorString());
        return kExitFailed;
    }
    s.ui().showMessage(QStringLiteral("Info"), s.ui().message(Msg::ExportDone));
    return kExitOk;
}
