#pragma once
// The texts of what the window offers for daily work beyond its designed
// controls, in Simplified Chinese, Traditional Chinese and English: tool
// tips, the added menu items (go to, find, copy as hex, undo, paste,
// detection, batch mode, the production log), the find
// and go-to dialogs, and their messages. Kept apart from the designed
// captions, which stay as they are.

#include "app/Captions.h"

#include <span>

// Tool tips of the tool-bar buttons, the option boxes and a few buttons of
// the main window ("TForm1"), by control name.
std::span<const CaptionEntry> toolTipTable();

// Captions of the added controls: menu items of the main window ("TForm1"),
// the find dialog ("FindDialog"), the go-to dialog ("GoToDialog") and the
// check of the set-up ("SetupDialog").
std::span<const CaptionEntry> aidCaptionTable();

// One entry of either table; empty when there is none.
QString toolTipFor(const char* window, const char* control, int languageIndex);
QString aidCaptionFor(const char* window, const char* control, int languageIndex);

enum class AidMessage {
    NotFound,     // "%1" is the search text
    NotHexBytes,
    SearchWrappedForward,
    SearchWrappedBackward,
    GoToOutside,   // %1 the address asked for, %2 the last address
    PasteTooLong,  // %1 the bytes pasted, %2 the room left
    PasteNotHex,
    BatchHoldsBuffers,
    ProductionLogOff,
    ProductionLogTitle,
    AutoNoSteps,
    FusesNotRead,
    LockNotRead,
};
QString aidMessage(AidMessage message, int languageIndex);
