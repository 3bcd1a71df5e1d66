#pragma once
// The compare's report in a window: beside the differing ranges in a list, a
// strip that stands for the whole chip with the differing blocks marked
// (choosing a range or a place on the strip tells where, so the hex view can
// go there), then the summary, the direction of the bits and the hint to
// Unprotect.

#include <QDialog>

class CompareReport;
class CompareStrip;
class QLabel;
class QListWidget;

class CompareDialog : public QDialog {
    Q_OBJECT
public:
    // memoryBytes: the size of the chip's memory compared, which the strip
    // stands for (0: the compared bytes).
    CompareDialog(const CompareReport& report, int languageIndex, qint64 memoryBytes = 0, QWidget* parent = nullptr);

    CompareStrip* Strip = nullptr;
    QListWidget* Ranges = nullptr;  // one row per listed range, then "and N more"
    QLabel* Summary = nullptr;      // summary, direction, hint

signals:
    // The start address of the range the person chose, or the address of
    // the place on the strip.
    void rangeChosen(qint64 address);
};
