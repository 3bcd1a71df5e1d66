#pragma once
// Where the files that live "beside the program" are: the chip list, the
// settings, the fuse description and the chip-list text export.
//
// A program with its own chip list or a writable folder and no shipped data
// (a build tree, a portable copy) keeps them all in that folder. An installed
// program (shipped data beside bin/, or a folder it cannot write to) reads
// its shipped data (chip list, xml/) from the share folder ../share/ktr4180
// beside bin/, and keeps what it writes (settings, text export, an edited
// chip list) in the user's configuration folder.

#include <QString>

class ProgramFiles {
public:
    // Everything in programDir.
    explicit ProgramFiles(QString programDir, QString baseName = QStringLiteral("ktr4180"));
    // Shipped data from dataDir, written files in configDir.
    static ProgramFiles installed(QString programDir, QString dataDir, QString configDir,
                                  QString baseName = QStringLiteral("ktr4180"));
    // A chip list in programDir, or no shipped one in ../share/ktr4180 and a
    // writable programDir: everything in programDir. Otherwise installed;
    // configDir is used only then (and created then).
    static ProgramFiles forProgramDir(const QString& programDir, const QString& configDir,
                                      const QString& baseName = QStringLiteral("ktr4180"));
    // Folder of the running executable, the user's configuration folder
    // (QCoreApplication must exist).
    static ProgramFiles forRunningProgram();

    QString programDir() const { return dir_; }
    bool isInstalled() const { return dataDir_ != dir_ || configDir_ != dir_; }
    QString dataDir() const { return dataDir_; }
    QString configDir() const { return configDir_; }
    // The folder an installed program's bin/ lies in (with lib/ and share/
    // beside it); empty when not installed.
    QString installPrefix() const;

    // The user's edited chip list when there is one, else the shipped one.
    QString chipList() const;
    // Where an edited chip list is written.
    QString writableChipList() const;
    QString settings() const;          // ktr4180.ini
    QString fuseDescription() const;   // xml/0.xml
    QString chipListText() const;      // ktr4180.txt

private:
    ProgramFiles(QString programDir, QString dataDir, QString configDir, QString baseName);

    QString dir_;
    QString dataDir_;
    QString configDir_;
    QString base_;
};
