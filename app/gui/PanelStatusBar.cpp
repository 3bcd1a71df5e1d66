#include "app/gui/PanelStatusBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

PanelStatusBar::PanelStatusBar(const std::vector<int>& widths, QWidget* parent)
    : QStatusBar(parent), widths_(widths), ownerDrawn_(widths.size(), false)
{
    for (std::size_t i = 0; i < widths_.size(); ++i)
        texts_ << QString();
    setSizeGripEnabled(false);
}

void PanelStatusBar::setPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel >= panelCount() || texts_[panel] == text)
        return;
    texts_[panel] = text;
    update(panelRect(panel));
}

int PanelStatusBar::panelLeft(int panel) const
{
    int x = 0;
    for (int i = 0; i < panel && i < panelCount(); ++i)
        x += widths_[std::size_t(i)];
    return x;
}

QRect PanelStatusBar::panelRect(int panel) const
{
    if (panel < 0 || panel >= panelCount())
        return {};
    return QRect(panelLeft(panel), 0, widths_[std::size_t(panel)], height());
}

void PanelStatusBar::setOwnerDrawn(int panel, bool ownerDrawn)
{
    if (panel >= 0 && panel < panelCount())
        ownerDrawn_[std::size_t(panel)] = ownerDrawn;
}

QSize PanelStatusBar::sizeHint() const
{
    return {panelLeft(panelCount()), fontMetrics().height() + 8};
}

QSize PanelStatusBar::minimumSizeHint() const
{
    return {0, fontMetrics().height() + 8};
}

void PanelStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    for (int i = 0; i < panelCount(); ++i) {
        const QRect r = panelRect(i).adjusted(1, 1, -2, -1);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(r);
        const QRect inner = r.adjusted(2, 0, -2, 0);
        if (ownerDrawn_[std::size_t(i)] && draw_) {
            painter.save();
            draw_(painter, i, inner);
            painter.restore();
        } else {
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, texts_[i]);
        }
    }
}

void PanelStatusBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QStatusBar::mouseReleaseEvent(event);
}
