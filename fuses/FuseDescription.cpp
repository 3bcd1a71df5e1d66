#include "fuses/FuseDescription.h"

#include "app/IntegerText.h"
#include "app/UserInterface.h"
#include "chipdb/Xmlparser.h"

#include <string>

namespace {

// MASK, VALUE and DEFAULT: decimal or "0x" hexadecimal; only the low 8 bits
// count, and text that is no number counts as 0.
uint8_t byteValue(const XMLFile& xml, const std::string& path)
{
    return static_cast<uint8_t>(parseIntegerOr(xml.getText(path).trimmed(), 0));
}

// FUSEBYTES: its leading decimal digits.
int leadingNumber(const std::string& text)
{
    std::size_t i = text.find_first_not_of(' ');
    long long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && n <= 1000000; ++i)
        n = n * 10 + (text[i] - '0');
    return static_cast<int>(n);
}

} // namespace

std::optional<FuseDescription> ReadFuseDescription(const QString& path, UserInterface& ui)
{
    const XMLFile xml(path, ui);
    const bool chinese = clampLanguage(ui.languageIndex()) == 0;
    FuseDescription d;
    bool tooLarge = false;

    if (xml.hasPath("ZFPART\\FUSEBYTES"))
        d.fuseByteCount = leadingNumber(xml.getValue("ZFPART\\FUSEBYTES"));
    // The lock byte sits right after the fuse bytes and must fit too.
    tooLarge = d.fuseByteCount >= FuseDescription::kMaxBytes;

    for (int n = 0; !tooLarge && xml.hasPath("ZFPART\\FUSE" + std::to_string(n)); ++n) {
        if (n == FuseDescription::kMaxBytes) {
            tooLarge = true;
            break;
        }
        const std::string fuse = "ZFPART\\FUSE" + std::to_string(n) + "\\";
        for (int j = 0; j < FuseDescription::kMaxSettingsPerByte && xml.hasPath(fuse + "TEXT" + std::to_string(j)); ++j) {
            if (static_cast<int>(d.settings.size()) == FuseDescription::kMaxSettings) {
                tooLarge = true;
                break;
            }
            const std::string text = fuse + "TEXT" + std::to_string(j) + "\\";
            FuseSetting s;
            s.byteIndex = static_cast<uint8_t>(n);
            s.mask = byteValue(xml, text + "MASK");
            s.value = byteValue(xml, text + "VALUE");
            s.caption = chinese && xml.hasPath(text + "CNTEXT") ? xml.getText(text + "CNTEXT") : xml.getText(text + "TEXT");
            d.settings.push_back(std::move(s));
        }
        if (tooLarge)
            break;
        FuseByteDescription b;
        b.defaultValue = byteValue(xml, fuse + "DEFAULT");
        b.name = xml.getText(fuse + "NAME");
        for (int k = 0; k < 8; ++k) {
            const std::string bit = fuse + "BIT" + std::to_string(k) + "\\NAME";
            if (xml.hasPath(bit))
                b.bits[static_cast<std::size_t>(k)] = xml.getText(bit);
        }
        d.bytes.push_back(std::move(b));
    }

    if (!tooLarge && xml.hasPath("ZFPART\\OscCal")) {
        for (int e = 0; xml.hasPath("ZFPART\\OscCal\\OCEntry" + std::to_string(e)); ++e) {
            if (e == FuseDescription::kMaxCalibration) {
                tooLarge = true;
                break;
            }
            d.calibration[static_cast<std::size_t>(e)] = xml.getText("ZFPART\\OscCal\\OCEntry" + std::to_string(e));
            d.calibrationMask |= 1 << e;
        }
    }

    if (tooLarge) {
        ui.showError(ui.message(Msg::FuseDescriptionTooLarge));
        return std::nullopt;
    }
    return d;
}
