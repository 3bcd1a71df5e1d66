// What the main window offers for daily work beyond its designed controls:
// keyboard shortcuts and tool tips, the Buffer menu's go-to, find and copy,
// the recent files, files dropped on the window, and a placement that stays
// on the screen.

#include "app/gui/Unit1.h"

#include "app/AidTexts.h"
#include "app/FileHistory.h"
#include "app/WindowPlacement.h"
#include "app/gui/FindDialog.h"
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

// Keeps a menu item usable exactly when a button is: detection is no choice
// for parts that cannot be identified, nor while a job runs.
class EnabledFollower : public QObject {
public:
    EnabledFollower(QWidget* button, QAction* item) : QObject(item), button_(button), item_(item)
    {
        button->installEventFilter(this);
        item->setEnabled(button->isEnabled());
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == button_ && event->type() == QEvent::EnabledChange)
            item_->setEnabled(button_->isEnabled());
        return false;
    }

private:
    QWidget* button_;
    QAction* item_;
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

    Detect = O3->addAction(QString());
    Detect->setObjectName(QStringLiteral("Detect"));
    Detect->setShortcut(Qt::CTRL | Qt::Key_D);
    connect(Detect, &QAction::triggered, this, [this] {
        if (BtnCheck->isEnabled())
            BtnCheckClick();
    });
    new EnabledFollower(BtnCheck, Detect);

    Buff->addSeparator();
    const struct {
        QAction** field;
        const char* name;
        QKeySequence key;
        void (TForm1::*handler)();
    } bufferItems[] = {
        {&GoTo, "GoTo", QKeySequence(Qt::CTRL | Qt::Key_G), &TForm1::GoToClick},
        {&FindBytes, "FindBytes", QKeySequence::Find, &TForm1::FindClick},
        {&FindNext, "FindNext", QKeySequence(Qt::Key_F3), nullptr},
        {&FindPrevious, "FindPrevious", QKeySequence(Qt::SHIFT | Qt::Key_F3), nullptr},
        {&CopyHex, "CopyHex", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &TForm1::CopyHexClick},
    };
    for (const auto& item : bufferItems) {
        QAction* a = Buff->addAction(QString());
        a->setObjectName(QLatin1String(item.name));
        a->setShortcut(item.key);
        if (item.handler)
            connect(a, &QAction::triggered, this, item.handler);
        *item.field = a;
    }
    connect(FindNext, &QAction::triggered, this, [this] { findAgain(true); });
    connect(FindPrevious, &QAction::triggered, this, [this] { findAgain(false); });

    // The recent files sit between Save and Quit, behind a separator of their own.
    QAction* separator = new QAction(this);
    separator->setSeparator(true);
    separator->setObjectName(QStringLiteral("RecentSeparator"));
    O1->insertAction(N1, separator);
    for (int i = 0; i < FileHistory::kRecentCount; ++i) {
        auto* a = new QAction(this);
        a->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
        O1->insertAction(N1, a);
        connect(a, &QAction::triggered, this, [this, a] { openDataFile(a->data().toString()); });
        recentFiles << a;
    }
    fileHistory_ = std::make_unique<FileHistory>();
    showRecentFiles();

    findDialog_ = new FindDialog(this);

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
    const std::pair<QToolButton*, QAction*> keys[] = {
        {ToolOpen, O2}, {ToolSave, S1}, {ToolRead, R1}, {ToolErase, E1}, {ToolWrite, W1},
        {ToolVerify, V1}, {ToolAuto, A1}, {ToolBank, N7}, {ToolFill, Fill}};
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
    for (HexView* view : {FlashEditor, EpromEditor})
        view->setGoToTexts(aidCaptionFor("GoToDialog", "", language), aidCaptionFor("GoToDialog", "Label1", language));
    findDialog_->applyLanguage(language);
}

// ------------------------------------------------------------------ files

bool TForm1::openDataFile(const QString& path)
{
    // The buffers belong to the job while it runs.
    if (lockedForJob() || path.isEmpty())
        return false;
    if (openIntoPage(*state_, activeMemoryPage(), path) != OpenOutcome::Loaded)
        return false;
    ShowBufferSizes();
    fileHistory_->remember(path);
    showRecentFiles();
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
    return page == TabSheet1 ? FlashEditor : page == TabSheet2 ? EpromEditor : nullptr;
}

void TForm1::GoToClick()
{
    if (HexView* view = activeHexView())
        view->askForAddress();
}

void TForm1::CopyHexClick()
{
    if (HexView* view = activeHexView())
        view->copySelection();
}

void TForm1::FindClick()
{
    if (!activeHexView())
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
    if (!view->findNext(*pattern, forward))
        showInformation(aidMessage(AidMessage::NotFound, languageIndex_).arg(text));
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
