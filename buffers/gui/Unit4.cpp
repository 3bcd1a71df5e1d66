#include "buffers/gui/Unit4.h"

#include "app/gui/HexEntry.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <class T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLineEdit* hexField(QWidget* parent, const char* name, const QString& text, int maxLength)
{
    auto* e = named(new QLineEdit(text, parent), name);
    e->setMaxLength(maxLength);
    takeHexDigitsOnly(e);
    return e;
}

} // namespace

TForm4::TForm4(Buffers& buffers, UserInterface& ui, ByteView* flashView, QWidget* parent)
    : QDialog(parent), buffers_(buffers), ui_(ui), flashView_(flashView)
{
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("填充"));

    GroupBox1 = named(new QGroupBox(QStringLiteral("数据"), this), "GroupBox1");
    RadioButton1 = named(new QRadioButton(QStringLiteral("常量字节(8bits)"), GroupBox1), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("常量字(16bits)"), GroupBox1), "RadioButton2");
    RadioButton3 = named(new QRadioButton(QStringLiteral("随机数"), GroupBox1), "RadioButton3");
    RadioButton1->setChecked(true);
    Edit1 = hexField(GroupBox1, "Edit1", QStringLiteral("FF"), 2);
    Edit2 = hexField(GroupBox1, "Edit2", QStringLiteral("FFFF"), 4);
    auto* data = new QGridLayout(GroupBox1);
    data->addWidget(RadioButton1, 0, 0);
    data->addWidget(Edit1, 0, 1);
    data->addWidget(RadioButton2, 1, 0);
    data->addWidget(Edit2, 1, 1);
    data->addWidget(RadioButton3, 2, 0);

    GroupBox2 = named(new QGroupBox(QStringLiteral("范围"), this), "GroupBox2");
    Label1 = named(new QLabel(QStringLiteral("开始地址"), GroupBox2), "Label1");
    Edit3 = hexField(GroupBox2, "Edit3", QStringLiteral("00000"), 8);
    Label2 = named(new QLabel(QStringLiteral("结束地址"), GroupBox2), "Label2");
    Edit4 = hexField(GroupBox2, "Edit4", QStringLiteral("FFFF"), 8);
    auto* range = new QGridLayout(GroupBox2);
    range->addWidget(Label1, 0, 0);
    range->addWidget(Edit3, 0, 1);
    range->addWidget(Label2, 1, 0);
    range->addWidget(Edit4, 1, 1);

    BitBtn1 = named(new QPushButton(QStringLiteral("确定"), this), "BitBtn1");
    BitBtn2 = named(new QPushButton(QStringLiteral("取消"), this), "BitBtn2");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());

    for (QLineEdit* e : {Edit1, Edit2, Edit3, Edit4})
        e->installEventFilter(this);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm4::BitBtn2Click);
}

FillKind TForm4::selectedKind() const
{
    if (RadioButton2->isChecked())
        return FillKind::Word;
    if (RadioButton3->isChecked())
        return FillKind::Random;
    return FillKind::Byte;
}

bool TForm4::Edit1KeyPress(const QKeyEvent* event) const
{
    return dropsNonHexKey(event);
}

void TForm4::BitBtn1Click()
{
    const FillFields fields{Edit1->text(), Edit2->text(), Edit3->text(), Edit4->text()};
    if (FillFlash(buffers_, selectedKind(), fields, ui_, flashView_))
        accept();
}

void TForm4::BitBtn2Click()
{
    reject();
}

bool TForm4::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)
        && Edit1KeyPress(static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}
