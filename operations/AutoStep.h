#pragma once
// The steps of the auto sequence, named as their check boxes are captioned.

#include <QString>

enum class AutoStep { Detection, WriteSerial, Erase, WriteFlash, WriteEeprom, VerifyFlash, VerifyEeprom, Fuses };

// The step's check-box caption in a language (0..2), as the window shows it.
QString autoStepCaption(AutoStep step, int languageIndex);
