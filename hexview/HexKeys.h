#pragma once
// The hex view's keys: moving the cursor and the selection, switching
// between the hex and ASCII columns, typing over bytes, and the view's own
// commands (copy, paste, undo, redo, go to).

#include <QString>

class HexView;
class QKeyEvent;

class HexKeys {
public:
    explicit HexKeys(HexView& view) : view_(view) {}

    // True when the key was the view's.
    bool press(const QKeyEvent* event);
    // Keys the view takes before the window's shortcuts see them.
    static bool isCommand(const QKeyEvent* event);
    // Tab and Shift+Tab switch the column; the window does not move the focus on them.
    static bool isColumnSwitch(const QKeyEvent* event);
    // Ctrl+Tab and Ctrl+Shift+Tab leave the view: 1 forward, -1 back, 0 neither.
    static int leaveDirection(const QKeyEvent* event);

private:
    bool command(const QKeyEvent* event);
    bool navigate(const QKeyEvent* event);
    bool type(const QString& text);

    HexView& view_;
};
