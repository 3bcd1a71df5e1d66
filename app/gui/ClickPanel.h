#pragma once
// A panel with a caption that works as a button: a click anywhere on it is
// reported, and it can look raised (a mode switched on) or flat.

#include <QLabel>

class ClickPanel : public QLabel {
    Q_OBJECT
public:
    explicit ClickPanel(QWidget* parent = nullptr);

    void setRaised(bool raised);
    bool isRaised() const { return raised_; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool raised_ = false;
};
