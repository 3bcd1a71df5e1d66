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
    return plainCaptionFor("TForm1", kCheckBoxes[std::size_t(step)], languageIndex);
}
