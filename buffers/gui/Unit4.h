#pragma once
// The fill dialog: a constant byte, a constant word or random bytes over an
// address range of the Flash buffer.

#include "buffers/Fill.h"

#include <QDialog>

class Buffers;
class ByteView;
class UserInterface;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    // The fill acts on the Flash buffer and loads flashView, when given.
    TForm4(Buffers& buffers, UserInterface& ui, ByteView* flashView, QWidget* parent = nullptr);

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

    FillKind selectedKind() const;
    // The key filter of the four fields: true when the key is to be dropped.
    bool Edit1KeyPress(const QKeyEvent* event) const;

public slots:
    // Fills and closes; a refused fill leaves the dialog open and the buffer as it was.
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Buffers& buffers_;
    UserInterface& ui_;
    ByteView* flashView_;
};
