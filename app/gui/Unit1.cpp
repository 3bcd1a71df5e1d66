// The main window's life: construction, create, show, activation, resizing
// and close; the settings and captions it applies; the user-interface port.

#include "app/gui/Unit1.h"

#include "app/AidTexts.h"
#include "app/Captions.h"
#include "app/FileHistory.h"
#include "app/IniFile.h"
#include "app/ProgressText.h"
#include "app/Settings.h"
#include "app/WindowPlacement.h"
#include "app/gui/ClickPanel.h"
#include "app/gui/PanelStatusBar.h"
#include "app/gui/ToolkitTranslation.h"
#include "app/gui/VisiblePages.h"
#include "buffers/gui/Unit4.h"
#include "chipdb/ChipTable.h"
#include "chipdb/gui/Unit2.h"
#include "chipdb/gui/Unit3.h"
#include "device/HotplugMonitor.h"
#include "fuses/FuseState.h"
#include "hexview/HexView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QTableWidget>
#include <QTabWidget>
#include <QTextCursor>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindowStateChangeEvent>

#include <climits>
#include <cstring>

namespace {

QObject* findControl(const QObject* parent, const QString& name)
{
    for (QObject* child : parent->children()) {
        if (child->objectName() == name)
            return child;
    }
    for (QObject* child : parent->children()) {
        // Each dialog is a window of its own with its own control names.
        if (qobject_cast<QDialog*>(child))
            continue;
        if (QObject* found = findControl(child, name))
            return found;
    }
    return nullptr;
}

void setCaption(QObject* control, const QString& text)
{
    if (auto* b = qobject_cast<QAbstractButton*>(control))
        b->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(control))
        g->setTitle(text);
    else if (auto* l = qobject_cast<QLabel*>(control))
        l->setText(text);
    else if (auto* a = qobject_cast<QAction*>(control))
        a->setText(text);
    else if (auto* m = qobject_cast<QMenu*>(control))
        m->setTitle(text);
}

// Tool-bar width of the panels before the copyright: the progress bar starts
// after them.
constexpr int kPanelsBeforeProgress = 315;
constexpr int kProgressLeft = 317;
constexpr int kFuseGridMargin = 350;
constexpr int kFuseLabelColumn = 50;
constexpr int kProgressSteps = 1000;

} // namespace

TForm1::TForm1(HidBackend& backend, ProgramFiles files, std::unique_ptr<BoxPresenter> presenter, QWidget* parent)
    : QMainWindow(parent), files_(std::move(files)), presenter_(std::move(presenter))
{
    Q_INIT_RESOURCE(mainwindow);
    setObjectName(QStringLiteral("TForm1"));
    if (!presenter_)
        presenter_ = std::make_unique<MessageBoxPresenter>(this);

    // Buffers (0xFF), the closed device and the chip table come with the state.
    state_ = std::make_unique<ProgramState>(backend, *this);
    hotplug_ = new HotplugMonitor(this);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);

    resize(1009, 729);
    buildMenu();
    buildToolBar();
    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(2);
    columns->addWidget(buildLeftPanel());
    columns->addWidget(buildPages(), 1);
    setCentralWidget(central);
    buildStatusBar();
    placeProgress();
    showPicture(QStringLiteral("Image1"));
    Panel8->setText(messageText(Msg::BatchWrite, 0));

    state_->buffers().setFlashView(FlashEditor);
    state_->buffers().setEepromView(EpromEditor);
    state_->selection().setObserver(this);
    operations_ = std::make_unique<ChipOperations>(state_->selection(), state_->buffers(), state_->programmer(),
                                                   state_->serial(), state_->fuses(), state_->ui());
    operations_->setReadListener([this](MemoryPage page) {
        // A read replaces the buffer: what came before cannot be taken back into it.
        (page == MemoryPage::Eeprom ? EpromEditor : FlashEditor)->clearHistory();
        showReadSizes(page);
    });
    batch_ = std::make_unique<BatchProgrammer>(state_->selection(), state_->buffers(), state_->programmer(),
                                               state_->ui(), *operations_, *this);
    connectHandlers();
    collectJobLock();
    buildAids();
    new VisiblePages(PageControl1);  // owned by the page control
    toolkitTranslation_ = std::make_unique<ToolkitTranslation>();

    FormCreate();
    form2_ = new TForm2(state_->chips(), state_->ui(), files_, *presenter_, RichEdit1, this);
    form3_ = new TForm3(state_->selection(), state_->ui(), this);
    // The window shows the fill in the view itself (see ToolFillClick).
    form4_ = new TForm4(state_->buffers(), *this, nullptr, this);
}

TForm1::~TForm1()
{
    state_->buffers().watchFlashChanges({});
    state_->selection().setObserver(nullptr);
    state_->buffers().setFlashView(nullptr);
    state_->buffers().setEepromView(nullptr);
}

QObject* TForm1::control(const QString& name) const
{
    return name == objectName() ? const_cast<TForm1*>(this) : findControl(this, name);
}

// ---------------------------------------------------------------- life cycle

void TForm1::FormCreate()
{
    settingsFile_ = std::make_unique<IniFile>(files_.settings());
    LoadSettings();

    // The fuse grid: labels in column 0, no editing in the cells themselves.
    StringGrid1->setRowCount(FuseGrid::kRowCount);
    StringGrid1->setColumnWidth(0, kFuseLabelColumn);
    showFuses();

    QCoreApplication::setApplicationName(QStringLiteral("KTR4180"));
    setWindowTitle(QStringLiteral("KTR4180 USB高速编程器"));
}

void TForm1::setVisible(bool visible)
{
    const bool first = visible && !shown_;
    if (first) {
        shown_ = true;
        FormShow();
    }
    QMainWindow::setVisible(visible);
    if (first) {
        // The first activation belongs to start-up. Without a window manager
        // (or before it gets round to it) none arrives, so start-up makes it;
        // the system's own first activation, if it follows soon, is the same.
        QTimer::singleShot(0, this, [this] {
            if (startActivationDone_)
                return;
            startActivationDone_ = true;
            startActivationAt_.start();
            FormActivate();
        });
    }
}

void TForm1::FormShow()
{
    LoadChipList(state_->chips(), files_.chipList(), *this);
    ChipSelection& selection = state_->selection();
    selection.apply(selection.savedPosition(0), selection.savedPosition(1), selection.savedPosition(2));
    ApplyLanguage();
    // The stored placement is first made to fit the screen's available area;
    // the fitted size is then centred, and kept inside that area.
    if (!isMaximized())
        fitOnScreen(QRect(pos(), size()));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(centredFitted(size(), {}, screen->geometry(), screen->availableGeometry()).topLeft());
}

void TForm1::FormActivate()
{
    requestConnectionCheck();
}

void TForm1::FormResize()
{
    if (batchModeOn())
        return;
    placeProgress();
    const int columns = StringGrid1->columnCount();
    if (columns > 0)
        StringGrid1->horizontalHeader()->setDefaultSectionSize(std::max(1, (width() - kFuseGridMargin) / columns));
    // The default width reaches every column; the label column keeps its own.
    StringGrid1->setColumnWidth(0, kFuseLabelColumn);
}

bool TForm1::FormCloseQuery()
{
    // A chip job or batch mode must run to its end before the window goes.
    return !batchModeOn() && !jobActive_;
}

void TForm1::FormClose()
{
    SaveSettings();
    settingsFile_.reset();
}

void TForm1::Q1Click()
{
    close();
}

bool TForm1::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate) {
        constexpr qint64 kStartActivationMs = 2000;
        const bool startUp = startActivationAt_.isValid() && startActivationAt_.elapsed() < kStartActivationMs;
        startActivationAt_.invalidate();
        // The window manager's frame is known now: the title bar, too, must be in reach.
        if (!placedWithFrame_ && shown_ && !isMaximized() && !isFullScreen()) {
            placedWithFrame_ = true;
            fitOnScreen(QRect(pos(), size()));
        }
        if (!startUp && shown_) {
            startActivationDone_ = true;
            FormActivate();
        }
    }
    return QMainWindow::event(e);
}

void TForm1::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::WindowStateChange) {
        const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(e)->oldState();
        const Qt::WindowStates now = windowState();
        const bool minimised = (now & Qt::WindowMinimized) && !(before & Qt::WindowMinimized);
        const bool maximised = (now & Qt::WindowMaximized) && !(before & Qt::WindowMaximized);
        if (minimised || maximised)
            BtnCheck->setFocus(Qt::OtherFocusReason);
    }
    QMainWindow::changeEvent(e);
}

void TForm1::closeEvent(QCloseEvent* e)
{
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
}

void TForm1::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    FormResize();
}

bool TForm1::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if ((watched == Edit1 || watched == UID) && Edit1KeyPress(key))
            return true;
        if (watched == MaskEdit1 && MaskEdit1KeyPress(key))
            return true;
        if (watched == MaskEdit1 && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            // Enter takes the value, as leaving the editor does.
            CheckListBox1->setFocus(Qt::OtherFocusReason);
            return true;
        }
        if (watched == MaskEdit1 && key->key() == Qt::Key_Escape) {
            // Escape leaves the byte as it was.
            MaskEdit1->hide();
            CheckListBox1->setFocus(Qt::OtherFocusReason);
            return true;
        }
    } else if (e->type() == QEvent::FocusOut && watched == MaskEdit1) {
        MaskEdit1Exit();
    } else if (e->type() == QEvent::MouseButtonPress && watched == StringGrid1->viewport()) {
        StringGrid1MouseDown();
    }
    return QMainWindow::eventFilter(watched, e);
}

void TForm1::placeProgress()
{
    const int border = StatusBar1->borderWidth();
    const int height = std::max(1, StatusBar1->height() - border - 2);
    // The Stop button takes the right end of the bar while it shows.
    const int stopWidth = BtnStop->isVisible() ? BtnStop->sizeHint().width() + 4 : 0;
    Progress->setGeometry(kProgressLeft, border + 2,
                          std::max(0, StatusBar1->width() - kPanelsBeforeProgress - stopWidth), height);
    if (stopWidth > 0)
        BtnStop->setGeometry(StatusBar1->width() - stopWidth, border + 1, stopWidth - 2, height);
}

// ------------------------------------------------------------------ settings

void TForm1::LoadSettings()
{
    Settings settings;
    QString error;
    const bool ok = ::LoadSettings(*settingsFile_, settings, &error);
    applySettings(settings);
    fileHistory_->load(*settingsFile_);
    presenter_->setFolder(fileHistory_->folder());
    showRecentFiles();
    if (!ok)
        ShowError(error);
}

void TForm1::SaveSettings()
{
    if (!settingsFile_)
        return;
    QString error;
    // A failed save is reported; the window closes all the same.
    if (!::SaveSettings(*settingsFile_, collectSettings(), &error)) {
        ShowError(error);
        return;
    }
    fileHistory_->setFolder(presenter_->folder());
    if (!fileHistory_->save(*settingsFile_))
        ShowError(settingsFile_->writeError());
}

void TForm1::applySettings(const Settings& s)
{
    if (s.formMax) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        move(s.formLeft, s.formTop);
        resize(s.formWidth, s.formHeight);
    }
    state_->selection().setSavedPositions(s.index1, s.index2, s.index3);
    N3->setVisible(s.deviceMenuVisible());
    // A speed no list item stands for takes the usual one of the chip's class.
    const int speed = s.speed >= 0 && s.speed < cmbProgSpeed->count()
                          ? s.speed
                          : (state_->currentChip().chipClass == kClassSpiFlash ? 0 : 2);
    cmbProgSpeed->setCurrentIndex(speed);
    state_->programmer().setSpeedIndex(speed);
    languageIndex_ = clampLanguage(s.language);
    state_->serial().address = s.start;
    Edit1->setText(QString::asprintf("%x", static_cast<unsigned>(s.start)).toUpper());
    UID->setValue(s.uid);
    state_->serial().value = s.uid;
    CheckBoxID->setChecked(s.id);
    CheckBoxErase->setChecked(s.erase);
    CheckBoxWriteFlash->setChecked(s.writeFlash);
    CheckBoxWriteEprom->setChecked(s.writeEeprom);
    CheckBoxVerity->setChecked(s.verifyFlash);
    CheckBoxVerifyEprom->setChecked(s.verifyEeprom);
    CheckBoxSN->setChecked(s.serialNumber);
    CheckBoxFUSE->setChecked(s.fuse);
    CheckBoxSNClick();
    operations_->setProductionLogPath(s.productionLog);
    showProductionLog();
}

Settings TForm1::collectSettings() const
{
    Settings s;
    s.formHeight = height();
    s.formWidth = width();
    s.formTop = y();
    s.formLeft = x();
    s.formMax = isMaximized();
    s.index1 = state_->selection().savedPosition(0);
    s.index2 = state_->selection().savedPosition(1);
    s.index3 = state_->selection().savedPosition(2);
    s.start = state_->serial().address;
    s.uid = UID->value();
    s.speed = cmbProgSpeed->currentIndex();
    s.language = languageIndex_;
    s.id = CheckBoxID->isChecked();
    s.erase = CheckBoxErase->isChecked();
    s.writeFlash = CheckBoxWriteFlash->isChecked();
    s.writeEeprom = CheckBoxWriteEprom->isChecked();
    s.verifyFlash = CheckBoxVerity->isChecked();
    s.verifyEeprom = CheckBoxVerifyEprom->isChecked();
    s.serialNumber = CheckBoxSN->isChecked();
    s.fuse = CheckBoxFUSE->isChecked();
    s.productionLog = operations_->productionLogPath();
    return s;
}

// ------------------------------------------------------------------ language

void TForm1::ApplyLanguage()
{
    const int language = languageIndex_;
    China->setChecked(language == 0);
    fanti->setChecked(language == 1);
    Enlish->setChecked(language == 2);
    const struct {
        const char* name;
        QWidget* window;
    } windows[] = {{"TForm1", this}, {"TForm2", form2_}, {"TForm3", form3_}, {"TForm4", form4_}};
    for (const CaptionEntry& entry : captionTable()) {
        for (const auto& w : windows) {
            if (!w.window || std::strcmp(entry.window, w.name) != 0)
                continue;
            const QString text = captionText(entry, language);
            if (entry.control[0] == 0)
                w.window->setWindowTitle(text);
            else if (const int panel = statusPanelOf(entry.control); panel >= 0)
                StatusBar1->setPanelText(panel, text);
            else if (QObject* c = w.window == this ? control(QLatin1String(entry.control))
                                                   : findControl(w.window, QLatin1String(entry.control)))
                setCaption(c, text);
        }
    }
    // The batch panel names what a click on it does next.
    Panel8->setText(message(batchModeOn() ? Msg::StopBatchWrite : Msg::BatchWrite));
    BtnStop->setText(message(Msg::StopJob));
    showBatchTally();
    applyAidTexts();
    toolkitTranslation_->apply(language);
}

void TForm1::setLanguage(int index)
{
    if (lockedForJob())
        return;
    languageIndex_ = clampLanguage(index);
    ApplyLanguage();
}

void TForm1::ChinaClick() { setLanguage(0); }
void TForm1::fantiClick() { setLanguage(1); }
void TForm1::EnlishClick() { setLanguage(2); }

// ------------------------------------------------------ user-interface port

void TForm1::ShowError(const QString& text)
{
    presenter_->show(BoxPresenter::Icon::Error, QStringLiteral("Error"), text);
}

bool TForm1::askYesNo(const QString& text)
{
    return presenter_->ask(QStringLiteral("Info"), text);
}

void TForm1::showInformation(const QString& text)
{
    presenter_->show(BoxPresenter::Icon::Information, QStringLiteral("Information"), text);
}

void TForm1::showMessage(const QString& caption, const QString& text)
{
    presenter_->show(BoxPresenter::Icon::None, caption, text);
}

void TForm1::setStatus(const QString& text)
{
    StatusBar1->setPanelText(1, text);
}

void TForm1::setElapsed(const QString& hhmmss)
{
    StatusBar1->setPanelText(3, hhmmss);
}

void TForm1::progressStart(qint64 maximum, ProgressKind kind)
{
    progressKind_ = kind;
    progressMaximum_ = maximum;
    progressClock_.start();
    progressTextAt_ = -1;
    Progress->setTextVisible(true);
    showProgressText(0);
    progressShift_ = 0;
    while ((maximum >> progressShift_) > INT_MAX)
        ++progressShift_;
    Progress->setRange(0, int(std::max<qint64>(maximum >> progressShift_, 1)));
    Progress->setValue(0);
    placeProgress();
    Progress->show();
}

void TForm1::progressSet(qint64 position)
{
    // The bar shows no finer than a thousandth; setting it for every block of
    // a large chip would cost more than the transfer. The end is always shown.
    showProgressText(position);
    const int top = Progress->maximum();
    const int value = int(std::clamp<qint64>(position >> progressShift_, 0, top));
    const int shown = Progress->value();
    if (value > shown && value - shown < std::max(1, top / kProgressSteps) && value != top)
        return;
    Progress->setValue(value);
}

void TForm1::progressEnd()
{
    Progress->setValue(0);
    Progress->setTextVisible(false);
    Progress->hide();
}

void TForm1::showProgressText(qint64 position)
{
    // A few times a second is what a person can read.
    const qint64 now = progressClock_.elapsed();
    if (progressTextAt_ >= 0 && now - progressTextAt_ < 250)
        return;
    progressTextAt_ = now;
    QString text;
    if (progressKind_ == ProgressKind::Steps) {
        text = message(Msg::ProgressElapsed).arg(durationText(now));
    } else if (const auto reading = readProgress(position, progressMaximum_, now)) {
        text = message(Msg::ProgressRateLeft).arg(rateText(reading->bytesPerSecond), durationText(reading->msLeft));
    }
    // A percent sign in the text would be read as a placeholder.
    Progress->setFormat(text.replace(QLatin1Char('%'), QStringLiteral("%%")));
}

void TForm1::setStopAvailable(bool available)
{
    BtnStop->setVisible(available);
    stopShortcut_->setEnabled(available);
    placeProgress();
}

void TForm1::BtnStopClick()
{
    if (lockedForJob())
        stopRequested_ = true;
}

void TForm1::log(const QString& text)
{
    const QString line = logLine(LogPrefix(), text, QDateTime::currentDateTime());
    if (RichEdit1->document()->isEmpty()) {
        RichEdit1->setPlainText(line);
    } else {
        QTextCursor cursor(RichEdit1->document());
        cursor.movePosition(QTextCursor::Start);
        cursor.insertText(line + QLatin1Char('\n'));
    }
    RichEdit1->moveCursor(QTextCursor::Start);
}

bool TForm1::pageShown(const QWidget* page) const
{
    return VisiblePages::shown(PageControl1, page);
}

void TForm1::pumpEvents()
{
    QCoreApplication::processEvents();
}

void TForm1::pause(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void TForm1::beep()
{
    QApplication::beep();
}

void TForm1::setControlsEnabled(bool enabled)
{
    // A job of several frames (the batch's sequence) stays locked between them.
    if (!enabled) {
        jobLock_.lock();
        setStopAvailable(true);
    } else if (!jobActive_) {
        jobLock_.unlock();
        setStopAvailable(false);
    }
    updateEditing();
}

void TForm1::collectJobLock()
{
    // Containers whose own state no rule sets: the controls inside keep theirs.
    for (QWidget* w : {static_cast<QWidget*>(ToolBar1), Panel2, TabSheet3, static_cast<QWidget*>(GroupBox4), Panel11})
        jobLock_.addWidget(w);
    // Help stays: it changes nothing (and its box waits for the job to end).
    for (QMenu* m : {O1, Buff, O3, Dev1, L1})
        jobLock_.addMenu(m);
    // The chip-list editor's item sits on the menu bar itself.
    jobLock_.addAction(N3);
}

// ---------------------------------------------------------------- connection

void TForm1::checkConnection()
{
    HidDevice& device = state_->device();
    if (device.openProgrammer() == kOpenOk) {
        log(message(Msg::ProgrammerDetected));
        device.close();
        setStatus(message(Msg::Ready));
    } else {
        setStatus(message(Msg::NotConnected));
    }
}

void TForm1::requestConnectionCheck()
{
    const Programmer& programmer = state_->programmer();
    if (jobActive_ || programmer.jobRunning() || programmer.linkOpen()) {
        connectionCheckPending_ = true;
        return;
    }
    connectionCheckPending_ = false;
    checkConnection();
}

void TForm1::deviceChanged()
{
    requestConnectionCheck();
}

void TForm1::runChipJob(const std::function<void()>& job)
{
    if (jobActive_)
        return;
    jobActive_ = true;
    stopRequested_ = false;
    updateEditing();
    job();
    jobActive_ = false;
    jobLock_.unlock();
    setStopAvailable(false);
    updateEditing();
    if (connectionCheckPending_)
        requestConnectionCheck();
}

// ---------------------------------------------------------------- batch mode

bool TForm1::batchModeOn() const
{
    return Panel8->isRaised();
}

void TForm1::showBatchMode(bool on, const QString& caption)
{
    Panel8->setRaised(on);
    Panel8->setText(caption);
    BatchMode->setChecked(on);
    showBatchTally();
    updateEditing();
}

void TForm1::setWatchTimerRunning(bool running)
{
    if (running)
        Timer1->start();
    else
        Timer1->stop();
}

AutoOptions TForm1::autoOptions() const
{
    // A box's own enabled flag: the left panel is locked while jobs run, which
    // says nothing about the options.
    const auto on = [](const QCheckBox* box) { return box->isChecked() && !box->testAttribute(Qt::WA_ForceDisabled); };
    AutoOptions o;
    o.checkId = on(CheckBoxID);
    o.serialNumber = on(CheckBoxSN);
    o.erase = on(CheckBoxErase);
    o.writeFlash = on(CheckBoxWriteFlash);
    o.writeEeprom = on(CheckBoxWriteEprom);
    o.verifyFlash = on(CheckBoxVerity);
    o.verifyEeprom = on(CheckBoxVerifyEprom);
    o.fuses = on(CheckBoxFUSE);
    o.fuseEnable = FuseEnable->isChecked();
    o.lockEnable = LockEnable->isChecked();
    return o;
}

bool TForm1::autoHasSteps()
{
    if (!autoStepsOf(autoOptions()).empty())
        return true;
    ShowError(aidMessage(AidMessage::AutoNoSteps, languageIndex_));
    return false;
}

bool TForm1::confirmAutoFuseValues()
{
    const AutoOptions o = autoOptions();
    return !o.fuses || confirmFuseValues(o.fuseEnable, o.lockEnable);
}
