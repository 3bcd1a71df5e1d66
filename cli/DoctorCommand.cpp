// doctor: the check of the set-up, one line per check (or one JSON document),
// exit 0 only when every check is ok.

#include "cli/CliSession.h"
#include "cli/Commands.h"

#include "operations/SetupChecks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

int cmdDoctor(CliSession& s, const QStringList&)
{
    const std::vector<SetupCheck> checks =
        runSetupChecks(s.systemPaths(), s.state().programmer(), s.state().chips(), s.ui().languageIndex());
    if (s.isSet(QStringLiteral("json"))) {
        QJsonArray list;
        for (const SetupCheck& c : checks) {
            QJsonObject check{{QStringLiteral("name"), QLatin1String(c.name)},
                              {QStringLiteral("ok"), c.ok},
                              {QStringLiteral("detail"), c.detail}};
            if (c.simulated)
                check.insert(QStringLiteral("simulated"), true);
            list.append(check);
        }
        s.out() << QJsonDocument(QJsonObject{{QStringLiteral("checks"), list}}).toJson();
    } else {
        for (const QString& line : setupCheckLines(checks))
            s.out() << line << '\n';
    }
    return allSetupChecksOk(checks) ? kExitOk : kExitFailed;
}
