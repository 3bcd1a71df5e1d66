#include "cli/JsonResults.h"

#include "chipdb/ChipEntry.h"
#include "chipdb/ChipKey.h"
#include "cli/CliSession.h"
#include "operations/CompareReport.h"

#include <QJsonArray>
#include <QJsonDocument>

QJsonObject chipJson(const ChipEntry& chip)
{
    const ChipNames names = chipNames(chip.keyText());
    return QJsonObject{
        {QStringLiteral("type"), QString::fromUtf8(names.type)},
        {QStringLiteral("manufacturer"), QString::fromUtf8(names.manufacturer)},
        {QStringLiteral("model"), QString::fromUtf8(names.model)},
        {QStringLiteral("id"), qint64(chip.chipId())},
        {QStringLiteral("id_hex"), QString::asprintf("0x%06X", unsigned(chip.chipId()))},
    };
}

QJsonObject compareJson(const CompareReport& report)
{
    QJsonArray ranges;
    for (const CompareReport::Range& r : report.listedRanges())
        ranges.append(QJsonObject{{QStringLiteral("start"), r.start},
                                  {QStringLiteral("end"), r.end},
                                  {QStringLiteral("bytes"), r.length()}});
    QJsonValue diagnosis = QJsonValue::Null;
    switch (report.direction()) {
    case CompareReport::Direction::StillOne: diagnosis = QStringLiteral("not-programmed"); break;
    case CompareReport::Direction::NotErased: diagnosis = QStringLiteral("not-erased"); break;
    case CompareReport::Direction::Mixed: diagnosis = QStringLiteral("mixed"); break;
    case CompareReport::Direction::None: break;
    }
    return QJsonObject{
        {QStringLiteral("equal"), report.equal()},
        {QStringLiteral("compared"), report.compared()},
        {QStringLiteral("bytes"), report.differingBytes()},
        {QStringLiteral("range_count"), report.rangeCount()},
        {QStringLiteral("ranges"), ranges},
        {QStringLiteral("diagnosis"), diagnosis},
        {QStringLiteral("unprotect_hint"), report.suggestsUnprotect()},
    };
}

void printJson(CliSession& s, const QJsonObject& json)
{
    s.out() << QJsonDocument(json).toJson();
}
