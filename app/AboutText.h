#pragma once
// The about box text and the maker's lines shown in it and in the status bar.

#include <QString>

// Also part of the main window's caption.
inline constexpr char kVersionCaption[] = "KTR4180(Ver 1.2)";

struct MakerLines {
    QString copyrightEnglish;
    QString copyrightChinese;
    QString webAddress;  // host name without scheme
};

// The lines this build was configured with.
MakerLines makerLines();

// Time and date this file was compiled: "hh:mm:ss" and "Mmm dd yyyy" as the
// compiler gives them.
QString buildTime();
QString buildDate();

// Chinese text for language 0, English for 1 and 2 (and anything else).
QString aboutText(int languageIndex, const QString& time, const QString& date, const MakerLines& maker);
