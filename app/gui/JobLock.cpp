#include "app/gui/JobLock.h"

#include "hexview/HexView.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace {

// Actions of a menu and of its submenus, the submenus' own titles included.
void collectActions(QMenu* menu, std::vector<QAction*>& out)
{
    out.push_back(menu->menuAction());
    for (QAction* a : menu->actions()) {
        if (QMenu* sub = a->menu())
            collectActions(sub, out);
        else if (!a->isSeparator())
            out.push_back(a);
    }
}

} // namespace

void JobLock::lock()
{
    if (locked_)
        return;
    locked_ = true;
    for (auto& w : widgets_) {
        // Its own state, not the one its parent gives it.
        w.before = !w.object->testAttribute(Qt::WA_ForceDisabled);
        w.object->setEnabled(false);
    }
    actions_.clear();
    std::vector<QAction*> actions;
    for (QMenu* m : menus_)
        collectActions(m, actions);
    // Disabled actions also lose their shortcuts, which a disabled menu title alone would not take.
    for (QAction* a : actions) {
        actions_.push_back({a, a->isEnabled()});
        a->setEnabled(false);
    }
    for (auto& v : views_) {
        v.before = v.object->isReadOnly();
        v.object->setReadOnly(true);
    }
}

void JobLock::unlock()
{
    if (!locked_)
        return;
    locked_ = false;
    for (const auto& w : widgets_)
        w.object->setEnabled(w.before);
    for (const auto& a : actions_)
        a.object->setEnabled(a.before);
    actions_.clear();
    for (const auto& v : views_)
        v.object->setReadOnly(v.before);
}
