#include "app/Settings.h"

#include "app/IniFile.h"
#include "app/MessageTable.h"

namespace {

const QString kEnvironment = QStringLiteral("Environment");
const QString kChip = QStringLiteral("CHIP");
const QString kDevice = QStringLiteral("DEVICE");
const QString kOptions = QStringLiteral("OPTIONS");
const QString kProduction = QStringLiteral("PRODUCTION");
const QString kProductionLog = QStringLiteral("LogFile");

struct OptionKey {
    const char* key;
    bool Settings::*field;
};

// The order of reading and of writing.
constexpr OptionKey kOptionKeys[] = {
    {"ID", &Settings::id},
    {"ERASE", &Settings::erase},
    {"WFLASH", &Settings::writeFlash},
    {"WEPROM", &Settings::writeEeprom},
    {"VFLASH", &Settings::verifyFlash},
    {"VEPROM", &Settings::verifyEeprom},
    {"SN", &Settings::serialNumber},
    {"FUSE", &Settings::fuse},
};

bool failed(const IniFile& file, QString* error)
{
    if (error)
        *error = file.writeError();
    return false;
}

} // namespace

bool LoadSettings(IniFile& f, Settings& s, QString* error)
{
    s.formMax = f.readBool(kEnvironment, QStringLiteral("FormMax"), false);
    if (!s.formMax) {
        s.formTop = f.readInteger(kEnvironment, QStringLiteral("FormTop"), 10);
        s.formLeft = f.readInteger(kEnvironment, QStringLiteral("FormLeft"), 10);
        s.formHeight = f.readInteger(kEnvironment, QStringLiteral("FormHeight"), 500);
        s.formWidth = f.readInteger(kEnvironment, QStringLiteral("FormWidth"), 700);
    }
    s.index1 = f.readInteger(kChip, QStringLiteral("INDEX1"), 0);
    s.index2 = f.readInteger(kChip, QStringLiteral("INDEX2"), 0);
    s.index3 = f.readInteger(kChip, QStringLiteral("INDEX3"), 0);
    s.config = f.readBool(kDevice, QStringLiteral("CONFIG"), false);
    s.chip = f.readInteger(kDevice, QStringLiteral("chip"), 0);
    s.speed = f.readInteger(kDevice, QStringLiteral("SPEED"), 0);
    s.language = clampLanguage(f.readInteger(kDevice, QStringLiteral("LANGU"), 0));
    s.start = f.readInteger(kDevice, QStringLiteral("START"), 0);
    if (!f.writeInteger(kDevice, QStringLiteral("SN"), 1))
        return failed(f, error);
    s.uid = f.readInteger(kDevice, QStringLiteral("UID"), 1);
    for (const OptionKey& o : kOptionKeys)
        s.*o.field = f.readBool(kOptions, QString::fromLatin1(o.key), false);
    s.productionLog = f.readString(kProduction, kProductionLog, QString());
    return true;
}

bool SaveSettings(IniFile& f, const Settings& s, QString* error)
{
    const struct {
        const QString& section;
        const char* key;
        int32_t value;
    } values[] = {
        {kEnvironment, "FormHeight", s.formHeight},
        {kEnvironment, "FormWidth", s.formWidth},
        {kEnvironment, "FormTop", s.formTop},
        {kEnvironment, "FormLeft", s.formLeft},
        {kEnvironment, "FormMax", s.formMax ? 1 : 0},
        {kChip, "INDEX1", s.index1},
        {kChip, "INDEX2", s.index2},
        {kChip, "INDEX3", s.index3},
        {kDevice, "START", s.start},
        {kDevice, "UID", s.uid},
        {kDevice, "SPEED", s.speed},
        {kDevice, "LANGU", s.language},
    };
    for (const auto& v : values)
        if (!f.writeInteger(v.section, QString::fromLatin1(v.key), v.value))
            return failed(f, error);
    for (const OptionKey& o : kOptionKeys)
        if (!f.writeBool(kOptions, QString::fromLatin1(o.key), s.*o.field))
            return failed(f, error);
    if (!s.productionLog.isEmpty() || f.readString(kProduction, kProductionLog))
        if (!f.writeString(kProduction, kProductionLog, s.productionLog))
            return failed(f, error);
    return true;
}
