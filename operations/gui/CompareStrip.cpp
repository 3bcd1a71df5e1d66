#include "operations/gui/CompareStrip.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kFrame = 1;

const QColor kEqual(0xd6, 0xec, 0xd6);
const QColor kDiffering(0xd0, 0x10, 0x10);
const QColor kNotCompared(0xb0, 0xb0, 0xb0);

} // namespace

CompareStrip::CompareStrip(const DifferenceMap& map, qint64 total, QWidget* parent)
    : QWidget(parent), map_(map), total_(std::max(total, map.bytes()))
{
    setObjectName(QStringLiteral("Strip"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setCursor(Qt::PointingHandCursor);
}

std::vector<StripCell> CompareStrip::cells() const
{
    return stripCells(map_, total_, height() - 2 * kFrame);
}

int CompareStrip::rowOf(qint64 address) const
{
    const int rows = height() - 2 * kFrame;
    if (rows <= 0 || total_ <= 0)
        return kFrame;
    return kFrame + int(std::min<qint64>(address * rows / total_, rows - 1));
}

void CompareStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const std::vector<StripCell> rows = cells();
    const int left = kFrame;
    const int width = this->width() - 2 * kFrame;
    const auto line = [&](std::size_t i) { return QRect(left, kFrame + int(i), width, 1); };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].compared)
            p.fillRect(line(i), QBrush(kNotCompared, Qt::BDiagPattern));
        else
            p.fillRect(line(i), kEqual);
    }
    // One differing byte in a large block must still show: at least the
    // alpha below, and a lone row widened over its equal neighbours, since a
    // one-pixel line reads as the frame.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const StripCell& c = rows[i];
        if (!c.compared || !c.differs())
            continue;
        QColor colour = kDiffering;
        colour.setAlphaF(float(0.45 + 0.55 * std::min(1.0, c.density)));
        p.fillRect(line(i), colour);
        for (const std::size_t j : {i - 1, i + 1})
            if (j < rows.size() && rows[j].compared && !rows[j].differs())
                p.fillRect(line(j), colour);
    }
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CompareStrip::mousePressEvent(QMouseEvent* event)
{
    const std::vector<StripCell> rows = cells();
    const int row = int(event->position().y()) - kFrame;
    if (event->button() != Qt::LeftButton || row < 0 || row >= int(rows.size()) || !rows[std::size_t(row)].compared)
        return;
    // A click on the widened mark of a lone difference means that difference.
    std::size_t at = std::size_t(row);
    if (!rows[at].differs())
        for (const std::size_t j : {at - 1, at + 1})
            if (j < rows.size() && rows[j].compared && rows[j].differs()) {
                at = j;
                break;
            }
    emit addressChosen(rows[at].target());
}
