// The handlers that look into the chip rather than program it (the compare
// with its report, Unprotect, the check of the set-up) and the production
// log's file and count.

#include "app/gui/Unit1.h"

#include "app/AidTexts.h"
#include "app/DialogPlacement.h"
#include "app/gui/SetupDialog.h"
#include "hexview/HexView.h"
#include "operations/SetupChecks.h"
#include "operations/Unprotect.h"
#include "operations/gui/CompareDialog.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {

// Beside the view, as tall as it: the ranges chosen and the view stay in sight together.
void placeBesideView(QDialog& dialog, const QWidget& window, const QWidget& view)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The dialog has no frame before it is shown: it gets the main window's.
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    const QRect anchor(view.mapToGlobal(QPoint(0, 0)), view.size());
    const QSize wanted = dialog.size().expandedTo(dialog.minimumSizeHint());
    const QSize size(wanted.width(), std::max(wanted.height(), anchor.height() - frame.top() - frame.bottom()));
    const QRect placed = placeBeside(anchor, size, frame, screen->availableGeometry(), dialog.minimumSizeHint());
    dialog.resize(placed.size());
    dialog.move(placed.topLeft());
}

} // namespace

void TForm1::CompareChipClick()
{
    const MemoryPage page = activeMemoryPage();
    bool ran = false;
    // As Verify: the chip is compared with what the view shows.
    runChipJob([this, page, &ran] {
        ran = true;
        takeViewEdits();
        operations_->compareChip(page);
    });
    if (!ran)
        return;
    refreshAfterJob();
    const CompareReport* report = operations_->lastCompare();
    if (!report)
        return;
    const ChipEntry& chip = state_->currentChip();
    const qint64 memory = page == MemoryPage::Eeprom ? chip.eepromBytes() : chip.flashBytes();
    CompareDialog dialog(*report, languageIndex_, memory, this);
    HexView* view = page == MemoryPage::Eeprom ? EpromEditor : FlashEditor;
    connect(&dialog, &CompareDialog::rangeChosen, view, [view](qint64 address) { view->goToAddress(address); });
    placeBesideView(dialog, *this, *view);
    presenter_->execDialog(dialog);
}

void TForm1::CheckSetupClick()
{
    // The probe and the timed exchanges use the link: not while a job holds it.
    const auto check = [this] {
        std::vector<SetupCheck> checks;
        runChipJob([this, &checks] {
            checks = runSetupChecks(UsbSetupPaths::system(files_.installPrefix()), state_->programmer(), state_->chips(),
                                    languageIndex_);
        });
        return checks;
    };
    // No dialog opens while a job holds the window.
    if (lockedForJob())
        return;
    SetupDialog dialog(check, languageIndex_, this);
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
                                                  QStringLiteral("csv"),
                                                  aidMessage(AidMessage::ProductionLogTitle, languageIndex_));
    showProductionLog();
    if (path.isEmpty())
        return;
    // Rows are appended: choosing a file that exists keeps what it holds.
    operations_->setProductionLogPath(path);
    showProductionLog();
    log(message(Msg::ProductionLogChosen) + QDir::toNativeSeparators(path));
}

void TForm1::NoProdLogClick()
{
    const bool was = !operations_->productionLogPath().isEmpty();
    if (!lockedForJob() && was) {
        operations_->setProductionLogPath(QString());
        log(aidMessage(AidMessage::ProductionLogOff, languageIndex_));
    }
    showProductionLog();
}

void TForm1::showProductionLog()
{
    NoProdLog->setChecked(operations_->productionLogPath().isEmpty());
}

void TForm1::showBatchTally()
{
    const BatchTally& tally = batch_->tally();
    BatchStatus->setText(batchTallyText(tally.passed(), tally.failed(), tally.elapsedMs(), languageIndex_));
    BatchStatus->setVisible(batchModeOn());
}
