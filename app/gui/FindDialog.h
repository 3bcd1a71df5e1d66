#pragma once
// The find dialog of the Buffer menu: what to find, as hexadecimal bytes or
// as text, and in which direction. It only asks; the window searches.

#include "buffers/ByteSearch.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class FindDialog : public QDialog {
    Q_OBJECT
public:
    // Result codes besides Rejected.
    enum Direction { Forward = 1, Backward = 2 };

    explicit FindDialog(QWidget* parent = nullptr);

    // Captions in a language (0..2).
    void applyLanguage(int languageIndex);
    SearchKind kind() const;
    QString text() const;

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;        // what to find
    QRadioButton* HexBytes = nullptr;
    QRadioButton* Text = nullptr;
    QPushButton* ForwardBtn = nullptr;
    QPushButton* BackwardBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
