#pragma once
// The data files the user worked with: the folder the open and save dialogs
// start in and the most recent files, newest first. Kept in a section of the
// settings file of its own, after the program's fixed sections.

#include <QString>
#include <QStringList>

class IniFile;

class FileHistory {
public:
    static constexpr int kRecentCount = 5;

    // The folder of the file last chosen in a file dialog; empty at first.
    const QString& folder() const { return folder_; }
    void setFolder(const QString& folder) { folder_ = folder; }
    const QStringList& recent() const { return recent_; }

    // A file opened or saved: first in the list (once), its folder the folder.
    void remember(const QString& path);

    // Reads the section; a missing file or section leaves an empty history.
    void load(const IniFile& file);
    // Writes the section, unless the history is empty and the file has none:
    // a program that never opened a file leaves the settings file as it was.
    bool save(IniFile& file) const;

private:
    QString folder_;
    QStringList recent_;
};
