#pragma once
// What a running chip job takes away from the person at the window: every
// command that could change the buffers, the chip, the serial number, the
// fuse bytes, the settings or the link.
//
// The lock lies over the controls instead of taking their state: each one
// gets back what its own rule says when the job ends, also when that rule
// changed it while the job ran (a detection that chose another chip). For
// actions that is an action group, which keeps each action's own enabled
// value while it disables them all; for widgets it is the enabled flag of
// containers whose own state no rule sets, so the controls inside keep theirs.

#include <QObject>

#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

class JobLock {
public:
    explicit JobLock(QObject* owner);

    // A container no rule enables or disables.
    void addWidget(QWidget* widget) { widgets_.push_back({widget, true}); }
    // The menu's title and every action in it, submenus included.
    void addMenu(QMenu* menu) { menus_.push_back(menu); }
    // An action outside those menus (one on the menu bar itself).
    void addAction(QAction* action) { actions_.push_back(action); }
    // An action of a locked menu that stays usable while a job runs.
    void keep(QAction* action) { kept_.push_back(action); }

    void lock();
    void unlock();
    bool locked() const { return locked_; }

private:
    // The window's own controls: they live as long as the window that owns this lock.
    template <class T>
    struct Held {
        T* object;
        bool before;
    };

    std::vector<Held<QWidget>> widgets_;
    std::vector<QMenu*> menus_;
    std::vector<QAction*> actions_;
    std::vector<QAction*> kept_;
    QActionGroup* group_;
    // Actions that belong to a group of their own keep it: they get their
    // state back as it was at the lock.
    std::vector<Held<QAction>> grouped_;
    bool locked_ = false;
};
