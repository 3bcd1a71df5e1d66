#pragma once
// The chip-list editor window: the chip list as a grid, with import, export,
// add, delete and save.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    QTableWidget* StringGrid1 = nullptr;
    QComboBox* box = nullptr;          // drop-down laid over the edited cell
    QPushButton* BitBtn1 = nullptr;    // import
    QPushButton* BitBtn2 = nullptr;    // export
    QPushButton* BtnDelete = nullptr;
    QPushButton* BtnAdd = nullptr;
    QPushButton* BtnSave = nullptr;
    QPushButton* BtnExit = nullptr;
    QLabel* Label1 = nullptr;          // row count
};
