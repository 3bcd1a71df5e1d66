#include "chipdb/gui/Unit3.h"

#include "app/MessageTable.h"
#include "app/UserInterface.h"
#include "chipdb/ChipKey.h"
#include "chipdb/ChipSelection.h"
#include "chipdb/ChipTable.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace {

// The opening list shows only the first half of the table; a search reaches all of it.
constexpr int kListedOnOpening = 1000;

} // namespace

TForm3::TForm3(ChipSelection& selection, UserInterface& ui, QWidget* parent)
    : QDialog(parent), selection_(selection), ui_(ui)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("芯片选择"));
    setFixedSize(404, 320);

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
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->header()->setStretchLastSection(false);
    // The position column is there to be read, not seen.
    ListView1->header()->setMinimumSectionSize(1);
    ListView1->viewport()->installEventFilter(this);
    ListView1->installEventFilter(this);
    ComboBox1->installEventFilter(this);
    ComboBox1->lineEdit()->installEventFilter(this);
    buildColumns();

    BitBtn1 = new QPushButton(QStringLiteral("选择"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("退出"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);

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

    connect(ComboBox1, &QComboBox::editTextChanged, this, &TForm3::ComboBox1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm3::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm3::BitBtn2Click);
}

QString TForm3::columnHeading(int heading, int languageIndex)
{
    static const char* const kHeadings[9] = {"类型", "類型", "Type", "厂商", "廠商", "Manufacturer",
                                             "名称", "名稱", "Name"};
    if (heading < 0 || heading > 2)
        return {};
    return QString::fromUtf8(kHeadings[heading * 3 + clampLanguage(languageIndex)]);
}

void TForm3::buildColumns()
{
    ListView1->clear();
    const int language = ui_.languageIndex();
    ListView1->setColumnCount(4);
    ListView1->setHeaderLabels({columnHeading(0, language), columnHeading(1, language),
                                columnHeading(2, language), QStringLiteral("pos")});
    // The designed widths, or wider where a heading would be cut ("Manufacturer").
    const int widths[] = {80, 80, 100};
    for (int c = 0; c < 3; ++c)
        ListView1->setColumnWidth(c, std::max(widths[c], ListView1->header()->sectionSizeHint(c)));
    ListView1->setColumnWidth(3, 1);
}

void TForm3::addRow(int position)
{
    const ChipNames names = chipNames(selection_.chips()[position].keyText());
    auto* row = new QTreeWidgetItem(ListView1);
    row->setText(0, QString::fromUtf8(names.type));
    row->setText(1, QString::fromUtf8(names.manufacturer));
    row->setText(2, QString::fromUtf8(names.model));
    row->setText(3, QString::number(position));
}

void TForm3::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TForm3::FormShow()
{
    // The search text stays as it was; the list shows the table all the same,
    // with the current chip chosen, and typing goes to the search text.
    buildColumns();
    const ChipTable& chips = selection_.chips();
    const int current = selection_.currentChipIndex();
    for (int i = 0; i < kListedOnOpening && !chips[i].isEnd(); ++i) {
        addRow(i);
        if (i == current)
            ListView1->setCurrentItem(ListView1->topLevelItem(ListView1->topLevelItemCount() - 1));
    }
    if (QTreeWidgetItem* chosen = ListView1->currentItem())
        ListView1->scrollToItem(chosen, QAbstractItemView::PositionAtCenter);
    ComboBox1->setFocus(Qt::OtherFocusReason);
    ComboBox1->lineEdit()->selectAll();
}

void TForm3::ComboBox1Change()
{
    buildColumns();
    // The whole key is searched: a text may match across the commas or in
    // the association field.
    for (const int position : selection_.chips().positionsHolding(ComboBox1->currentText().toUtf8()))
        addRow(position);
    // The first match is chosen, so Enter takes it.
    if (ListView1->topLevelItemCount() > 0)
        ListView1->setCurrentItem(ListView1->topLevelItem(0));
}

void TForm3::BitBtn1Click()
{
    const QList<QTreeWidgetItem*> selected = ListView1->selectedItems();
    if (selected.isEmpty())
        return;
    const QTreeWidgetItem* row = selected.first();
    selection_.selectByNames(row->text(0).toUtf8(), row->text(1).toUtf8(), row->text(2).toUtf8());
    accept();
}

void TForm3::BitBtn2Click()
{
    reject();
}

bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    // A double click anywhere in the list chooses the selected row, if any.
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        BitBtn1Click();
        return true;
    }
    const bool search = watched == ComboBox1 || watched == ComboBox1->lineEdit();
    if ((search || watched == ListView1) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Enter in the search text or the list chooses the selected chip.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            BitBtn1Click();
            return true;
        }
        // Up and Down in the search text walk the list.
        if (search && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down
                                     || key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown)) {
            QCoreApplication::sendEvent(ListView1, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
