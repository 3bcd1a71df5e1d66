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
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const StripCell& c = rows[i];
        const QRect line(left, kFrame + int(i), width, 1);
        if (!c.compared) {
            p.fillRect(line, QBrush(kNotCompared, Qt::BDiagPattern));
        } else if (c.differs()) {
            // One differing byte in a large block must still show.
            QColor colour = kDiffering;
            colour.setAlphaF(float(0.45 + 0.55 * std::min(1.0, c.density)));
            p.fillRect(line, kEqual);
            p.fillRect(line, colour);
        } else {
            p.fillRect(line, kEqual);
        }
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
    emit addressChosen(rows[std::size_t(row)].target());
}
