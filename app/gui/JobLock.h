#pragma once
// What a running chip job takes away from the person at the window: every
// command that could change the buffers, the chip, the serial number, the
// fuse bytes, the settings or the link. Each control gets back exactly the
// enabled state it had, so controls that were off for their own reasons stay off.

#include <vector>

class HexView;
class QAction;
class QMenu;
class QWidget;

class JobLock {
public:
    void addWidget(QWidget* widget) { widgets_.push_back({widget, true}); }
    // The menu's title and every action in it, submenus included.
    void addMenu(QMenu* menu) { menus_.push_back(menu); }
    // Stays scrollable and readable; only its editing goes.
    void addView(HexView* view) { views_.push_back({view, false}); }

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
    std::vector<Held<HexView>> views_;
    std::vector<Held<QAction>> actions_;  // filled at lock time: menus change
    bool locked_ = false;
};
