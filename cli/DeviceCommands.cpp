#include "cli/CliSession.h"
#include "cli/Commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

int cmdProbe(CliSession& s, const QStringList&)
{
    uint8_t id[5] = {};
    const int r = s.state().programmer().probeChip(id);
    if (r < 0) {
        s.ui().showError(s.state().programmer().failureText(Msg::NotConnected));
        return kExitFailed;
    }
    if (r == 0) {
        s.ui().showError(s.message(Msg::NoChipDetected));
        return kExitFailed;
    }
    const QString bytes = QString::asprintf("%02X %02X %02X %02X %02X", id[0], id[1], id[2], id[3], id[4]);
    if (s.isSet(QStringLiteral("json"))) {
        QJsonArray idBytes;
        for (const uint8_t b : id)
            idBytes.append(int(b));
        const unsigned chipId = (unsigned(id[1]) << 16) | (unsigned(id[2]) << 8) | id[3];
        const QJsonObject json{
            {QStringLiteral("class"), r - 1},
            {QStringLiteral("id_bytes"), idBytes},
            {QStringLiteral("id_bytes_hex"), bytes},
            {QStringLiteral("id"), qint64(chipId)},
            {QStringLiteral("id_hex"), QString::asprintf("0x%06X", chipId)},
        };
        s.out() << QJsonDocument(json).toJson();
        return kExitOk;
    }
    s.out() << "class: " << (r - 1) << '\n' << "id: " << bytes << '\n';
    return kExitOk;
}
