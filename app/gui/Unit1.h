#pragma once
// The main window: owner of the program state, host of every control, and
// the place where every user action arrives as one of its handlers.

#include "app/ProgramFiles.h"
#include "app/ProgramState.h"
#include "app/UserInterface.h"
#include "app/LogLine.h"
#include "app/gui/BoxPresenter.h"
#include "app/gui/JobLock.h"
#include "buffers/MemoryPage.h"
#include "chipdb/ChipSelection.h"
#include "operations/BatchProgrammer.h"
#include "operations/ChipOperations.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <functional>
#include <memory>

class ClickPanel;
class FileHistory;
class FindDialog;
class HexView;
class HotplugMonitor;
class IniFile;
class PanelStatusBar;
class RadioGroup;
class TForm2;
class TForm3;
class TForm4;
class ToolkitTranslation;
struct Settings;
enum class FuseJob;

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QShortcut;
class QSplitter;
class QTabWidget;
class QTableWidget;
class QTimer;
class QToolBar;
class QToolButton;

class TForm1 : public QMainWindow, public UserInterface, public ChipSelectionObserver, public BatchHost {
    Q_OBJECT
public:
    // Creates the window and runs its create event: settings read, fuse grid
    // labelled, then the three dialogs made. A null presenter shows real boxes.
    TForm1(HidBackend& backend, ProgramFiles files, std::unique_ptr<BoxPresenter> presenter = {},
           QWidget* parent = nullptr);
    ~TForm1() override;

    ProgramState& state() { return *state_; }
    const ProgramFiles& files() const { return files_; }
    BoxPresenter& presenter() { return *presenter_; }
    TForm2* form2() const { return form2_; }
    TForm3* form3() const { return form3_; }
    TForm4* form4() const { return form4_; }

    // A control of this window by name; the dialogs' controls are not searched.
    QObject* control(const QString& name) const;
    template <class T>
    T* control(const QString& name) const { return qobject_cast<T*>(control(name)); }

    // --- UserInterface
    void showError(const QString& text) override { ShowError(text); }
    bool askYesNo(const QString& text) override;
    void showInformation(const QString& text) override;
    void showMessage(const QString& caption, const QString& text) override;
    void setStatus(const QString& text) override;
    void setElapsed(const QString& hhmmss) override;
    using UserInterface::progressStart;
    void progressStart(qint64 maximum, ProgressKind kind) override;
    void progressSet(qint64 position) override;
    void progressEnd() override;
    void log(const QString& text) override;
    void pumpEvents() override;
    bool stopRequested() const override { return stopRequested_; }
    void pause(int milliseconds) override;
    void beep() override;
    void setControlsEnabled(bool enabled) override;
    int languageIndex() const override { return languageIndex_; }

    // --- ChipSelectionObserver
    void chipBecameCurrent(int tableIndex) override;
    void listsRebuilt() override;

    // --- shared output helpers
    void ShowError(const QString& text);
    QString LogPrefix() { return logCounter_.prefix(); }

    // --- buffers
    // Size captions with the colour rule, the gauge and the checksums.
    void ShowBufferSizes();
    // The Flash caption in blue without the comparison (after a read or a fill).
    void ShowFlashSizeBlue();
    void TakeFlashViewEdits();
    // Which buffer the active page stands for: its position among the shown tabs.
    MemoryPage activeMemoryPage() const;
    bool bufferEmpty(MemoryPage page) const;
    // The checksum lines under the size captions.
    void refreshChecksums();

    // --- BatchHost
    MemoryPage activePage() const override { return activeMemoryPage(); }
    // The auto-sequence boxes that are both ticked and enabled.
    AutoOptions autoOptions() const override;
    // Whether the options tick a step; says so in a box when none is, as a
    // batch of no steps would count every chip passed untouched.
    bool autoHasSteps();
    // The auto sequence's fuse step writes the page's values: asked about
    // as the fuse buttons are.
    bool confirmAutoFuseValues();
    void setWatchTimerRunning(bool running) override;
    void showBatchMode(bool on, const QString& caption) override;
    // Batch mode: the raised look of Panel8.
    bool batchModeOn() const;
    bool chipJobRunning() const { return jobActive_; }
    // A job holds the window: the commands that change data are not taken.
    bool lockedForJob() const { return jobActive_ || jobLock_.locked(); }

    // --- connection
    void checkConnection();
    // The check from an activation or a hot-plug event: deferred while a chip
    // job holds the link, then run once when the job has ended.
    void requestConnectionCheck();
    bool connectionCheckPending() const { return connectionCheckPending_; }

    void ApplyLanguage();

    // --- daily-work aids (Unit1Aids.cpp)
    // Opens a data file into the active page exactly as File > Open does once
    // the file is chosen (the same questions and messages); for a dropped
    // file, one named on the command line and a recent file. Refused while a
    // chip job runs. True when the buffer was loaded.
    bool openDataFile(const QString& path);
    const FileHistory& fileHistory() const { return *fileHistory_; }
    FindDialog* findDialog() const { return findDialog_; }
    // The hex view of the active page; null on the other pages.
    HexView* activeHexView() const;
    // Buffer menu: go to an address, find (the dialog), find again forward
    // or backward, copy the selection as hex text.
    void GoToClick();
    void FindClick();
    void findAgain(bool forward);
    void CopyHexClick();
    void UndoClick();
    void RedoClick();
    void PasteClick();
    // The page's tab shows: a hidden page neither shows nor acts.
    bool pageShown(const QWidget* page) const;

    // Name of the placement picture Image1 shows ("Image1" before the first change).
    QString shownPicture() const { return shownPicture_; }

    // --- controls, named as the handlers and the settings know them
    QMenu* O1 = nullptr;
    QAction* O2 = nullptr;
    QAction* S1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Q1 = nullptr;
    QMenu* Buff = nullptr;
    QAction* Fill = nullptr;
    QMenu* O3 = nullptr;
    QAction* A1 = nullptr;
    QAction* N2 = nullptr;
    QAction* E1 = nullptr;
    QAction* W1 = nullptr;
    QAction* R1 = nullptr;
    QAction* ReadTwice = nullptr;  // option of Read: two reads that must agree
    QAction* V1 = nullptr;
    QAction* N7 = nullptr;
    QAction* CompareChip = nullptr;
    QAction* UnprotectChip = nullptr;
    QAction* N3 = nullptr;
    QMenu* Dev1 = nullptr;         // production: the log of auto runs
    QAction* ProdLog = nullptr;
    QAction* NoProdLog = nullptr;  // checked while no production log is kept
    QAction* Detect = nullptr;     // Operation menu: detection, as BtnCheck
    QAction* BatchMode = nullptr;  // Operation menu: batch mode on and off, as Panel8
    QAction* WriteSn = nullptr;    // Operation menu: the auto option CheckBoxSN, whose box is never shown
    QAction* UndoEdit = nullptr;   // Buffer menu: undo and redo in the page's hex view
    QAction* RedoEdit = nullptr;
    QAction* PasteHex = nullptr;   // Buffer menu: paste hex text into the page's hex view
    QAction* GoTo = nullptr;       // Buffer menu: go to address
    QAction* FindBytes = nullptr;  // Buffer menu: find
    QAction* FindNext = nullptr;
    QAction* FindPrevious = nullptr;
    QAction* CopyHex = nullptr;    // Buffer menu: copy as hex text
    QList<QAction*> recentFiles;   // File menu: the most recent files, newest first
    QMenu* L1 = nullptr;
    QAction* China = nullptr;
    QAction* fanti = nullptr;
    QAction* Enlish = nullptr;
    QMenu* H1 = nullptr;
    QAction* CheckSetup = nullptr;  // Help menu: the check of the set-up
    QAction* N5 = nullptr;

    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolOpen = nullptr;
    QToolButton* ToolSave = nullptr;
    QToolButton* ToolRead = nullptr;
    QToolButton* ToolErase = nullptr;
    QToolButton* ToolWrite = nullptr;
    QToolButton* ToolVerify = nullptr;
    QToolButton* ToolAuto = nullptr;
    QToolButton* ToolBank = nullptr;
    QToolButton* ToolFill = nullptr;

    QWidget* Panel2 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QPushButton* BtnCheck = nullptr;
    QPushButton* BtnFind = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLabel* lblCapcity = nullptr;
    QLineEdit* edtCapcity = nullptr;
    QLabel* lblPageSize = nullptr;
    QLineEdit* edtPageSize = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* cmbProgSpeed = nullptr;
    QWidget* Panel9 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Image1 = nullptr;
    RadioGroup* SelectSock = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QCheckBox* CheckBoxErase = nullptr;
    QCheckBox* CheckBoxWriteFlash = nullptr;
    QCheckBox* CheckBoxVerity = nullptr;
    QPushButton* btnAutoProg = nullptr;

    QWidget* Panel3 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    HexView* FlashEditor = nullptr;
    QWidget* FlashPanel = nullptr;
    QLabel* FlashSize = nullptr;
    QProgressBar* CGauge1 = nullptr;
    QLabel* FlashCrc = nullptr;
    QWidget* TabSheet2 = nullptr;
    HexView* EpromEditor = nullptr;
    QLabel* EpromSize = nullptr;
    QLabel* EpromCrc = nullptr;
    QWidget* TabSheet3 = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QListWidget* CheckListBox1 = nullptr;
    QLineEdit* MaskEdit1 = nullptr;
    QPushButton* FuseRead = nullptr;
    QPushButton* FuseDefault = nullptr;
    QPushButton* FuseWrite = nullptr;
    QPushButton* ReadLockBtn = nullptr;
    QPushButton* WriteLockBtn = nullptr;
    QCheckBox* FuseEnable = nullptr;
    QCheckBox* LockEnable = nullptr;
    QWidget* TabSheet4 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QSpinBox* UID = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QWidget* HELP = nullptr;
    QWidget* Panel11 = nullptr;
    QCheckBox* CheckBoxID = nullptr;
    QCheckBox* CheckBoxWriteEprom = nullptr;
    QCheckBox* CheckBoxVerifyEprom = nullptr;
    QCheckBox* CheckBoxSN = nullptr;
    QCheckBox* CheckBoxFUSE = nullptr;
    QCheckBox* CheckBoxHigtSpeed = nullptr;
    QPlainTextEdit* RichEdit2 = nullptr;
    ClickPanel* Panel8 = nullptr;
    QLabel* BatchStatus = nullptr;  // chips passed, failed and per hour while batch mode is on
    QSplitter* Splitter2 = nullptr;
    QWidget* Panel4 = nullptr;
    QPlainTextEdit* RichEdit1 = nullptr;

    PanelStatusBar* StatusBar1 = nullptr;
    QProgressBar* Progress = nullptr;
    // Live while a chip job runs (with Escape): stops it between two reports.
    QToolButton* BtnStop = nullptr;
    QTimer* Timer1 = nullptr;

public slots:
    void ToolOpenClick();
    void ToolSaveClick();
    void ToolReadClick();
    void ToolBankClick();
    void ToolEraseClick();
    void ToolWriteClick();
    void ToolVerifyClick();
    void ToolAutoClick();
    void Panel8Click();
    void Timer1Timer();
    void BtnCheckClick();
    void BtnFindClick();
    void ComboBox1Change();
    void ComboBox2Change();
    void ComboBox3Change();
    void N3Click();
    void ToolFillClick();
    void BitBtn1Click();
    void RadioButton1Click();
    void Edit1Change();
    void CheckBoxSNClick();
    void FuseReadClick();
    void FuseDefaultClick();
    void FuseWriteClick();
    void ReadLockBtnClick();
    void WriteLockBtnClick();
    void CheckListBox1ClickCheck(int index);
    void StringGrid1Click(int row, int column);
    void MaskEdit1Exit();
    void ChinaClick();
    void fantiClick();
    void EnlishClick();
    void N5Click();
    void StatusBar1Click();
    void BtnStopClick();
    void SelectSockClick();
    void Q1Click();
    // Operation -> Compare with chip, Operation -> Unprotect, Device -> Production log.
    void CompareChipClick();
    void UnprotectChipClick();
    void ProdLogClick();
    void NoProdLogClick();
    // Help -> Check the set-up.
    void CheckSetupClick();
    // A device arrived or left.
    void deviceChanged();

public:
    // Key filters: true when the key is to be dropped.
    bool Edit1KeyPress(const QKeyEvent* event) const;
    bool MaskEdit1KeyPress(const QKeyEvent* event) const;
    void StringGrid1MouseDown();
    void StringGrid1DrawCell(QPainter& painter, int column, int row, const QRect& rect);
    void StatusBar1DrawPanel(QPainter& painter, int panel, const QRect& rect);
    // The colour the owner-drawn panels 1 and 5 are drawn in.
    QColor statusPanelColour(int panel) const;

    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormResize();
    bool FormCloseQuery();
    void FormClose();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

public:
    void setVisible(bool visible) override;

private:
    void buildMenu();
    void buildToolBar();
    QWidget* buildLeftPanel();
    QWidget* buildPages();
    QWidget* buildFusePage();
    QWidget* buildSerialPage();
    QWidget* buildHelpPage();
    void buildStatusBar();
    void connectHandlers();
    void collectJobLock();
    // Shortcuts, tool tips, the added menu items, drops (Unit1Aids.cpp).
    void buildAids();
    void applyAidTexts();
    void showRecentFiles();
    void searchActiveView(bool forward);
    // Undo and Redo follow the page's view.
    void showUndoState();
    // The hex views take edits unless a job or batch mode holds the buffers.
    void updateEditing();
    // True, after saying why, when batch mode keeps the buffers as they are.
    bool fuseEditRefused();
    bool refusedInBatchMode();
    // The view edits of both pages into their buffers (before a save, a fill or a merge).
    void takeViewEdits();
    // A fill or merge about to change Flash bytes: kept for undo in the Flash view.
    void recordFlashChange(qint64 from, qint64 count);
    // Moves and sizes the window into the screen's available area.
    void fitOnScreen(const QRect& placement);

    void LoadSettings();
    void SaveSettings();
    void applySettings(const Settings& settings);
    Settings collectSettings() const;

    void setLanguage(int index);
    void showSizeCaption(QLabel* label, const QString& text, bool red);
    void showReadSizes(MemoryPage page);
    // After a handler that may have changed the buffers, the serial number or
    // the chip: captions, checksums and the serial-number field.
    void refreshAfterJob();
    void setGauge(uint32_t maximum, int32_t position);
    void showPicture(const QString& name);
    // The fuse grid and check list as the fuse state holds them.
    void showFuses();
    void runFuseJob(FuseJob job);
    // Whether the fuse bytes and the lock byte shown are the chip's (read
    // from it) or chosen (Default, or a yes to the question): a write of
    // values that are neither would replace bytes nobody looked at.
    bool fuseBytesKnown_ = false;
    bool lockByteKnown_ = false;
    // Asks about the values that are neither; false when the person says No.
    bool confirmFuseValues(bool fuseBytes, bool lockByte);
    void showBatchTally();
    // The No log item shows whether a production log is kept.
    void showProductionLog();
    void placeProgress();
    void showProgressText(qint64 position);
    // The Stop button and Escape, live exactly while a job holds the window.
    void setStopAvailable(bool available);
    // Runs a chip job: none starts while another runs, and a connection
    // check that arrived meanwhile runs once afterwards.
    void runChipJob(const std::function<void()>& job);

    ProgramFiles files_;
    std::unique_ptr<BoxPresenter> presenter_;
    std::unique_ptr<ProgramState> state_;
    std::unique_ptr<IniFile> settingsFile_;
    std::unique_ptr<ChipOperations> operations_;
    std::unique_ptr<BatchProgrammer> batch_;
    std::unique_ptr<FileHistory> fileHistory_;
    std::unique_ptr<ToolkitTranslation> toolkitTranslation_;
    FindDialog* findDialog_ = nullptr;
    HotplugMonitor* hotplug_ = nullptr;
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    TForm4* form4_ = nullptr;

    LogCounter logCounter_;
    int languageIndex_ = 0;
    bool shown_ = false;
    bool startActivationDone_ = false;
    QElapsedTimer startActivationAt_;  // since start-up's own activation
    bool jobActive_ = false;
    JobLock jobLock_{this};
    bool stopRequested_ = false;
    QShortcut* stopShortcut_ = nullptr;
    // The text in the progress bar: rate and time left, or time taken.
    QElapsedTimer progressClock_;
    ProgressKind progressKind_ = ProgressKind::Bytes;
    qint64 progressMaximum_ = 0;
    qint64 progressTextAt_ = -1;
    bool connectionCheckPending_ = false;
    bool placedWithFrame_ = false;  // placement checked again once the frame is known
    QString shownPicture_;
    int progressShift_ = 0;  // right shift that keeps a transfer's size in int range
    std::pair<qint64, qint64> flashChange_{0, 0};  // the Flash bytes the last fill or merge changed
};
