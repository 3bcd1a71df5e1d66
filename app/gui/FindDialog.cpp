#include "app/gui/FindDialog.h"

#include "app/AidTexts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

template <class T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

FindDialog::FindDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FindDialog"));
    Label1 = named(new QLabel(this), "Label1");
    Edit1 = named(new QLineEdit(this), "Edit1");
    Edit1->setMinimumWidth(260);
    HexBytes = named(new QRadioButton(this), "HexBytes");
    Text = named(new QRadioButton(this), "Text");
    HexBytes->setChecked(true);
    ForwardBtn = named(new QPushButton(this), "Forward");
    BackwardBtn = named(new QPushButton(this), "Backward");
    CancelBtn = named(new QPushButton(this), "Cancel");
    ForwardBtn->setDefault(true);
    Label1->setBuddy(Edit1);

    auto* kinds = new QHBoxLayout;
    kinds->addWidget(HexBytes);
    kinds->addWidget(Text);
    kinds->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ForwardBtn);
    buttons->addWidget(BackwardBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Edit1, 0, 1);
    layout->addLayout(kinds, 1, 1);
    layout->addLayout(buttons, 2, 0, 1, 2);

    connect(ForwardBtn, &QPushButton::clicked, this, [this] { done(Forward); });
    connect(BackwardBtn, &QPushButton::clicked, this, [this] { done(Backward); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    applyLanguage(0);
}

void FindDialog::applyLanguage(int languageIndex)
{
    const char* window = "FindDialog";
    setWindowTitle(aidCaptionFor(window, "", languageIndex));
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, HexBytes, Text, ForwardBtn, BackwardBtn, CancelBtn}) {
        const QString text = aidCaptionFor(window, w->objectName().toLatin1().constData(), languageIndex);
        if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            button->setText(text);
    }
}

SearchKind FindDialog::kind() const
{
    return Text->isChecked() ? SearchKind::Text : SearchKind::HexBytes;
}

QString FindDialog::text() const
{
    return Edit1->text();
}

void FindDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->selectAll();
    Edit1->setFocus(Qt::OtherFocusReason);
}
