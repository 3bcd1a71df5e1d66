#pragma once
// The chip list as the chip-list editor shows it: a heading row and one row
// per chip, fifteen visible columns (and twelve more that only import and
// export reach). It converts to and from the chip table and the text file.

#include "app/MessageTable.h"
#include "chipdb/ChipTable.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class ChipGrid {
public:
    static constexpr int kVisibleColumns = 15;
    static constexpr int kColumns = 27;
    using Row = std::array<QString, kColumns>;

    enum Column {
        ColType = 0, ColManufacturer, ColModel, ColId, ColFlash, ColFlashPage, ColClass,
        ColSubtype, ColEraseDelayShown, ColVoltage, ColEeprom, ColEepromPage, ColEraseDelay,
        ColInterface, ColAssociation,
    };

    static QStringList headings();
    static std::array<int, kVisibleColumns> columnWidths();

    ChipGrid();

    // Rows including the heading row 0.
    int rowCount() const { return rowCount_; }
    // Shrinking keeps the cells, as the grid does; growing shows them again.
    void setRowCount(int rows);
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    // A cell without the characters 0..32 around it, as every cell is read.
    QString trimmedCell(int col, int row) const;

    // FormShow: one row per entry of the table, at most 2000.
    void fillFrom(const ChipTable& table);
    // BtnAddClick: a new last row copied from the table's first entry.
    void addRowFromFirstEntry(const ChipTable& table);
    // BtnDeleteClick: rows below `row` move up, the last row goes.
    void deleteRow(int row);

    // BitBtn1Click: each line (tab or blank separated) becomes a row.
    void importLines(const QList<QByteArray>& lines);
    // BitBtn2Click: column 0 and a tab before each of columns 1..26.
    QStringList exportLines() const;

    struct SaveError {
        Msg message;      // what to tell the user
        QString detail;   // cell text or key
        // The message with its detail, as the user is shown it.
        QString text(int languageIndex) const;
    };
    // BtnSaveClick: rows 1.. into table entries 0.., then the end entry.
    // Refuses before changing anything when a cell is no integer, a key is
    // too long or there are too many rows.
    std::optional<SaveError> saveInto(ChipTable& table) const;

    // Microwire subtype: drop-down position <-> code.
    static int microwirePositionOfCode(int code);
    static int microwireCodeOfPosition(int position);
    static QStringList microwireLabels();

private:
    void writeRow(int row, const ChipEntry& entry, bool subtypeInHex);

    std::vector<Row> rows_;   // storage may be longer than rowCount_
    int rowCount_ = 2;
};

// The lines of a text file: each ends at CR, LF or CR LF.
QList<QByteArray> readLines(const QByteArray& content);

// The import's file as lines; nothing when it cannot be read.
std::optional<QList<QByteArray>> readLinesOfFile(const QString& path);
// The export's text: each line ended by LF.
QByteArray textOfLines(const QStringList& lines);
// The export: that text, written whole or not at all; false with the
// reason in `error` when the file cannot be written.
bool writeLinesToFile(const QString& path, const QStringList& lines, QString& error);
