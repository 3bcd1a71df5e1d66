#include "chipdb/gui/Unit2.h"

#include "app/IntegerText.h"
#include "app/ProgramFiles.h"
#include "app/UserInterface.h"
#include "app/gui/BoxPresenter.h"
#include "buffers/OpenSave.h"
#include "chipdb/ChipTable.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QStringList pageSizeItems()
{
    QStringList items;
    for (int p = 0; p <= 10; ++p)
        items << QString::number(1 << p);
    return items;
}

QStringList classItems()
{
    return {QStringLiteral("SPI_FLASH"), QStringLiteral("24_EEPROM"), QStringLiteral("93_EEPROM"),
            QStringLiteral("95_EEPROM"), QStringLiteral("25_EEPROM")};
}

constexpr int kMicrowireClass = 2;

// Subtype items of a class; none for a class without a subtype choice.
QStringList subtypeItems(int chipClass)
{
    switch (chipClass) {
    case 0: return {QStringLiteral("非SST flash"), QStringLiteral("SST flash"), QStringLiteral("大于16M")};
    case 1: return {QStringLiteral("小于4KB"), QStringLiteral("大于等于4KB"), QStringLiteral("大于64KB")};
    case kMicrowireClass: return ChipGrid::microwireLabels();
    default: return {};
    }
}

QStringList voltageItems() { return {QStringLiteral("3.3V"), QStringLiteral("5.0V")}; }
QStringList interfaceItems() { return {QStringLiteral("SOCK")}; }

void copyTable(const ChipTable& from, ChipTable& to)
{
    for (int i = 0; i < ChipTable::kCapacity; ++i)
        to[i] = from[i];
}

QString fileError(const QString& path, const QString& error)
{
    return QStringLiteral("%1: %2").arg(path, error);
}

} // namespace

TForm2::TForm2(ChipTable& chips, UserInterface& ui, const ProgramFiles& files, BoxPresenter& presenter,
               QPlainTextEdit* log, QWidget* parent)
    : QDialog(parent), chips_(chips), ui_(ui), files_(files), presenter_(presenter), log_(log)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("芯片编辑"));
    resize(1024, 480);

    StringGrid1 = new QTableWidget(0, ChipGrid::kVisibleColumns, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setHorizontalHeaderLabels(ChipGrid::headings());
    StringGrid1->horizontalHeader()->setDefaultSectionSize(75);
    // The heading row is fixed: a click on it selects no column.
    StringGrid1->horizontalHeader()->setSectionsClickable(false);
    // Rows of the designed 20 pixels, taller where the font needs it (CJK).
    StringGrid1->verticalHeader()->setDefaultSectionSize(std::max(20, StringGrid1->fontMetrics().height() + 6));
    // Column 0 is the grid's fixed column; there is no row-number column.
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::AnyKeyPressed);
    const auto widths = ChipGrid::columnWidths();
    for (int c = 0; c < ChipGrid::kVisibleColumns; ++c)
        StringGrid1->setColumnWidth(c, widths[std::size_t(c)]);

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

    connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this](int row, int column, int, int) {
        if (row >= 0 && column >= 0)
            StringGrid1SelectCell(column, row + 1);
    });
    connect(StringGrid1, &QTableWidget::itemChanged, this, &TForm2::cellEdited);
    // The drop-down of the current cell comes back when the cell is clicked
    // again, also after a scroll hid it.
    StringGrid1->viewport()->installEventFilter(this);
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (!std::exchange(pressOnCurrentCell_, false))
            return;
        StringGrid1SelectCell(column, row + 1);
        if (box->isVisible())
            box->showPopup();
    });
    // The drop-down belongs to a place in the grid; scrolling leaves it behind.
    connect(StringGrid1->verticalScrollBar(), &QScrollBar::valueChanged, box, &QWidget::hide);
    connect(StringGrid1->horizontalScrollBar(), &QScrollBar::valueChanged, box, &QWidget::hide);
    // Only a choice made in the list writes the cell, not the positioning.
    connect(box, &QComboBox::activated, this, &TForm2::boxChange);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
    connect(BtnDelete, &QPushButton::clicked, this, &TForm2::BtnDeleteClick);
    connect(BtnAdd, &QPushButton::clicked, this, &TForm2::BtnAddClick);
    connect(BtnSave, &QPushButton::clicked, this, &TForm2::BtnSaveClick);
    connect(BtnExit, &QPushButton::clicked, this, &TForm2::BtnExitClick);
}

void TForm2::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TForm2::showGrid()
{
    const QSignalBlocker block(StringGrid1);
    const int rows = grid_.rowCount() - 1;
    StringGrid1->setRowCount(rows);
    const QBrush fixed = palette().button();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < ChipGrid::kVisibleColumns; ++c) {
            QTableWidgetItem* item = StringGrid1->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                if (c == ChipGrid::ColType) {
                    // The fixed column is not typed into.
                    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                    item->setBackground(fixed);
                }
                StringGrid1->setItem(r, c, item);
            }
            item->setText(grid_.cell(c, r + 1));
        }
    }
    if (rows > 0 && StringGrid1->currentRow() < 0)
        StringGrid1->setCurrentCell(0, 1);
}

void TForm2::cellEdited(QTableWidgetItem* item)
{
    grid_.setCell(item->column(), item->row() + 1, item->text());
}

std::optional<int32_t> TForm2::cellInteger(int column, int row)
{
    const QString text = grid_.cell(column, row);
    const std::optional<int32_t> value = parseInteger(text);
    if (!value) {
        UserInterface& ui = ui_;
        ui.showError(ui.message(Msg::ChipListCellNotInteger).arg(text));
    }
    return value;
}

void TForm2::FormShow()
{
    UserInterface& ui = ui_;
    const QString path = files_.chipList();
    switch (chips_.loadFile(path)) {
    case ChipTable::LoadResult::Damaged:
        ui.showMessage(QString(), QStringLiteral("配置文件被破坏！"));
        break;
    case ChipTable::LoadResult::Truncated:
        ui.log(ui.message(Msg::ChipListTruncated));
        break;
    case ChipTable::LoadResult::Unreadable:
        ui.showError(fileError(path, ui.message(Msg::CantOpenFile)));
        break;
    case ChipTable::LoadResult::Missing:
    case ChipTable::LoadResult::Loaded:
        break;
    }
    StringGrid1->setHorizontalHeaderLabels(ChipGrid::headings());
    grid_.fillFrom(chips_);
    box->hide();
    editedColumn_ = editedRow_ = -1;
    showGrid();
    fitColumns();
    Label1->setText(QString::number(grid_.rowCount()));
}

void TForm2::fitColumns()
{
    // Measured on the grid's texts rather than the rows in sight: the list
    // is long and its widest names may lie far down.
    const auto widths = ChipGrid::columnWidths();
    const QFontMetrics cells = StringGrid1->fontMetrics();
    const int margin = 2 * (StringGrid1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) + 4;
    for (int c = 0; c < ChipGrid::kVisibleColumns; ++c) {
        int width = std::max(widths[std::size_t(c)], StringGrid1->horizontalHeader()->sectionSizeHint(c));
        for (int r = 1; r < grid_.rowCount(); ++r)
            width = std::max(width, cells.horizontalAdvance(grid_.cell(c, r)) + margin);
        StringGrid1->setColumnWidth(c, width);
    }
}

bool TForm2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == StringGrid1->viewport() && event->type() == QEvent::MouseButtonPress) {
        const QModelIndex at = StringGrid1->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        pressOnCurrentCell_ = at.isValid() && at == StringGrid1->currentIndex();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::placeBox(int column, int row)
{
    const QRect cell = StringGrid1->visualRect(StringGrid1->model()->index(row - 1, column));
    box->setGeometry(cell.left(), cell.top() + 2, StringGrid1->columnWidth(column), StringGrid1->rowHeight(row - 1));
}

void TForm2::StringGrid1SelectCell(int column, int row)
{
    editedColumn_ = column;
    editedRow_ = row;
    placeBox(column, row);
    box->clear();
    box->show();
    std::optional<int32_t> position;
    switch (column) {
    case ChipGrid::ColFlashPage:
    case ChipGrid::ColEepromPage: {
        const QStringList items = pageSizeItems();
        box->addItems(items);
        const QString text = grid_.cell(column, row);
        position = -1;
        for (int i = 0; i < items.size() && *position < 0; ++i)
            if (items[i].compare(text, Qt::CaseInsensitive) == 0)
                position = i;
        break;
    }
    case ChipGrid::ColClass:
        box->addItems(classItems());
        position = cellInteger(column, row);
        break;
    case ChipGrid::ColSubtype: {
        const std::optional<int32_t> chipClass = cellInteger(ChipGrid::ColClass, row);
        if (!chipClass)
            return;
        const QStringList items = subtypeItems(*chipClass);
        if (items.isEmpty()) {
            box->hide();
            return;
        }
        box->addItems(items);
        position = cellInteger(column, row);
        if (position && *chipClass == kMicrowireClass)
            position = ChipGrid::microwirePositionOfCode(*position);
        break;
    }
    case ChipGrid::ColVoltage:
        box->addItems(voltageItems());
        position = cellInteger(column, row);
        break;
    case ChipGrid::ColInterface:
        box->addItems(interfaceItems());
        position = cellInteger(column, row);
        if (position)
            position = *position - 1;
        break;
    default:
        box->hide();
        return;
    }
    if (position && *position >= 0 && *position < box->count())
        box->setCurrentIndex(*position);
    else
        box->setCurrentIndex(-1);
}

void TForm2::boxChange(int position)
{
    const int column = editedColumn_;
    const int row = editedRow_;
    if (position < 0 || row < 1 || row >= grid_.rowCount())
        return;
    QString text;
    switch (column) {
    case ChipGrid::ColFlashPage:
    case ChipGrid::ColEepromPage:
        text = QString::number(1 << position);
        break;
    case ChipGrid::ColClass:
        text = QString::number(position);
        // The class names the type as well.
        grid_.setCell(ChipGrid::ColType, row, box->itemText(position));
        break;
    case ChipGrid::ColSubtype: {
        const std::optional<int32_t> chipClass = cellInteger(ChipGrid::ColClass, row);
        if (!chipClass)
            return;
        text = *chipClass == kMicrowireClass
                   ? QString::asprintf("0x%x", unsigned(ChipGrid::microwireCodeOfPosition(position)))
                   : QString::number(position);
        break;
    }
    case ChipGrid::ColVoltage:
        text = QString::number(position);
        break;
    case ChipGrid::ColInterface:
        text = QString::number(position + 1);
        break;
    default:
        return;
    }
    grid_.setCell(column, row, text);
    const QSignalBlocker block(StringGrid1);
    for (int c : {column, int(ChipGrid::ColType)})
        if (QTableWidgetItem* item = StringGrid1->item(row - 1, c))
            item->setText(grid_.cell(c, row));
}

void TForm2::BtnAddClick()
{
    // The row is filled before it becomes current, so its drop-down sees the copied values.
    grid_.addRowFromFirstEntry(chips_);
    showGrid();
    const int column = StringGrid1->currentColumn() >= 0 ? StringGrid1->currentColumn() : 1;
    StringGrid1->setCurrentCell(StringGrid1->rowCount() - 1, column);
}

void TForm2::BtnDeleteClick()
{
    if (grid_.rowCount() < 2)
        return;
    grid_.deleteRow(StringGrid1->currentRow() + 1);
    box->hide();
    showGrid();
}

void TForm2::BtnSaveClick()
{
    UserInterface& ui = ui_;
    // The table changes only once the file holds the same list.
    auto work = std::make_unique<ChipTable>();
    copyTable(chips_, *work);
    if (const auto refusal = grid_.saveInto(*work)) {
        ui.showError(refusal->text(ui.languageIndex()));
        return;
    }
    const QString path = files_.writableChipList();
    QString error;
    if (!work->saveFile(path, grid_.rowCount() - 1, &error)) {
        ui.showError(fileError(path, error));
        return;
    }
    copyTable(*work, chips_);
}

void TForm2::BtnExitClick()
{
    reject();
}

void TForm2::BitBtn1Click()
{
    const QString path = presenter_.openFileName({QStringLiteral("txt (*.txt)")});
    if (path.isEmpty())
        return;
    const auto lines = readLinesOfFile(path);
    if (!lines) {
        UserInterface& ui = ui_;
        ui.showError(fileError(path, ui.message(Msg::CantOpenFile)));
        return;
    }
    grid_.importLines(*lines);
    box->hide();
    showGrid();
    fitColumns();
}

void TForm2::BitBtn2Click()
{
    UserInterface& ui = ui_;
    const QStringList lines = grid_.exportLines();
    // The log pane shows what the file gets, and nothing else.
    if (log_)
        log_->setPlainText(lines.join(QLatin1Char('\n')));
    const QString path = files_.chipListText();
    QString why;
    if (!writeLinesToFile(path, lines, why)) {
        ui.showError(fileError(path, why));
        return;
    }
    ui.showMessage(QStringLiteral("Info"), ui.message(Msg::ExportDone));
}
