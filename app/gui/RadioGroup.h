#pragma once
// A group of radio buttons chosen by position; -1 chooses none. A change of
// the position, by the user or the program, is reported.

#include <QGroupBox>
#include <QList>

class QRadioButton;

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(const QStringList& items, QWidget* parent = nullptr);

    int itemIndex() const { return index_; }
    // Out-of-range positions choose none.
    void setItemIndex(int index);
    int count() const { return int(buttons_.size()); }

signals:
    void itemIndexChanged(int index);

private:
    QList<QRadioButton*> buttons_;
    int index_ = -1;
};
