#include "buffers/gui/Unit4.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
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
    return e;
}

} // namespace

TForm4::TForm4(QWidget* parent) : QDialog(parent)
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
}
