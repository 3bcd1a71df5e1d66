#pragma once
// The chip-list editor window: the chip list as a grid, with import, export,
// add, delete and save. The grid's content lives in a ChipGrid; the table
// control mirrors its fifteen visible columns (grid row r is control row r - 1,
// the heading row being the control's header).

#include "chipdb/ChipGrid.h"

#include <QDialog>
#include <optional>

class BoxPresenter;
class ProgramFiles;
class ChipTable;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class UserInterface;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // log: the main window's log pane, which the export fills.
    TForm2(ChipTable& chips, UserInterface& ui, const ProgramFiles& files, BoxPresenter& presenter,
           QPlainTextEdit* log, QWidget* parent = nullptr);

    QTableWidget* StringGrid1 = nullptr;
    QComboBox* box = nullptr;          // drop-down laid over the edited cell
    QPushButton* BitBtn1 = nullptr;    // import
    QPushButton* BitBtn2 = nullptr;    // export
    QPushButton* BtnDelete = nullptr;
    QPushButton* BtnAdd = nullptr;
    QPushButton* BtnSave = nullptr;
    QPushButton* BtnExit = nullptr;
    QLabel* Label1 = nullptr;          // row count

    const ChipGrid& grid() const { return grid_; }
    // The cell last selected, in grid coordinates (row 0 = headings).
    int editedColumn() const { return editedColumn_; }
    int editedRow() const { return editedRow_; }

public slots:
    // Reloads the chip table from the chip-list file and rebuilds the grid.
    void FormShow();
    // Grid coordinates: offers the drop-down of the cell's column.
    void StringGrid1SelectCell(int column, int row);
    // The value chosen at `position` of the drop-down goes into the edited cell.
    void boxChange(int position);
    void BtnAddClick();
    void BtnDeleteClick();
    // Writes the grid into the chip table and the chip-list file. A refusal
    // (too many rows, a key too long, a cell that is no integer) or a failed
    // write leaves both as they were.
    void BtnSaveClick();
    void BtnExitClick();
    void BitBtn1Click();  // import
    void BitBtn2Click();  // export

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Mirrors the grid into the table control.
    void showGrid();
    void cellEdited(QTableWidgetItem* item);
    // A cell read as an integer; otherwise the conversion error is shown.
    std::optional<int32_t> cellInteger(int column, int row);
    void placeBox(int column, int row);
    // Columns as wide as their designed width, their heading and their texts.
    void fitColumns();

    ChipTable& chips_;
    UserInterface& ui_;
    const ProgramFiles& files_;
    BoxPresenter& presenter_;
    QPlainTextEdit* log_;
    ChipGrid grid_;
    int editedColumn_ = -1;
    int editedRow_ = -1;
    bool pressOnCurrentCell_ = false;  // a click on the current cell offers its drop-down again
};
