#pragma once
// The whole chip as one upright strip, address 0 at the top: the compared
// part light, the differing blocks marked the stronger the more of them
// differs, what was not compared hatched. Choosing a place names the first
// difference there (or the place itself), for the hex view to go to.

#include "operations/DifferenceMap.h"

#include <QWidget>

class CompareStrip : public QWidget {
    Q_OBJECT
public:
    // Keeps its own copy of the map. total: the bytes the strip stands for
    // (the chip's memory); at least the compared ones.
    CompareStrip(const DifferenceMap& map, qint64 total, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {28, 320}; }
    QSize minimumSizeHint() const override { return {20, 64}; }
    // The cells as drawn now, one per pixel row inside the frame.
    std::vector<StripCell> cells() const;
    // The pixel row inside the widget where an address is drawn.
    int rowOf(qint64 address) const;

signals:
    void addressChosen(qint64 address);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    DifferenceMap map_;
    qint64 total_;
};
