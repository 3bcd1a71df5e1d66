#pragma once
// The steps of the auto sequence, named as their check boxes are captioned
// (Unprotect, which has no box, as its menu item), and the job's closing
// report, Finish, where a run whose steps all ran can still fail.

#include <QString>

enum class AutoStep { Detection, WriteSerial, Erase, WriteFlash, WriteEeprom, VerifyFlash, VerifyEeprom, Fuses,
                      Unprotect, Finish };

// The step's check-box caption in a language (0..2), as the window shows it.
QString autoStepCaption(AutoStep step, int languageIndex);
