#include "app/gui/VisiblePages.h"

#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>

VisiblePages::VisiblePages(QTabWidget* pages) : QObject(pages), pages_(pages)
{
    pages->installEventFilter(this);
    // Hiding the current page's tab moves Qt's tab bar on, but not always
    // the page in sight.
    pages->tabBar()->installEventFilter(this);
    connect(pages, &QTabWidget::currentChanged, this, &VisiblePages::keepOnShown);
}

bool VisiblePages::shown(const QTabWidget* pages, const QWidget* page)
{
    const int index = page ? pages->indexOf(const_cast<QWidget*>(page)) : -1;
    return index >= 0 && pages->isTabVisible(index) && pages->isTabEnabled(index);
}

bool VisiblePages::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pages_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & Qt::ControlModifier) {
            const bool back = (key->modifiers() & Qt::ShiftModifier) || key->key() == Qt::Key_Backtab;
            switch (key->key()) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                step(back ? -1 : 1);
                return true;
            case Qt::Key_PageDown:
                step(1);
                return true;
            case Qt::Key_PageUp:
                step(-1);
                return true;
            default:
                break;
            }
        }
    } else if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show) {
        keepOnShown();
    }
    return false;
}

void VisiblePages::step(int direction)
{
    const int count = pages_->count();
    int index = pages_->currentIndex();
    for (int pass = 0; pass < count; ++pass) {
        index = (index + direction + count) % count;
        if (shown(pages_, pages_->widget(index))) {
            pages_->setCurrentIndex(index);
            return;
        }
    }
}

void VisiblePages::keepOnShown()
{
    if (pages_->count() == 0 || shown(pages_, pages_->currentWidget()))
        return;
    step(1);
}
