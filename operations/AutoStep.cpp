#include "operations/AutoStep.h"

#include "app/Captions.h"

#include <array>

namespace {

// The check box (or menu item) of each step, in the order of AutoStep.
constexpr std::array<const char*, 9> kCheckBoxes = {
    "CheckBoxID", "CheckBoxSN", "CheckBoxErase", "CheckBoxWriteFlash",
    "CheckBoxWriteEprom", "CheckBoxVerity", "CheckBoxVerifyEprom", "CheckBoxFUSE",
    "UnprotectChip",
};

} // namespace

QString autoStepCaption(AutoStep step, int languageIndex)
{
    // The command's own name, in every language.
    if (step == AutoStep::Finish)
        return QStringLiteral("Finish");
    // Outside a control a doubled ampersand is just an ampersand.
    return captionFor("TForm1", kCheckBoxes[std::size_t(step)], languageIndex).replace(QStringLiteral("&&"), QStringLiteral("&"));
}
