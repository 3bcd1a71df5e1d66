// The fuse and lock page of the main window: the grid of bytes and bits, the
// list of named settings, the value editor and the four device buttons, all
// over the fuse state of the program.

#include "app/gui/Unit1.h"

#include "app/AidTexts.h"
#include "fuses/FuseState.h"
#include "operations/FuseJobs.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>

namespace {

constexpr int kBitImageSize = 20;

// The two bit-state images: an empty box for 0, a filled one for 1.
void drawBitImage(QPainter& painter, const QRect& cell, bool set)
{
    const QRect box(cell.left() + 2, cell.top() + (cell.height() - kBitImageSize) / 2 + 3, kBitImageSize - 6,
                    kBitImageSize - 6);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(set ? QColor(0x1f, 0x7a, 0x32) : QColor(0x80, 0x80, 0x80), 1.5));
    painter.setBrush(set ? QColor(0x3c, 0xb0, 0x50) : QColor(0xff, 0xff, 0xff));
    painter.drawRoundedRect(box, 2, 2);
}

} // namespace

void TForm1::showFuses()
{
    const FuseState& fuses = state_->fuses();
    const FuseGrid& grid = fuses.grid();
    StringGrid1->setColumnCount(grid.columnCount());
    for (int c = 0; c < grid.columnCount(); ++c) {
        for (int r = 0; r < FuseGrid::kRowCount; ++r) {
            QTableWidgetItem* item = StringGrid1->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                const bool fixed = r == 0 || c == 0;
                item->setFlags(fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                if (fixed)
                    item->setBackground(palette().button());
                StringGrid1->setItem(r, c, item);
            }
            item->setText(grid.cell(c, r));
        }
    }
    FormResize();

    const QSignalBlocker block(CheckListBox1);
    const auto& settings = fuses.settings();
    bool same = CheckListBox1->count() == int(settings.size());
    for (int i = 0; same && i < CheckListBox1->count(); ++i)
        same = CheckListBox1->item(i)->text() == settings[std::size_t(i)].caption;
    if (!same) {
        CheckListBox1->clear();
        for (const FuseSetting& s : settings) {
            auto* item = new QListWidgetItem(s.caption, CheckListBox1);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        }
    }
    for (int i = 0; i < CheckListBox1->count(); ++i)
        CheckListBox1->item(i)->setCheckState(fuses.isChecked(i) ? Qt::Checked : Qt::Unchecked);
}

bool TForm1::confirmFuseValues(bool fuseBytes, bool lockByte)
{
    const auto confirmed = [this](bool& known, AidMessage question) {
        if (!known)
            known = askYesNo(aidMessage(question, languageIndex_));
        return known;
    };
    return (!fuseBytes || confirmed(fuseBytesKnown_, AidMessage::FusesNotRead))
           && (!lockByte || confirmed(lockByteKnown_, AidMessage::LockNotRead));
}

void TForm1::runFuseJob(FuseJob job)
{
    if (lockedForJob())
        return;
    const bool fuseBytes = job == FuseJob::ReadFuses || job == FuseJob::WriteFuses;
    // A hidden page's jobs are refused by the job itself, with its message.
    if (pageShown(TabSheet3) && !confirmFuseValues(job == FuseJob::WriteFuses, job == FuseJob::WriteLock))
        return;
    FuseJobResult result = FuseJobResult::Failed;
    runChipJob([&] { result = RunFuseJob(state_->fuseJobParts(), job); });
    if (result == FuseJobResult::Done)
        (fuseBytes ? fuseBytesKnown_ : lockByteKnown_) = true;
    showFuses();
}

void TForm1::FuseReadClick() { runFuseJob(FuseJob::ReadFuses); }
void TForm1::FuseWriteClick() { runFuseJob(FuseJob::WriteFuses); }
void TForm1::ReadLockBtnClick() { runFuseJob(FuseJob::ReadLock); }
void TForm1::WriteLockBtnClick() { runFuseJob(FuseJob::WriteLock); }

// The fuse step of a running batch writes these bytes into every chip: they
// do not change between chips, as the buffers do not.
bool TForm1::fuseEditRefused()
{
    if (lockedForJob() || !pageShown(TabSheet3))
        return true;
    if (!refusedInBatchMode())
        return false;
    showFuses();  // the check box or cell shows the bytes again
    return true;
}

void TForm1::FuseDefaultClick()
{
    if (fuseEditRefused())
        return;
    state_->fuses().resetFusesToDefaults();
    fuseBytesKnown_ = true;
    showFuses();
    beep();
}

void TForm1::CheckListBox1ClickCheck(int index)
{
    if (fuseEditRefused())
        return;
    const QListWidgetItem* item = CheckListBox1->item(index);
    if (!item)
        return;
    state_->fuses().clickSetting(index, item->checkState() == Qt::Checked);
    showFuses();
}

void TForm1::StringGrid1Click(int row, int column)
{
    if (fuseEditRefused())
        return;
    const std::optional<QString> value = state_->fuses().clickCell(column, row);
    if (!value) {
        showFuses();
        return;
    }
    // The value is typed in the editor laid over the cell.
    const QRect cell = StringGrid1->visualRect(StringGrid1->model()->index(row, column));
    MaskEdit1->setGeometry(cell.left() + 2, cell.top() + 2, cell.width() - 1, cell.height() - 1);
    MaskEdit1->setText(*value);
    MaskEdit1->show();
    MaskEdit1->setFocus(Qt::OtherFocusReason);
}

void TForm1::MaskEdit1Exit()
{
    if (lockedForJob())
        return;
    if (MaskEdit1->isHidden())
        return;
    if (!state_->fuses().finishValueEdit(MaskEdit1->text()))
        return;
    MaskEdit1->hide();
    showFuses();
}

void TForm1::StringGrid1DrawCell(QPainter& painter, int column, int row, const QRect& rect)
{
    const int image = state_->fuses().bitImage(column, row);
    if (image >= 0)
        drawBitImage(painter, rect, image == 1);
}
