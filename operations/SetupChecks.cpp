#include "operations/SetupChecks.h"

#include "app/MessageTable.h"
#include "chipdb/ChipKey.h"
#include "chipdb/ChipTable.h"
#include "device/HidDevice.h"
#include "device/Programmer.h"

#include <algorithm>
#include <cstring>

namespace {

SetupCheck makeCheck(const char* name, Msg label, bool ok, QString detail, int language)
{
    SetupCheck c;
    c.name = name;
    c.ok = ok;
    c.label = messageText(label, language);
    c.detail = std::move(detail);
    return c;
}

QString text(Msg id, int language)
{
    return messageText(id, language);
}

QString joined(const QStringList& items)
{
    return items.join(QStringLiteral(", "));
}

QStringList existingNodes(const UsbSetup& facts)
{
    QStringList paths;
    for (const UsbSetup::Node& n : facts.nodes)
        if (n.exists)
            paths << n.path;
    return paths;
}

SetupCheck usbCheck(const UsbSetup& facts, const UsbSetupPaths& paths, int language)
{
    if (!facts.devices.empty()) {
        QStringList found;
        for (const UsbSetup::Device& d : facts.devices)
            found << QStringLiteral("%1 (Bus %2 Device %3)")
                         .arg(d.name)
                         .arg(d.bus, 3, 10, QLatin1Char('0'))
                         .arg(d.address, 3, 10, QLatin1Char('0'));
        return makeCheck("usb", Msg::SetupUsb, true, text(Msg::SetupFound, language).arg(joined(found)), language);
    }
    const QString detail = facts.usbVisible
                               ? text(Msg::SetupNotOnUsb, language)
                               : text(Msg::SetupNoUsbBus, language).arg(paths.sysfs + QStringLiteral("/bus/usb"));
    return makeCheck("usb", Msg::SetupUsb, false, detail, language);
}

SetupCheck nodeCheck(const UsbSetup& facts, int language)
{
    if (facts.nodes.empty())
        return makeCheck("hidraw", Msg::SetupNode, false,
                         text(facts.devices.empty() ? Msg::SetupNeedsUsb : Msg::SetupNoNode, language), language);
    for (const UsbSetup::Node& n : facts.nodes)
        if (!n.exists)
            return makeCheck("hidraw", Msg::SetupNode, false, text(Msg::SetupNodeMissing, language).arg(n.name, n.path),
                             language);
    return makeCheck("hidraw", Msg::SetupNode, true, text(Msg::SetupFound, language).arg(joined(existingNodes(facts))),
                     language);
}

SetupCheck accessCheck(const UsbSetup& facts, int language)
{
    const QStringList nodes = existingNodes(facts);
    if (nodes.isEmpty())
        return makeCheck("access", Msg::SetupAccess, false, text(Msg::SetupNeedsNode, language), language);
    for (const UsbSetup::Node& n : facts.nodes)
        if (n.exists && n.accessError != 0)
            return makeCheck("access", Msg::SetupAccess, false,
                             text(Msg::SetupAccessDenied, language)
                                 .arg(n.path, QString::fromLocal8Bit(std::strerror(n.accessError))),
                             language);
    return makeCheck("access", Msg::SetupAccess, true, text(Msg::SetupAccessOk, language).arg(joined(nodes)), language);
}

QStringList foldersOf(const QStringList& files)
{
    QStringList folders;
    for (const QString& f : files) {
        const QString folder = f.left(f.lastIndexOf(QLatin1Char('/')));
        if (!folders.contains(folder))
            folders << folder;
    }
    return folders;
}

SetupCheck ruleCheck(const UsbSetup& facts, const UsbSetupPaths& paths, int language)
{
    if (!facts.rulesRead.isEmpty())
        return makeCheck("udev-rule", Msg::SetupRule, true,
                         text(Msg::SetupRuleInstalled, language).arg(joined(facts.rulesRead)), language);
    QString detail;
    if (!facts.rulesMasked.empty())
        detail = text(Msg::SetupRuleMasked, language).arg(facts.rulesMasked.front().rule, facts.rulesMasked.front().by);
    else if (!facts.rulesUnread.isEmpty())
        detail = text(Msg::SetupRuleUnread, language).arg(joined(foldersOf(facts.rulesUnread)));
    else
        detail = text(Msg::SetupRuleMissing, language).arg(joined(paths.udevRuleDirs + paths.otherRuleDirs));
    return makeCheck("udev-rule", Msg::SetupRule, false, detail, language);
}

SetupCheck holderCheck(const UsbSetup& facts, int language)
{
    const QStringList nodes = existingNodes(facts);
    if (nodes.isEmpty())
        return makeCheck("in-use", Msg::SetupHolders, false, text(Msg::SetupNeedsNode, language), language);
    if (facts.holders.empty()) {
        QString detail = text(Msg::SetupNotHeld, language).arg(joined(nodes));
        if (facts.hiddenProcesses > 0)
            detail += text(Msg::SetupHiddenProcesses, language);
        return makeCheck("in-use", Msg::SetupHolders, true, detail, language);
    }
    QStringList programs;
    for (const UsbSetup::Holder& h : facts.holders)
        programs << QStringLiteral("%1 (pid %2)").arg(h.command).arg(h.pid);
    return makeCheck("in-use", Msg::SetupHolders, false,
                     text(Msg::SetupHeldBy, language).arg(facts.holders.front().node, joined(programs)), language);
}

const char* className(int chipClass)
{
    static const char* const names[] = {"SPI flash", "24-series EEPROM", "93-series EEPROM", "95-series EEPROM",
                                        "25-series EEPROM"};
    return chipClass >= 0 && chipClass < 5 ? names[chipClass] : "?";
}

// The chips of the list with this identifier and class, as "MANUFACTURER MODEL".
QStringList chipsWithId(const ChipTable& chips, int chipClass, int32_t id)
{
    QStringList names;
    for (int i = 0; id != 0 && i < ChipTable::kCapacity && !chips[i].isEnd(); ++i)
        if (chips[i].chipId() == id && chips[i].chipClass == chipClass) {
            const ChipNames n = chipNames(chips[i].keyText());
            const QString name = QString::fromUtf8(n.manufacturer + ' ' + n.model);
            if (!names.contains(name))
                names << name;
        }
    return names;
}

QString milliseconds(qint64 ns)
{
    return QString::number(double(ns) / 1e6, 'f', 3);
}

} // namespace

std::vector<SetupCheck> usbSetupChecks(const UsbSetup& facts, const UsbSetupPaths& paths, int language)
{
    return {usbCheck(facts, paths, language), nodeCheck(facts, language), accessCheck(facts, language),
            ruleCheck(facts, paths, language), holderCheck(facts, language)};
}

std::vector<SetupCheck> simulatedUsbChecks(int language)
{
    std::vector<SetupCheck> checks = {
        makeCheck("usb", Msg::SetupUsb, true, {}, language),
        makeCheck("hidraw", Msg::SetupNode, true, {}, language),
        makeCheck("access", Msg::SetupAccess, true, {}, language),
        makeCheck("udev-rule", Msg::SetupRule, true, {}, language),
        makeCheck("in-use", Msg::SetupHolders, true, {}, language),
    };
    for (SetupCheck& c : checks) {
        c.simulated = true;
        c.detail = text(Msg::SetupSimulated, language);
    }
    return checks;
}

SetupCheck probeCheck(int answer, const uint8_t* id, const ChipTable& chips, int language)
{
    if (answer < 0)
        return makeCheck("probe", Msg::SetupProbe, false, text(Msg::SetupNoAnswer, language), language);
    if (answer == 0)
        return makeCheck("probe", Msg::SetupProbe, false, text(Msg::SetupNoChipAnswers, language), language);
    const int chipClass = answer - 1;
    const int32_t chipId = int32_t((uint32_t(id[1]) << 16) | (uint32_t(id[2]) << 8) | id[3]);
    const QStringList names = chipsWithId(chips, chipClass, chipId);
    const QString detail = text(Msg::SetupChipAnswers, language)
                               .arg(QString::number(chipClass), QLatin1String(className(chipClass)),
                                    QString::asprintf("%02X %02X %02X", id[1], id[2], id[3]),
                                    names.isEmpty() ? QString() : QStringLiteral(": ") + joined(names));
    return makeCheck("probe", Msg::SetupProbe, true, detail, language);
}

SetupCheck timingCheck(const ExchangeTimes& times, int language)
{
    if (!times.connected)
        return makeCheck("exchange-time", Msg::SetupTiming, false, text(Msg::SetupNeedsAnswer, language), language);
    if (times.failedAt != 0)
        return makeCheck("exchange-time", Msg::SetupTiming, false,
                         text(Msg::SetupExchangeFailed, language).arg(times.failedAt).arg(times.asked), language);
    const qint64 median = times.median();
    const QString count = QString::number(times.nanoseconds.size());
    if (median > kSlowExchangeNs)
        return makeCheck("exchange-time", Msg::SetupTiming, false,
                         text(Msg::SetupExchangeSlow, language).arg(milliseconds(median), count), language);
    return makeCheck("exchange-time", Msg::SetupTiming, true,
                     text(Msg::SetupExchangeTime, language)
                         .arg(milliseconds(median), count, milliseconds(times.fastest()), milliseconds(times.slowest())),
                     language);
}

std::vector<SetupCheck> runSetupChecks(const UsbSetupPaths& paths, Programmer& programmer, const ChipTable& chips,
                                       int language)
{
    std::vector<SetupCheck> checks =
        programmer.device().backend().simulated()
            ? simulatedUsbChecks(language)
            : usbSetupChecks(scanUsbSetup(paths, kProgrammerVendorId, kProgrammerProductId), paths, language);
    uint8_t id[5] = {};
    const int answer = programmer.probeChip(id);
    checks.push_back(probeCheck(answer, id, chips, language));
    // A programmer that did not answer the probe has no exchange to time.
    checks.push_back(timingCheck(answer < 0 ? ExchangeTimes{} : timeExchanges(programmer), language));
    return checks;
}

bool allSetupChecksOk(const std::vector<SetupCheck>& checks)
{
    return std::all_of(checks.begin(), checks.end(), [](const SetupCheck& c) { return c.ok; });
}

QString setupCheckLine(const SetupCheck& check)
{
    return (check.ok ? QStringLiteral("ok    ") : QStringLiteral("FAIL  ")) + check.label + QStringLiteral(": ")
           + check.detail;
}

QStringList setupCheckLines(const std::vector<SetupCheck>& checks)
{
    QStringList lines;
    for (const SetupCheck& c : checks)
        lines << setupCheckLine(c);
    return lines;
}
