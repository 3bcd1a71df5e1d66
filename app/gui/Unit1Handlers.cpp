// The handlers that start work on the chip or the buffers, each handing over
// to its core and showing the result.

#include "app/gui/Unit1.h"

#include "app/FileHistory.h"

#include "buffers/Fill.h"
#include "buffers/Merge.h"
#include "buffers/OpenSave.h"
#include "buffers/SizeCaption.h"
#include "buffers/gui/Unit4.h"
#include "chipdb/gui/Unit2.h"
#include "chipdb/gui/Unit3.h"
#include "hexview/HexView.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

void TForm1::refreshAfterJob()
{
    ShowBufferSizes();
    if (UID->value() != state_->serial().value)
        UID->setValue(state_->serial().value);
}

void TForm1::showReadSizes(MemoryPage page)
{
    // A read sets the caption blue without comparing, and the gauge.
    const ChipEntry& chip = state_->currentChip();
    const Buffers& buffers = state_->buffers();
    if (page == MemoryPage::Flash) {
        showSizeCaption(FlashSize, flashSizeCaption(chip, buffers.flashLength()).text, false);
        setGauge(chip.flashBytes(), buffers.flashLength());
    } else if (page == MemoryPage::Eeprom) {
        showSizeCaption(EpromSize, eepromSizeCaption(chip, buffers.eepromLength()).text, false);
    }
    refreshChecksums();
}

void TForm1::ToolOpenClick()
{
    if (lockedForJob() || refusedInBatchMode())
        return;
    const MemoryPage page = activeMemoryPage();
    if (!pageTakesFiles(state_->currentChip(), page))
        return;
    const QString path = presenter_->openFileName(openNameFilters());
    if (!path.isEmpty())
        openDataFile(path);
}

void TForm1::ToolSaveClick()
{
    if (lockedForJob())
        return;
    const MemoryPage page = activeMemoryPage();
    if (!pageTakesFiles(state_->currentChip(), page))
        return;
    const QString path = presenter_->saveFileName(saveNameFilters(), QString());
    if (path.isEmpty())
        return;
    // The file holds what the view shows, typed bytes included.
    takeViewEdits();
    ShowBufferSizes();
    // The file opens back as what it holds: the filter's format goes with its extension.
    const SaveChoice choice = saveChoice(path, presenter_->chosenFilter());
    if (saveFromPage(state_->buffers(), state_->currentChip(), page, choice.path, state_->ui(), choice.format)) {
        fileHistory_->remember(choice.path);
        showRecentFiles();
    }
}

void TForm1::ToolReadClick()
{
    // A flaky clip reads differently each time: two reads that agree are the check.
    if (ReadTwice->isChecked())
        runChipJob([this] { operations_->readChecked(activeMemoryPage(), 2); });
    else
        runChipJob([this] { operations_->readChip(activeMemoryPage()); });
}

void TForm1::ToolBankClick()
{
    runChipJob([this] { operations_->blankCheck(); });
}

void TForm1::ToolEraseClick()
{
    runChipJob([this] { operations_->eraseChip(); });
}

void TForm1::ToolWriteClick()
{
    // The write takes the Flash view's edits in, and may round the data
    // length up to whole pages.
    runChipJob([this] {
        takeViewEdits();
        operations_->writeChip(activeMemoryPage());
    });
    refreshAfterJob();
}

void TForm1::ToolVerifyClick()
{
    // The chip is compared with what the view shows: an edit not yet taken
    // in would let the old bytes pass for the new ones.
    runChipJob([this] {
        takeViewEdits();
        operations_->verifyChip(activeMemoryPage());
    });
    refreshAfterJob();
}

void TForm1::ToolAutoClick()
{
    if (lockedForJob() || !confirmAutoFuseValues())
        return;
    runChipJob([this] {
        takeViewEdits();
        operations_->runAuto(autoOptions());
    });
    refreshAfterJob();
}

void TForm1::Panel8Click()
{
    // Not a chip job: batch mode can be switched off while a chip is programmed.
    // Switching on takes the view's edits in, which may change the length, so
    // not under a running job.
    if (!batchModeOn() && lockedForJob())
        return;
    if (!batchModeOn() && (!autoHasSteps() || !confirmAutoFuseValues()))
        return;
    if (!batchModeOn())
        takeViewEdits();
    batch_->toggle();
    ShowBufferSizes();
}

void TForm1::Timer1Timer()
{
    // Most ticks only look at the socket; the displays change when a chip
    // was programmed.
    // A dialog the person has open (the fill, a file) would act on the
    // buffers in the middle of the sequence: the next chip waits for it.
    if (QApplication::activeModalWidget())
        return;
    const bool handledBefore = batch_->chipHandled();
    runChipJob([this] { batch_->tick(); });
    if (!handledBefore && batch_->chipHandled()) {
        refreshAfterJob();
        showBatchTally();
    }
}

// A chip change reloads the views from the buffers: the bytes typed into
// them go into the buffers first, or they would be lost.
void TForm1::BtnCheckClick()
{
    runChipJob([this] {
        takeViewEdits();
        operations_->detectChip();
    });
}

void TForm1::BtnFindClick()
{
    if (lockedForJob())
        return;
    takeViewEdits();
    presenter_->execDialog(*form3_);
}

void TForm1::N3Click()
{
    if (lockedForJob())
        return;
    presenter_->execDialog(*form2_);
}

void TForm1::ToolFillClick()
{
    if (lockedForJob() || refusedInBatchMode())
        return;
    form4_->Edit4->setText(fillEndText(state_->currentChip().flashBytes()));
    // The view shows the filled bytes anew and keeps its other edits, and
    // the chip's size, as after every other change of the buffer.
    flashChange_ = {0, 0};
    if (presenter_->execDialog(*form4_) == QDialog::Accepted)
        state_->buffers().refreshFlashView(state_->currentChip(), flashChange_.first, flashChange_.second);
    ShowFlashSizeBlue();
}

void TForm1::BitBtn1Click()
{
    if (lockedForJob() || !pageShown(TabSheet4))
        return;
    if (!RadioButton3->isChecked() || refusedInBatchMode())
        return;
    const QString path = presenter_->openFileName(openNameFilters());
    if (path.isEmpty())
        return;
    Edit2->setText(path);
    MergeFileIntoFlash(state_->buffers(), state_->serial(), state_->currentChip(), path, state_->ui());
    refreshChecksums();
}
