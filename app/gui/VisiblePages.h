#pragma once
// Keeps a page control on the pages whose tabs show. Ctrl+Tab and
// Ctrl+Shift+Tab (and Ctrl+Page Down / Ctrl+Page Up) go round the shown
// pages only, and a hidden page is never left as the current one, however it
// became so: a page whose tab is hidden can neither be seen nor worked.

#include <QObject>

class QTabWidget;
class QWidget;

class VisiblePages : public QObject {
public:
    explicit VisiblePages(QTabWidget* pages);

    static bool shown(const QTabWidget* pages, const QWidget* page);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(int direction);
    void keepOnShown();

    QTabWidget* pages_;
};
