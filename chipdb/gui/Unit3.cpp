#include "chipdb/gui/Unit3.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("芯片选择"));
    resize(404, 320);

    Label1 = new QLabel(QStringLiteral("查找"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setColumnCount(4);
    ListView1->setHeaderLabels({QStringLiteral("类型"), QStringLiteral("厂商"), QStringLiteral("名称"), QStringLiteral("pos")});
    ListView1->setColumnWidth(0, 80);
    ListView1->setColumnWidth(1, 80);
    ListView1->setColumnWidth(2, 100);
    ListView1->setColumnWidth(3, 1);

    BitBtn1 = new QPushButton(QStringLiteral("选择"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("退出"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));

    auto* search = new QHBoxLayout;
    search->addWidget(Label1);
    search->addWidget(ComboBox1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QGridLayout(this);
    layout->addLayout(search, 0, 0);
    layout->addWidget(ListView1, 1, 0);
    layout->addLayout(buttons, 2, 0);
}
