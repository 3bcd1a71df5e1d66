#pragma once
// The captions that follow the language, for the main window and the three
// dialogs: window name, control name and the text in each language. An empty
// control name stands for the window's own caption; "StatusBar1[n]" for
// panel n of the main window's status bar. A double ampersand shows as one
// ampersand, a single one marks the accelerator.

#include <QString>
#include <span>

struct CaptionEntry {
    const char* window;   // "TForm1" .. "TForm4"
    const char* control;  // object name of the control
    const char* text[3];  // Simplified Chinese, Traditional Chinese, English (UTF-8)
};

std::span<const CaptionEntry> captionTable();

// The text of an entry in a language; an index outside 0..2 reads as 0.
QString captionText(const CaptionEntry& entry, int languageIndex);

// Looks up one caption; empty when the table has no such entry.
QString captionFor(const char* window, const char* control, int languageIndex);
// The same as text outside a control (a log row, a window title): without
// its accelerator ("Unprotect(&U)" reads "Unprotect"), "&&" as "&".
QString plainCaptionFor(const char* window, const char* control, int languageIndex);

// The control name of a status-bar panel entry ("StatusBar1[2]" -> 2), or -1.
int statusPanelOf(const char* control);
