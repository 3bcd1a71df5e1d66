#include "cli/CliSession.h"
#include "cli/Commands.h"

int cmdProbe(CliSession& s, const QStringList& args)
{
    if (!args.isEmpty())
        return kExitUsage;
    uint8_t id[5] = {};
    const int r = s.state().programmer().probeChip(id);
    if (r < 0) {
        s.ui().showError(s.ui().message(Msg::NotConnected));
        return kExitFailed;
    }
    if (r == 0) {
        s.ui().showError(s.ui().message(Msg::NoChipDetected));
        return kExitFailed;
    }
    s.out() << "class: " << (r - 1) << '\n'
            << "id: " << QString::asprintf("%02X %02X %02X %02X %02X", id[0], id[1], id[2], id[3], id[4]) << '\n';
    return kExitOk;
}
