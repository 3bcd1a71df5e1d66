// The handlers that look into the chip rather than program it (the compare
// with its report, Unprotect) and the production log's file and count.

#include "app/gui/Unit1.h"

#include "hexview/HexView.h"
#include "operations/Unprotect.h"
#include "operations/gui/CompareDialog.h"

#include <QDir>
#include <QLabel>

void TForm1::CompareChipClick()
{
    const MemoryPage page = activeMemoryPage();
    bool ran = false;
    // As Verify: the chip is compared with what the view shows.
    runChipJob([this, page, &ran] {
        ran = true;
        TakeFlashViewEdits();
        operations_->compareChip(page);
    });
    if (!ran)
        return;
    refreshAfterJob();
    const CompareReport* report = operations_->lastCompare();
    if (!report)
        return;
    CompareDialog dialog(*report, languageIndex_, this);
    HexView* view = page == MemoryPage::Eeprom ? EpromEditor : FlashEditor;
    connect(&dialog, &CompareDialog::rangeChosen, view, [view](qint64 address) { view->goToAddress(address); });
    presenter_->execDialog(dialog);
}

void TForm1::UnprotectChipClick()
{
    runChipJob([this] {
        // What the chip loses with its protection is said first; No sends nothing.
        const QString effect = unprotectEffect(state_->currentChip(), languageIndex_);
        if (!effect.isEmpty() && !askYesNo(effect + QStringLiteral("\n\n") + message(Msg::UnprotectAsk)))
            return;
        operations_->unprotectChip();
    });
}

void TForm1::ProdLogClick()
{
    if (lockedForJob())
        return;
    const QString path = presenter_->saveFileName({QStringLiteral("CSV (*.csv)"), QStringLiteral("* (*)")},
                                                  QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    // Rows are appended: choosing a file that exists keeps what it holds.
    operations_->setProductionLogPath(path);
    log(message(Msg::ProductionLogChosen) + QDir::toNativeSeparators(path));
}

void TForm1::showBatchTally()
{
    const BatchTally& tally = batch_->tally();
    BatchStatus->setText(batchTallyText(tally.passed(), tally.failed(), tally.elapsedMs(), languageIndex_));
    BatchStatus->setVisible(batchModeOn());
}
