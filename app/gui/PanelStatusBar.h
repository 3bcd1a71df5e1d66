#pragma once
// A status bar of fixed-width text panels, each drawn centred on one line.
// Panels marked owner-drawn are painted by a callback instead. A click
// anywhere on the bar is reported.

#include <QStatusBar>
#include <QStringList>
#include <functional>
#include <vector>

class PanelStatusBar : public QStatusBar {
    Q_OBJECT
public:
    using DrawPanel = std::function<void(QPainter& painter, int panel, const QRect& rect)>;

    explicit PanelStatusBar(const std::vector<int>& widths, QWidget* parent = nullptr);

    int panelCount() const { return int(widths_.size()); }
    QString panelText(int panel) const { return texts_.value(panel); }
    void setPanelText(int panel, const QString& text);
    QRect panelRect(int panel) const;
    // Sum of the widths of the panels before `panel`.
    int panelLeft(int panel) const;
    int borderWidth() const { return 1; }

    void setOwnerDrawn(int panel, bool ownerDrawn);
    void setDrawPanel(DrawPanel draw) { draw_ = std::move(draw); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<int> widths_;
    std::vector<bool> ownerDrawn_;
    QStringList texts_;
    DrawPanel draw_;
};
