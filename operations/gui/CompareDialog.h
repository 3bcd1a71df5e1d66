#pragma once
// The compare's report in a window: the differing ranges in a list (choosing
// one tells where it starts, so the hex view can go there), then the summary,
// the direction of the bits and the hint to Unprotect.

#include <QDialog>

class CompareReport;
class QLabel;
class QListWidget;

class CompareDialog : public QDialog {
    Q_OBJECT
public:
    CompareDialog(const CompareReport& report, int languageIndex, QWidget* parent = nullptr);

    QListWidget* Ranges = nullptr;  // one row per listed range, then "and N more"
    QLabel* Summary = nullptr;      // summary, direction, hint

signals:
    // The start address of the range the person chose.
    void rangeChosen(qint64 address);
};
