// What the main window offers for daily work beyond its designed controls:
// keyboard shortcuts and tool tips, the Buffer menu's go-to, find, copy,
// paste, undo and redo, the recent files, files dropped on the window, and a
// placement that stays on the screen.

#include "app/gui/Unit1.h"

#include "app/AidTexts.h"
#include "app/FileHistory.h"
#include "app/WindowPlacement.h"
#include "app/gui/ClickPanel.h"
#include "app/gui/FindDialog.h"
#include "app/gui/FlashChange.h"
#include "buffers/ByteSearch.h"
#include "buffers/OpenSave.h"
#include "hexview/HexView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The one local file a drag carries, or nothing.
QString draggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

// Menus whose keyboard walk stops on greyed items too: Down from one item
// always reaches the next one, so a count of presses never lands on a
// different command because one in between is greyed.
class MenuWalkStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Menu_AllowActiveAndDisabled)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void TForm1::buildAids()
{
    // Desktop conventions for the file items; function keys and Ctrl+letters
    // that no standard action takes for the chip and buffer work.
    O2->setShortcut(QKeySequence::Open);
    S1->setShortcut(QKeySequence::Save);
    Q1->setShortcut(QKeySequence::Quit);
    R1->setShortcut(Qt::Key_F4);
    E1->setShortcut(Qt::Key_F6);
    W1->setShortcut(Qt::Key_F7);
    V1->setShortcut(Qt::Key_F8);
    A1->setShortcut(Qt::Key_F9);
    N7->setShortcut(Qt::Key_F2);
    Fill->setShortcut(Qt::CTRL | Qt::Key_L);

    CompareChip->setShortcut(Qt::Key_F5);

    Detect = O3->addAction(QString());
    Detect->setObjectName(QStringLiteral("Detect"));
    Detect->setShortcut(Qt::CTRL | Qt::Key_D);
    connect(Detect, &QAction::triggered, this, [this] {
        if (BtnCheck->isEnabled())
            BtnCheckClick();
    });
    // Usable when BtnCheck is: chipBecameCurrent applies the rule to both.
    Detect->setEnabled(!BtnCheck->testAttribute(Qt::WA_ForceDisabled));

    // The serial-number option sits on a panel nobody sees; without this item
    // only the settings file could show the Extend(SN) page and its merge.
    WriteSn = new QAction(O3);
    WriteSn->setObjectName(QStringLiteral("WriteSn"));
    WriteSn->setCheckable(true);
    WriteSn->setChecked(CheckBoxSN->isChecked());
    O3->insertAction(N2, WriteSn);
    connect(WriteSn, &QAction::toggled, CheckBoxSN, &QCheckBox::setChecked);

    // The batch switch, as Panel8; it stays usable while a chip is programmed,
    // since batch mode may be switched off then.
    O3->addSeparator();
    BatchMode = O3->addAction(QString());
    BatchMode->setObjectName(QStringLiteral("BatchMode"));
    BatchMode->setShortcut(Qt::CTRL | Qt::Key_B);
    BatchMode->setCheckable(true);
    connect(BatchMode, &QAction::triggered, this, [this] {
        Panel8Click();
        BatchMode->setChecked(batchModeOn());
    });
    jobLock_.keep(BatchMode);

    const struct {
        QAction** field;
        const char* name;
        QList<QKeySequence> keys;
        void (TForm1::*handler)();
    } bufferItems[] = {
        {&UndoEdit, "UndoEdit", {QKeySequence::Undo}, &TForm1::UndoClick},
        {&RedoEdit, "RedoEdit", {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
         &TForm1::RedoClick},
        {nullptr, nullptr, {}, nullptr},
        {&GoTo, "GoTo", {QKeySequence(Qt::CTRL | Qt::Key_G)}, &TForm1::GoToClick},
        {&FindBytes, "FindBytes", {QKeySequence::Find}, &TForm1::FindClick},
        {&FindNext, "FindNext", {QKeySequence(Qt::Key_F3)}, nullptr},
        {&FindPrevious, "FindPrevious", {QKeySequence(Qt::SHIFT | Qt::Key_F3)}, nullptr},
        {&CopyHex, "CopyHex", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}, &TForm1::CopyHexClick},
        {&PasteHex, "PasteHex", {QKeySequence::Paste}, &TForm1::PasteClick},
    };
    Buff->addSeparator();
    for (const auto& item : bufferItems) {
        if (!item.field) {
            Buff->addSeparator();
            continue;
        }
        QAction* a = Buff->addAction(QString());
        a->setObjectName(QLatin1String(item.name));
        a->setShortcuts(item.keys);
        if (item.handler)
            connect(a, &QAction::triggered, this, item.handler);
        *item.field = a;
    }
    connect(FindNext, &QAction::triggered, this, [this] { findAgain(true); });
    connect(FindPrevious, &QAction::triggered, this, [this] { findAgain(false); });

    // The production log can be switched off as well as chosen.
    NoProdLog = Dev1->addAction(QString());
    NoProdLog->setObjectName(QStringLiteral("NoProdLog"));
    NoProdLog->setCheckable(true);
    connect(NoProdLog, &QAction::triggered, this, &TForm1::NoProdLogClick);

    auto* walk = new MenuWalkStyle;
    walk->setParent(this);
    for (QMenu* m : {O1, Buff, O3, Dev1, L1, H1})
        m->setStyle(walk);

    for (HexView* view : {FlashEditor, EpromEditor}) {
        // The view's own dialogs (go to) never open while a job holds the window.
        view->setDialogRunner([this](QDialog& dialog) {
            return lockedForJob() ? int(QDialog::Rejected) : presenter_->execDialog(dialog);
        });
        connect(view, &HexView::refused, this, [this](const QString& why) { ShowError(why); });
        connect(view, &HexView::historyChanged, this, &TForm1::showUndoState);
    }
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::showUndoState);
    state_->buffers().watchFlashChanges([this](qint64 from, qint64 count) { recordFlashChange(from, count); });

    // The recent files sit between Save and Quit, behind a separator of their own.
    QAction* separator = new QAction(this);
    separator->setSeparator(true);
    separator->setObjectName(QStringLiteral("RecentSeparator"));
    O1->insertAction(N1, separator);
    for (int i = 0; i < FileHistory::kRecentCount; ++i) {
        auto* a = new QAction(this);
        a->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
        O1->insertAction(N1, a);
        connect(a, &QAction::triggered, this, [this, a] {
            if (!refusedInBatchMode())
                openDataFile(a->data().toString());
        });
        recentFiles << a;
    }
    fileHistory_ = std::make_unique<FileHistory>();
    showRecentFiles();

    findDialog_ = new FindDialog(this);
    showUndoState();

    // Files dropped anywhere on the window are opened; no control takes a
    // dropped text instead (the hex fields would take it past their filter).
    for (QWidget* child : findChildren<QWidget*>())
        child->setAcceptDrops(false);
    setAcceptDrops(true);
}

void TForm1::applyAidTexts()
{
    const int language = languageIndex_;
    for (const CaptionEntry& entry : aidCaptionTable())
        if (std::strcmp(entry.window, "TForm1") == 0)
            if (auto* a = control<QAction>(QLatin1String(entry.control)))
                a->setText(captionText(entry, language));
    // A tool button's tip names the key of its menu item.
    const std::pair<QWidget*, QAction*> keys[] = {
        {ToolOpen, O2}, {ToolSave, S1}, {ToolRead, R1}, {ToolErase, E1}, {ToolWrite, W1},
        {ToolVerify, V1}, {ToolAuto, A1}, {ToolBank, N7}, {ToolFill, Fill}, {Panel8, BatchMode}};
    for (const CaptionEntry& entry : toolTipTable()) {
        auto* w = control<QWidget>(QLatin1String(entry.control));
        if (!w)
            continue;
        QString tip = captionText(entry, language);
        for (const auto& [button, item] : keys)
            if (button == w)
                tip += QStringLiteral(" (%1)").arg(item->shortcut().toString(QKeySequence::NativeText));
        if (w == BtnCheck)
            tip += QStringLiteral(" (%1)").arg(Detect->shortcut().toString(QKeySequence::NativeText));
        w->setToolTip(tip);
    }
    HexTexts texts;
    texts.goToCaption = aidCaptionFor("GoToDialog", "", language);
    texts.goToLabel = aidCaptionFor("GoToDialog", "Label1", language);
    texts.goToOutside = aidMessage(AidMessage::GoToOutside, language);
    texts.pasteTooLong = aidMessage(AidMessage::PasteTooLong, language);
    texts.pasteNotHex = aidMessage(AidMessage::PasteNotHex, language);
    for (HexView* view : {FlashEditor, EpromEditor})
        view->setTexts(texts);
    findDialog_->applyLanguage(language);
}

// ------------------------------------------------------------------ files

bool TForm1::openDataFile(const QString& path)
{
    // The buffers belong to the job while it runs, and to every chip of a batch.
    if (lockedForJob() || batchModeOn() || path.isEmpty())
        return false;
    const MemoryPage page = activeMemoryPage();
    if (openIntoPage(state_->buffers(), state_->currentChip(), page, path, state_->ui()) != OpenOutcome::Loaded)
        return false;
    // What came before the file cannot be taken back into it.
    (page == MemoryPage::Eeprom ? EpromEditor : FlashEditor)->clearHistory();
    ShowBufferSizes();
    fileHistory_->remember(path);
    showRecentFiles();
    return true;
}

bool TForm1::refusedInBatchMode()
{
    if (!batchModeOn())
        return false;
    ShowError(aidMessage(AidMessage::BatchHoldsBuffers, languageIndex_));
    return true;
}

void TForm1::showRecentFiles()
{
    const QStringList& files = fileHistory_->recent();
    for (int i = 0; i < recentFiles.size(); ++i) {
        QAction* a = recentFiles[i];
        a->setVisible(i < files.size());
        if (i >= files.size())
            continue;
        QString shown = QDir::toNativeSeparators(files[i]);
        shown.replace(QLatin1Char('&'), QLatin1String("&&"));
        a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        a->setData(files[i]);
    }
    if (auto* separator = control<QAction>(QStringLiteral("RecentSeparator")))
        separator->setVisible(!files.isEmpty());
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    // Nor in batch mode: every chip of a batch gets the same buffer.
    if (!lockedForJob() && !batchModeOn() && !draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QString path = draggedFile(event->mimeData());
    if (lockedForJob() || batchModeOn() || path.isEmpty())
        return;
    event->acceptProposedAction();
    openDataFile(path);
}

// ------------------------------------------------------------- hex views

HexView* TForm1::activeHexView() const
{
    // The page in sight, not its position among the shown tabs.
    const QWidget* page = PageControl1->currentWidget();
    if (!pageShown(page))
        return nullptr;
    return page == TabSheet1 ? FlashEditor : page == TabSheet2 ? EpromEditor : nullptr;
}

void TForm1::GoToClick()
{
    if (HexView* view = activeHexView(); view && !lockedForJob())
        view->askForAddress();
}

void TForm1::UndoClick()
{
    if (HexView* view = activeHexView())
        view->undo();
}

void TForm1::RedoClick()
{
    if (HexView* view = activeHexView())
        view->redo();
}

void TForm1::PasteClick()
{
    if (HexView* view = activeHexView()) {
        view->setFocus(Qt::OtherFocusReason);
        view->paste();
    }
}

void TForm1::showUndoState()
{
    const HexView* view = activeHexView();
    UndoEdit->setEnabled(view && view->canUndo());
    RedoEdit->setEnabled(view && view->canRedo());
}

void TForm1::updateEditing()
{
    // Nothing changes the bytes under a job, nor while batch mode programs
    // chip after chip with them.
    const bool held = lockedForJob() || batchModeOn();
    for (HexView* view : {FlashEditor, EpromEditor})
        view->setReadOnly(held);
}

void TForm1::takeViewEdits()
{
    const ChipEntry& chip = state_->currentChip();
    state_->buffers().takeFlashViewEdits(chip);
    // A chip without EEPROM leaves that buffer and its length for the next one that has it.
    if (chip.eepromBytes() > 0)
        state_->buffers().takeEepromViewEdits(chip);
    refreshChecksums();
}

void TForm1::recordFlashChange(qint64 from, qint64 count)
{
    flashChange_ = {from, count};
    FlashEditor->recordChange(std::make_unique<FlashChange>(state_->buffers(), *FlashEditor, from, count,
                                                            [this] { ShowBufferSizes(); }));
}

void TForm1::CopyHexClick()
{
    if (HexView* view = activeHexView())
        view->copySelection();
}

void TForm1::FindClick()
{
    if (!activeHexView() || lockedForJob())
        return;
    findDialog_->applyLanguage(languageIndex_);
    const int result = presenter_->execDialog(*findDialog_);
    if (result == FindDialog::Forward || result == FindDialog::Backward)
        searchActiveView(result == FindDialog::Forward);
}

void TForm1::findAgain(bool forward)
{
    if (findDialog_->text().trimmed().isEmpty())
        FindClick();
    else
        searchActiveView(forward);
}

void TForm1::searchActiveView(bool forward)
{
    HexView* view = activeHexView();
    const QString text = findDialog_->text();
    if (!view || text.trimmed().isEmpty())
        return;
    const std::optional<QByteArray> pattern = searchPattern(text, findDialog_->kind());
    if (!pattern) {
        ShowError(aidMessage(AidMessage::NotHexBytes, languageIndex_));
        return;
    }
    view->setFocus(Qt::OtherFocusReason);
    switch (view->findNext(*pattern, forward)) {
    case FindResult::Found:
        break;
    case FindResult::Wrapped:
        showInformation(aidMessage(forward ? AidMessage::SearchWrappedForward : AidMessage::SearchWrappedBackward,
                                   languageIndex_));
        break;
    case FindResult::NotFound:
        showInformation(aidMessage(AidMessage::NotFound, languageIndex_).arg(text));
        break;
    }
}

// ------------------------------------------------------------- placement

void TForm1::fitOnScreen(const QRect& placement)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                           frame.bottom() - inner.bottom());
    const QRect fitted = fitIntoArea(placement, margins, screen->availableGeometry(), minimumSizeHint());
    move(fitted.topLeft());
    resize(fitted.size());
}
