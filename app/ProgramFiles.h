#pragma once
// Where the files that live "beside the program" are: the chip list, the
// settings, the fuse description and the chip-list text export.

#include <QString>

class ProgramFiles {
public:
    // programDir: the folder of the running program; baseName: "ktr4180".
    explicit ProgramFiles(QString programDir, QString baseName = QStringLiteral("ktr4180"));

    // Folder of the running executable (QCoreApplication must exist).
    static ProgramFiles forRunningProgram();

    QString programDir() const { return dir_; }
    QString chipList() const;          // ktr4180.Dat
    QString settings() const;          // ktr4180.ini
    QString fuseDescription() const;   // xml/0.xml
    QString chipListText() const;      // ktr4180.txt

private:
    QString dir_;
    QString base_;
};
