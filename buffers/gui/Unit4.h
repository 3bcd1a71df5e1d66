#pragma once
// The fill dialog: a constant byte, a constant word or random bytes over an
// address range of the Flash buffer.

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    QGroupBox* GroupBox1 = nullptr;      // data
    QRadioButton* RadioButton1 = nullptr;  // constant byte
    QRadioButton* RadioButton2 = nullptr;  // constant word
    QRadioButton* RadioButton3 = nullptr;  // random bytes
    QLineEdit* Edit1 = nullptr;          // byte value
    QLineEdit* Edit2 = nullptr;          // word value
    QGroupBox* GroupBox2 = nullptr;      // range
    QLabel* Label1 = nullptr;
    QLineEdit* Edit3 = nullptr;          // start address
    QLabel* Label2 = nullptr;
    QLineEdit* Edit4 = nullptr;          // end address, inclusive
    QPushButton* BitBtn1 = nullptr;      // OK
    QPushButton* BitBtn2 = nullptr;      // cancel
};
