#include "app/gui/ClickPanel.h"

#include <QMouseEvent>

ClickPanel::ClickPanel(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Panel);
    setLineWidth(2);
    setRaised(false);
}

void ClickPanel::setRaised(bool raised)
{
    raised_ = raised;
    setFrameShadow(raised ? QFrame::Raised : QFrame::Plain);
    setLineWidth(raised ? 3 : 1);
}

void ClickPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
