#pragma once
// The chip search window: a search text and the list of matching chips.

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;    // the search text; never has items
    QTreeWidget* ListView1 = nullptr;  // type, manufacturer, model, table position
    QPushButton* BitBtn1 = nullptr;    // select
    QPushButton* BitBtn2 = nullptr;    // quit
};
