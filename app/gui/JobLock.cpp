#include "app/gui/JobLock.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

#include <algorithm>

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

JobLock::JobLock(QObject* owner) : group_(new QActionGroup(owner))
{
    group_->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
}

void JobLock::lock()
{
    if (locked_)
        return;
    locked_ = true;
    for (auto& w : widgets_) {
        w.before = !w.object->testAttribute(Qt::WA_ForceDisabled);
        w.object->setEnabled(false);
    }
    // Collected at each lock: menus change (recent files, added items).
    std::vector<QAction*> actions = actions_;
    for (QMenu* m : menus_)
        collectActions(m, actions);
    grouped_.clear();
    for (QAction* a : actions) {
        if (std::find(kept_.begin(), kept_.end(), a) != kept_.end())
            continue;
        if (a->actionGroup()) {
            grouped_.push_back({a, a->isEnabled()});
            a->setEnabled(false);
        } else {
            group_->addAction(a);
        }
    }
    // Disabled actions also lose their shortcuts, which a disabled menu title alone would not take.
    group_->setEnabled(false);
}

void JobLock::unlock()
{
    if (!locked_)
        return;
    locked_ = false;
    for (const auto& w : widgets_)
        w.object->setEnabled(w.before);
    group_->setEnabled(true);
    for (QAction* a : group_->actions())
        group_->removeAction(a);
    for (const auto& a : grouped_)
        a.object->setEnabled(a.before);
    grouped_.clear();
}
