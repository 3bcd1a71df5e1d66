#pragma once
// The cells of the byte-and-bit grid: column 0 holds the row labels, column
// i + 1 byte i; row 0 the byte's name, row 1 its value, rows 2..9 its bits.

#include <QString>
#include <array>
#include <vector>

class FuseGrid {
public:
    static constexpr int kRowCount = 10;
    static constexpr int kValueRow = 1;
    static constexpr int kFirstBitRow = 2;

    // Two columns: the labels and one empty byte column.
    FuseGrid();

    int columnCount() const { return static_cast<int>(columns_.size()); }
    // At least one column (the labels) stays; new columns start empty and
    // the cells of dropped columns are gone.
    void setColumnCount(int count);

    // Empty outside the grid; writes outside it are ignored.
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);

    static bool isBitRow(int row) { return row >= kFirstBitRow && row < kRowCount; }

private:
    std::vector<std::array<QString, kRowCount>> columns_;
};
