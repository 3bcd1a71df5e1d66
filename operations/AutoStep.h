#pragma once
// The steps of the auto sequence, named as their check boxes are captioned
// (Unprotect, which has no box, as its menu item).

#include <QString>

enum class AutoStep { Detection, WriteSerial, Erase, WriteFlash, WriteEeprom, VerifyFlash, VerifyEeprom, Fuses,
                      Unprotect };

// The step's check-box caption in a language (0..2), as the window shows it.
QString autoStepCaption(AutoStep step, int languageIndex);
