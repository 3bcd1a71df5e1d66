#include "chipdb/gui/Unit2.h"

#include "chipdb/ChipGrid.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("芯片编辑"));
    resize(1024, 480);

    StringGrid1 = new QTableWidget(1, ChipGrid::kVisibleColumns, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setHorizontalHeaderLabels(ChipGrid::headings().mid(0, ChipGrid::kVisibleColumns));
    const auto widths = ChipGrid::columnWidths();
    for (int c = 0; c < ChipGrid::kVisibleColumns; ++c)
        StringGrid1->setColumnWidth(c, widths[std::size_t(c)]);
    StringGrid1->verticalHeader()->setDefaultSectionSize(20);

    box = new QComboBox(StringGrid1->viewport());
    box->setObjectName(QStringLiteral("box"));
    box->hide();

    BitBtn1 = button(this, "BitBtn1", QStringLiteral("导入"));
    BitBtn2 = button(this, "BitBtn2", QStringLiteral("导出"));
    BtnDelete = button(this, "BtnDelete", QStringLiteral("删除"));
    BtnAdd = button(this, "BtnAdd", QStringLiteral("添加"));
    BtnSave = button(this, "BtnSave", QStringLiteral("保存"));
    BtnExit = button(this, "BtnExit", QStringLiteral("退出"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label1);
    buttons->addStretch();
    for (QPushButton* b : {BitBtn1, BitBtn2, BtnDelete, BtnAdd, BtnSave, BtnExit})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(buttons);
}
