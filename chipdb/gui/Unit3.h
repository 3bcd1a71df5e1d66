#pragma once
// The chip search window: a search text and the list of matching chips; the
// chosen row becomes the current chip through the selection by names.

#include <QDialog>

class ChipSelection;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class UserInterface;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(ChipSelection& selection, UserInterface& ui, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;    // the search text; never has items
    QTreeWidget* ListView1 = nullptr;  // type, manufacturer, model, table position
    QPushButton* BitBtn1 = nullptr;    // select
    QPushButton* BitBtn2 = nullptr;    // quit

    // Column heading 0 type, 1 manufacturer, 2 model in a language.
    static QString columnHeading(int heading, int languageIndex);

public slots:
    // Lists the table from its start, at most its first 1000 positions.
    void FormShow();
    // Lists every entry whose whole key holds the search text.
    void ComboBox1Change();
    // The selected row's chip becomes current and the window closes; with
    // no row selected nothing happens.
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildColumns();
    void addRow(int position);

    ChipSelection& selection_;
    UserInterface& ui_;
};
