#include "app/gui/RadioGroup.h"

#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

RadioGroup::RadioGroup(const QStringList& items, QWidget* parent) : QGroupBox(parent)
{
    auto* layout = new QVBoxLayout(this);
    for (const QString& text : items) {
        auto* b = new QRadioButton(text, this);
        // Exclusivity is kept here so that "no item" can be chosen as well.
        b->setAutoExclusive(false);
        connect(b, &QRadioButton::clicked, this, [this, b] { setItemIndex(int(buttons_.indexOf(b))); });
        buttons_ << b;
        layout->addWidget(b);
    }
}

void RadioGroup::setItemIndex(int index)
{
    const int next = index >= 0 && index < buttons_.size() ? index : -1;
    for (int i = 0; i < buttons_.size(); ++i) {
        const QSignalBlocker block(buttons_[i]);
        buttons_[i]->setChecked(i == next);
    }
    if (next == index_)
        return;
    index_ = next;
    emit itemIndexChanged(index_);
}
