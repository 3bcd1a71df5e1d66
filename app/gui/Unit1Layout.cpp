// The main window's controls, with their design captions, and the wiring of
// each control to its handler.

#include "app/gui/Unit1.h"

#include "app/AboutText.h"
#include "app/gui/CellDelegate.h"
#include "app/gui/HexEntry.h"
#include "app/gui/ClickPanel.h"
#include "app/gui/PanelStatusBar.h"
#include "app/gui/Pictures.h"
#include "app/gui/RadioGroup.h"
#include "device/HotplugMonitor.h"
#include "hexview/HexView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShortcut>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>

namespace {

template <class T>
T* named(T* object, const char* name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

QAction* action(QMenu* menu, const char* name, const QString& text)
{
    QAction* a = named(menu->addAction(text), name);
    return a;
}

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    return named(new QLabel(text, parent), name);
}

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    return named(new QPushButton(text, parent), name);
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text, bool checked)
{
    auto* box = named(new QCheckBox(text, parent), name);
    box->setChecked(checked);
    return box;
}

constexpr int kToolImage = 32;
constexpr int kLeftPanelWidth = 208;

} // namespace

void TForm1::buildMenu()
{
    QMenuBar* bar = named(menuBar(), "MainMenu1");
    O1 = named(bar->addMenu(QStringLiteral("文件(&F)")), "O1");
    O2 = action(O1, "O2", QStringLiteral("打开(&O)"));
    S1 = action(O1, "S1", QStringLiteral("保存(&S)"));
    N1 = named(O1->addSeparator(), "N1");
    Q1 = action(O1, "Q1", QStringLiteral("退出(&Q)"));

    Buff = named(bar->addMenu(QStringLiteral("缓冲区")), "Buff");
    Fill = action(Buff, "Fill", QStringLiteral("填充"));

    O3 = named(bar->addMenu(QStringLiteral("操作(&O)")), "O3");
    A1 = action(O3, "A1", QStringLiteral("自动(&A)"));
    N2 = named(O3->addSeparator(), "N2");
    E1 = action(O3, "E1", QStringLiteral("擦除(&E)"));
    W1 = action(O3, "W1", QStringLiteral("写入(&W)"));
    R1 = action(O3, "R1", QStringLiteral("读出(&R)"));
    V1 = action(O3, "V1", QStringLiteral("校验(&V)"));
    N7 = action(O3, "N7", QStringLiteral("查空(&B)"));
    CompareChip = action(O3, "CompareChip", QStringLiteral("与芯片比较(&C)"));
    UnprotectChip = action(O3, "UnprotectChip", QStringLiteral("解除保护(&U)"));

    N3 = named(bar->addAction(QStringLiteral("设备")), "N3");
    N3->setVisible(false);
    Dev1 = named(bar->addMenu(QStringLiteral("生产(&P)")), "Dev1");
    ProdLog = action(Dev1, "ProdLog", QStringLiteral("生产记录(&L)…"));

    L1 = named(bar->addMenu(QStringLiteral("语言(&L)")), "L1");
    China = action(L1, "China", QStringLiteral("中文"));
    fanti = action(L1, "fanti", QStringLiteral("繁體"));
    Enlish = action(L1, "Enlish", QStringLiteral("Enlish"));
    for (QAction* a : {China, fanti, Enlish})
        a->setCheckable(true);
    China->setChecked(true);

    H1 = named(bar->addMenu(QStringLiteral("帮助(&H)")), "H1");
    CheckSetup = action(H1, "CheckSetup", QStringLiteral("检查设置"));
    N5 = action(H1, "N5", QStringLiteral("关于"));
}

void TForm1::buildToolBar()
{
    ToolBar1 = named(new QToolBar(this), "ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(kToolImage, kToolImage));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    const struct {
        QToolButton** field;
        const char* name;
        const char* text;
        const char* icon;
    } tools[] = {
        {&ToolOpen, "ToolOpen", "打开", "open"},
        {&ToolSave, "ToolSave", "保存", "save"},
        {&ToolRead, "ToolRead", "读出", "read"},
        {&ToolErase, "ToolErase", "擦除", "erase"},
        {&ToolWrite, "ToolWrite", "写入", "write"},
        {&ToolVerify, "ToolVerify", "校验", "verify"},
        {&ToolAuto, "ToolAuto", "自动", "auto"},
        {&ToolBank, "ToolBank", "读ID", "bank"},
        {&ToolFill, "ToolFill", "填充", "fill"},
    };
    bool first = true;
    for (const auto& t : tools) {
        if (!first)
            ToolBar1->addSeparator();
        first = false;
        auto* b = named(new QToolButton(ToolBar1), t.name);
        b->setText(QString::fromUtf8(t.text));
        b->setIcon(toolIcon(QString::fromLatin1(t.icon)));
        b->setIconSize(QSize(kToolImage, kToolImage));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setMinimumSize(39, 52);
        ToolBar1->addWidget(b);
        *t.field = b;
    }
}

QWidget* TForm1::buildLeftPanel()
{
    Panel2 = named(new QWidget, "Panel2");
    Panel2->setFixedWidth(kLeftPanelWidth);
    auto* column = new QVBoxLayout(Panel2);
    column->setContentsMargins(3, 3, 3, 3);
    column->setSpacing(4);

    // Chip: type, manufacturer, model, then detection and search.
    GroupBox1 = named(new QGroupBox(QStringLiteral("芯片"), Panel2), "GroupBox1");
    auto* chip = new QGridLayout(GroupBox1);
    chip->setContentsMargins(6, 4, 6, 6);
    chip->setVerticalSpacing(3);
    Label8 = label(GroupBox1, "Label8", QStringLiteral("类型"));
    Label9 = label(GroupBox1, "Label9", QStringLiteral("厂商"));
    Label10 = label(GroupBox1, "Label10", QStringLiteral("名称"));
    ComboBox1 = named(new QComboBox(GroupBox1), "ComboBox1");
    ComboBox2 = named(new QComboBox(GroupBox1), "ComboBox2");
    ComboBox3 = named(new QComboBox(GroupBox1), "ComboBox3");
    int row = 0;
    for (auto [l, c] : {std::pair{Label8, ComboBox1}, {Label9, ComboBox2}, {Label10, ComboBox3}}) {
        c->setMaxVisibleItems(20);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(8);
        chip->addWidget(l, row, 0);
        chip->addWidget(c, row, 1);
        ++row;
    }
    auto* checkPanel = named(new QWidget(GroupBox1), "Panel1");
    auto* checkRow = new QHBoxLayout(checkPanel);
    checkRow->setContentsMargins(0, 2, 0, 0);
    BtnCheck = button(checkPanel, "BtnCheck", QStringLiteral("检测(读ID)"));
    BtnFind = button(checkPanel, "BtnFind", QStringLiteral("查找"));
    checkRow->addWidget(BtnCheck);
    checkRow->addWidget(BtnFind);
    named(new QMenu(checkPanel), "PopupMenu1");
    checkPanel->setContextMenuPolicy(Qt::PreventContextMenu);
    chip->addWidget(checkPanel, row, 0, 1, 2);
    column->addWidget(GroupBox1);

    // Programmer options: chip size, page size, speed.
    GroupBox3 = named(new QGroupBox(QStringLiteral("编程器选项"), Panel2), "GroupBox3");
    auto* options = new QGridLayout(GroupBox3);
    options->setContentsMargins(6, 4, 6, 6);
    options->setVerticalSpacing(3);
    lblCapcity = label(GroupBox3, "lblCapcity", QStringLiteral("容量"));
    edtCapcity = named(new QLineEdit(GroupBox3), "edtCapcity");
    lblPageSize = label(GroupBox3, "lblPageSize", QStringLiteral("页面大小"));
    edtPageSize = named(new QLineEdit(GroupBox3), "edtPageSize");
    for (QLineEdit* e : {edtCapcity, edtPageSize})
        e->setReadOnly(true);
    Label6 = label(GroupBox3, "Label6", QStringLiteral("编程速度"));
    cmbProgSpeed = named(new QComboBox(GroupBox3), "cmbProgSpeed");
    cmbProgSpeed->addItems({QStringLiteral("12MHz"), QStringLiteral("6MHz"), QStringLiteral("3MHz"),
                            QStringLiteral("1.5MHz"), QStringLiteral("750KHz"), QStringLiteral("375Khz"),
                            QStringLiteral("185KHz"), QStringLiteral("95KHz")});
    options->addWidget(lblCapcity, 0, 0);
    options->addWidget(edtCapcity, 0, 1);
    options->addWidget(lblPageSize, 1, 0);
    options->addWidget(edtPageSize, 1, 1);
    options->addWidget(Label6, 2, 0);
    options->addWidget(cmbProgSpeed, 2, 1);
    column->addWidget(GroupBox3);

    // Chip placement picture, and the hidden socket choice beside it.
    Panel9 = named(new QWidget(Panel2), "Panel9");
    auto* place = new QVBoxLayout(Panel9);
    place->setContentsMargins(0, 0, 0, 0);
    place->setSpacing(2);
    Label7 = label(Panel9, "Label7", QStringLiteral("芯片放置位置"));
    Label7->setAlignment(Qt::AlignCenter);
    QPalette red = Label7->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label7->setPalette(red);
    Image1 = named(new QLabel(Panel9), "Image1");
    Image1->setFixedSize(120, 169);
    Image1->setScaledContents(true);
    SelectSock = named(new RadioGroup({QStringLiteral("ZIF"), QStringLiteral("ISP")}, Panel9), "SelectSock");
    SelectSock->setItemIndex(0);
    SelectSock->hide();
    place->addWidget(Label7);
    place->addWidget(Image1, 0, Qt::AlignHCenter);
    column->addWidget(Panel9);

    // Options of the automatic sequence.
    GroupBox2 = named(new QGroupBox(QStringLiteral("自动编程选项"), Panel2), "GroupBox2");
    auto* autoBox = new QGridLayout(GroupBox2);
    autoBox->setContentsMargins(6, 4, 6, 6);
    autoBox->setVerticalSpacing(2);
    CheckBoxErase = checkBox(GroupBox2, "CheckBoxErase", QStringLiteral("擦除"), true);
    CheckBoxWriteFlash = checkBox(GroupBox2, "CheckBoxWriteFlash", QStringLiteral("编程"), true);
    CheckBoxVerity = checkBox(GroupBox2, "CheckBoxVerity", QStringLiteral("校验"), true);
    btnAutoProg = button(GroupBox2, "btnAutoProg", QStringLiteral("自动"));
    // Shown and live only for a chip with fuse bytes (chip selection decides).
    CheckBoxFUSE = checkBox(GroupBox2, "CheckBoxFUSE", QStringLiteral("熔丝&&加密"), false);
    CheckBoxFUSE->setEnabled(false);
    CheckBoxFUSE->hide();
    autoBox->addWidget(CheckBoxErase, 0, 0);
    autoBox->addWidget(CheckBoxWriteFlash, 0, 1);
    autoBox->addWidget(CheckBoxVerity, 1, 0);
    autoBox->addWidget(btnAutoProg, 1, 1);
    autoBox->addWidget(CheckBoxFUSE, 2, 0, 1, 2);
    column->addWidget(GroupBox2);
    column->addStretch(1);

    // A window smaller than the column scrolls it rather than growing.
    auto* scroll = named(new QScrollArea, "Panel2Scroll");
    scroll->setWidget(Panel2);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFixedWidth(kLeftPanelWidth + scroll->verticalScrollBar()->sizeHint().width());
    return scroll;
}

QWidget* TForm1::buildFusePage()
{
    TabSheet3 = named(new QWidget, "TabSheet3");
    StringGrid1 = named(new QTableWidget(10, 2, TabSheet3), "StringGrid1");
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->verticalHeader()->setDefaultSectionSize(20);
    // Tab goes on to the next control, not from cell to cell.
    StringGrid1->setTabKeyNavigation(false);
    auto* gridCells = new CellDelegate(StringGrid1);
    gridCells->setDrawOver([this](QPainter& p, int column, int row, const QRect& r) { StringGrid1DrawCell(p, column, row, r); });
    StringGrid1->setItemDelegate(gridCells);
    StringGrid1->viewport()->installEventFilter(this);

    CheckListBox1 = named(new QListWidget(TabSheet3), "CheckListBox1");
    auto* listCells = new CellDelegate(CheckListBox1);
    listCells->setRowHeight(16);
    CheckListBox1->setItemDelegate(listCells);
    CheckListBox1->setUniformItemSizes(true);

    MaskEdit1 = named(new QLineEdit(StringGrid1->viewport()), "MaskEdit1");
    // "0x" and two digits; what is not typed shows as a blank.
    MaskEdit1->setInputMask(QStringLiteral("\\0xhh; "));
    MaskEdit1->hide();
    MaskEdit1->installEventFilter(this);

    FuseRead = button(TabSheet3, "FuseRead", QStringLiteral("FuseRead"));
    FuseDefault = button(TabSheet3, "FuseDefault", QStringLiteral("FuseDefault"));
    FuseWrite = button(TabSheet3, "FuseWrite", QStringLiteral("FuseWrite"));
    ReadLockBtn = button(TabSheet3, "ReadLockBtn", QStringLiteral("ReadLock"));
    WriteLockBtn = button(TabSheet3, "WriteLockBtn", QStringLiteral("WriteLock"));
    FuseEnable = checkBox(TabSheet3, "FuseEnable", QStringLiteral("Fuse Enable"), true);
    LockEnable = checkBox(TabSheet3, "LockEnable", QStringLiteral("Lock Enable"), true);

    // Two rows, so that a narrow window still shows every button.
    auto* buttons = new QGridLayout;
    buttons->addWidget(FuseRead, 0, 0);
    buttons->addWidget(FuseDefault, 0, 1);
    buttons->addWidget(FuseWrite, 0, 2);
    buttons->addWidget(FuseEnable, 0, 3);
    buttons->addWidget(ReadLockBtn, 1, 0);
    buttons->addWidget(WriteLockBtn, 1, 1);
    buttons->addWidget(LockEnable, 1, 3);
    buttons->setColumnStretch(4, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(StringGrid1, 3);
    top->addWidget(CheckListBox1, 2);
    auto* layout = new QVBoxLayout(TabSheet3);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    return TabSheet3;
}

QWidget* TForm1::buildSerialPage()
{
    TabSheet4 = named(new QWidget, "TabSheet4");
    GroupBox4 = named(new QGroupBox(QStringLiteral("序列号或填充"), TabSheet4), "GroupBox4");
    Label2 = label(GroupBox4, "Label2", QStringLiteral("系列号(十进制)"));
    UID = named(new QSpinBox(GroupBox4), "UID");
    UID->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    UID->setValue(1);
    UID->installEventFilter(this);
    Label3 = label(GroupBox4, "Label3", QStringLiteral("系列号4字节低位在前，高位在后"));
    Label4 = label(GroupBox4, "Label4", QStringLiteral("地址(十六进制)"));
    Edit1 = named(new QLineEdit(GroupBox4), "Edit1");
    Edit1->setMaxLength(8);
    takeHexDigitsOnly(Edit1);
    Edit1->installEventFilter(this);
    RadioButton1 = named(new QRadioButton(QStringLiteral("递增系列号"), GroupBox4), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("递减系列号"), GroupBox4), "RadioButton2");
    RadioButton3 = named(new QRadioButton(QStringLiteral("文件填充"), GroupBox4), "RadioButton3");
    RadioButton1->setChecked(true);
    BitBtn1 = button(GroupBox4, "BitBtn1", QStringLiteral("loadsize"));
    BitBtn1->setEnabled(false);
    Edit2 = named(new QLineEdit(GroupBox4), "Edit2");
    Edit2->setReadOnly(true);
    Label5 = label(GroupBox4, "Label5",
                   QStringLiteral("文件填充：可以将一个或多个文件合并到缓冲器写入芯片或另存文件备份。注意这个过程不可逆！"));
    Label5->setWordWrap(true);

    Label3->setWordWrap(true);
    auto* grid = new QGridLayout(GroupBox4);
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(UID, 0, 1);
    grid->addWidget(Label3, 0, 2, 2, 1);
    grid->addWidget(Label4, 1, 0);
    grid->addWidget(Edit1, 1, 1);
    auto* modes = new QHBoxLayout;
    modes->addWidget(RadioButton1);
    modes->addWidget(RadioButton2);
    modes->addWidget(RadioButton3);
    modes->addStretch();
    grid->addLayout(modes, 2, 0, 1, 3);
    grid->addWidget(BitBtn1, 3, 0, 1, 2);
    grid->addWidget(Edit2, 3, 2);
    grid->addWidget(Label5, 4, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(5, 1);

    auto* layout = new QVBoxLayout(TabSheet4);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(GroupBox4);
    return TabSheet4;
}

QWidget* TForm1::buildHelpPage()
{
    HELP = named(new QWidget, "HELP");
    Panel11 = named(new QWidget(HELP), "Panel11");
    auto* boxes = new QVBoxLayout(Panel11);
    CheckBoxID = checkBox(Panel11, "CheckBoxID", QStringLiteral("检测芯片"), false);
    CheckBoxWriteEprom = checkBox(Panel11, "CheckBoxWriteEprom", QStringLiteral("写EPROM"), false);
    CheckBoxVerifyEprom = checkBox(Panel11, "CheckBoxVerifyEprom", QStringLiteral("校验EPROM"), true);
    CheckBoxSN = checkBox(Panel11, "CheckBoxSN", QStringLiteral("写入系列号"), true);
    CheckBoxHigtSpeed = checkBox(Panel11, "CheckBoxHigtSpeed", QStringLiteral("启用高速编程算法"), false);
    for (QCheckBox* b : {CheckBoxID, CheckBoxWriteEprom, CheckBoxVerifyEprom, CheckBoxSN, CheckBoxHigtSpeed})
        boxes->addWidget(b);
    Panel11->hide();
    RichEdit2 = named(new QPlainTextEdit(HELP), "RichEdit2");
    RichEdit2->setReadOnly(true);
    auto* layout = new QVBoxLayout(HELP);
    layout->addWidget(Panel11);
    layout->addWidget(RichEdit2);
    return HELP;
}

QWidget* TForm1::buildPages()
{
    Panel3 = named(new QWidget, "Panel3");
    PageControl1 = named(new QTabWidget(Panel3), "PageControl1");

    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

    TabSheet1 = named(new QWidget, "TabSheet1");
    FlashEditor = named(new HexView(TabSheet1), "FlashEditor");
    FlashEditor->setFont(fixed);
    FlashEditor->setRulerVisible(true);
    FlashPanel = named(new QWidget(TabSheet1), "FlashPanel");
    FlashSize = label(FlashPanel, "FlashSize", QStringLiteral("FLASH:0 BUFFER:0"));
    CGauge1 = named(new QProgressBar(FlashPanel), "CGauge1");
    CGauge1->setRange(0, 1);
    CGauge1->setValue(0);
    CGauge1->setMaximumHeight(16);
    FlashCrc = label(FlashPanel, "FlashCrc", QString());
    auto* flashInfo = new QGridLayout(FlashPanel);
    flashInfo->setContentsMargins(4, 2, 4, 2);
    flashInfo->setVerticalSpacing(1);
    flashInfo->addWidget(FlashSize, 0, 0);
    flashInfo->addWidget(CGauge1, 0, 1);
    flashInfo->addWidget(FlashCrc, 1, 0, 1, 2);
    flashInfo->setColumnStretch(1, 1);
    auto* flashPage = new QVBoxLayout(TabSheet1);
    flashPage->setContentsMargins(2, 2, 2, 2);
    flashPage->setSpacing(2);
    flashPage->addWidget(FlashEditor, 1);
    flashPage->addWidget(FlashPanel);

    TabSheet2 = named(new QWidget, "TabSheet2");
    EpromEditor = named(new HexView(TabSheet2), "EpromEditor");
    EpromEditor->setFont(fixed);
    auto* epromPanel = named(new QWidget(TabSheet2), "EpromPanel");
    EpromSize = label(epromPanel, "EpromSize", QStringLiteral("EEPROM:0 BUFFER:0"));
    EpromCrc = label(epromPanel, "EpromCrc", QString());
    auto* epromInfo = new QVBoxLayout(epromPanel);
    epromInfo->setContentsMargins(4, 2, 4, 2);
    epromInfo->setSpacing(1);
    epromInfo->addWidget(EpromSize);
    epromInfo->addWidget(EpromCrc);
    auto* epromPage = new QVBoxLayout(TabSheet2);
    epromPage->setContentsMargins(2, 2, 2, 2);
    epromPage->setSpacing(2);
    epromPage->addWidget(EpromEditor, 1);
    epromPage->addWidget(epromPanel);

    PageControl1->addTab(TabSheet1, QStringLiteral("FLASH"));
    PageControl1->addTab(TabSheet2, QStringLiteral("EPROM"));
    PageControl1->addTab(buildFusePage(), QStringLiteral("FUSE&&LOCK"));
    PageControl1->addTab(buildSerialPage(), QStringLiteral("Extend(SN)"));
    PageControl1->addTab(buildHelpPage(), QStringLiteral("HELP"));
    PageControl1->setTabVisible(PageControl1->indexOf(HELP), false);
    // Until a chip with fuse bytes is chosen there are no bytes to show.
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet3), false);

    Panel8 = named(new ClickPanel(Panel3), "Panel8");
    Panel8->setFixedHeight(41);
    QFont big = Panel8->font();
    big.setPixelSize(19);
    Panel8->setFont(big);
    QPalette red = Panel8->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Panel8->setPalette(red);
    Panel8->setCursor(Qt::PointingHandCursor);

    auto* top = new QWidget;
    auto* pages = new QVBoxLayout(top);
    pages->setContentsMargins(0, 0, 0, 0);
    pages->setSpacing(2);
    pages->addWidget(PageControl1, 1);
    BatchStatus = label(Panel3, "BatchStatus", QString());
    // Clear of the panel's edge, and whole: the counts are what a line reads off it.
    BatchStatus->setContentsMargins(6, 0, 10, 0);
    BatchStatus->hide();
    auto* batchRow = new QHBoxLayout;
    batchRow->addWidget(Panel8, 1);
    batchRow->addWidget(BatchStatus);
    pages->addLayout(batchRow);

    Panel4 = named(new QWidget, "Panel4");
    RichEdit1 = named(new QPlainTextEdit(Panel4), "RichEdit1");
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Long lines (paths, compare reports) wrap rather than hide behind a scroll bar.
    RichEdit1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    RichEdit1->setTabChangesFocus(true);
    auto* logBox = new QVBoxLayout(Panel4);
    logBox->setContentsMargins(0, 0, 0, 0);
    logBox->addWidget(RichEdit1);

    Splitter2 = named(new QSplitter(Qt::Vertical, Panel3), "Splitter2");
    Splitter2->addWidget(top);
    Splitter2->addWidget(Panel4);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 0);
    Splitter2->setChildrenCollapsible(false);
    Splitter2->setSizes({400, 131});

    auto* layout = new QVBoxLayout(Panel3);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter2);
    return Panel3;
}

void TForm1::buildStatusBar()
{
    StatusBar1 = named(new PanelStatusBar({50, 120, 70, 75, 400, 300}, this), "StatusBar1");
    setStatusBar(StatusBar1);
    StatusBar1->setOwnerDrawn(1, true);
    StatusBar1->setOwnerDrawn(5, true);
    StatusBar1->setDrawPanel([this](QPainter& p, int panel, const QRect& r) { StatusBar1DrawPanel(p, panel, r); });
    StatusBar1->setToolTip(QStringLiteral("点击了解更多..."));
    StatusBar1->setCursor(Qt::PointingHandCursor);
    StatusBar1->setPanelText(0, QStringLiteral("状态"));
    StatusBar1->setPanelText(1, QStringLiteral("编程器未接入"));
    StatusBar1->setPanelText(2, QStringLiteral("使用时间"));
    StatusBar1->setPanelText(3, QStringLiteral("00:00:00"));
    const MakerLines maker = makerLines();
    StatusBar1->setPanelText(4, maker.copyrightEnglish);
    StatusBar1->setPanelText(5, maker.webAddress);

    // The bar covers the copyright and web-address panels when it shows.
    Progress = named(new QProgressBar(StatusBar1), "Progress");
    Progress->setRange(0, 100);
    Progress->setTextVisible(false);
    Progress->hide();

    BtnStop = named(new QToolButton(StatusBar1), "BtnStop");
    BtnStop->setText(messageText(Msg::StopJob, 0));
    BtnStop->setToolButtonStyle(Qt::ToolButtonTextOnly);
    BtnStop->setCursor(Qt::ArrowCursor);
    BtnStop->hide();
    stopShortcut_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    stopShortcut_->setContext(Qt::WindowShortcut);
    stopShortcut_->setEnabled(false);
}

void TForm1::connectHandlers()
{
    const auto click = [this](QAbstractButton* b, void (TForm1::*handler)()) {
        connect(b, &QAbstractButton::clicked, this, handler);
    };
    const auto trigger = [this](QAction* a, void (TForm1::*handler)()) {
        connect(a, &QAction::triggered, this, handler);
    };
    click(ToolOpen, &TForm1::ToolOpenClick);
    trigger(O2, &TForm1::ToolOpenClick);
    click(ToolSave, &TForm1::ToolSaveClick);
    trigger(S1, &TForm1::ToolSaveClick);
    click(ToolRead, &TForm1::ToolReadClick);
    trigger(R1, &TForm1::ToolReadClick);
    click(ToolBank, &TForm1::ToolBankClick);
    trigger(N7, &TForm1::ToolBankClick);
    click(ToolErase, &TForm1::ToolEraseClick);
    trigger(E1, &TForm1::ToolEraseClick);
    click(ToolWrite, &TForm1::ToolWriteClick);
    trigger(W1, &TForm1::ToolWriteClick);
    click(ToolVerify, &TForm1::ToolVerifyClick);
    trigger(V1, &TForm1::ToolVerifyClick);
    click(ToolAuto, &TForm1::ToolAutoClick);
    trigger(A1, &TForm1::ToolAutoClick);
    click(btnAutoProg, &TForm1::ToolAutoClick);
    connect(Panel8, &ClickPanel::clicked, this, &TForm1::Panel8Click);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    click(BtnCheck, &TForm1::BtnCheckClick);
    click(BtnFind, &TForm1::BtnFindClick);
    // `activated` comes only from the user's choice, so showing the lists
    // never runs these handlers.
    connect(ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Change);
    connect(ComboBox2, &QComboBox::activated, this, &TForm1::ComboBox2Change);
    connect(ComboBox3, &QComboBox::activated, this, &TForm1::ComboBox3Change);
    trigger(N3, &TForm1::N3Click);
    click(ToolFill, &TForm1::ToolFillClick);
    trigger(Fill, &TForm1::ToolFillClick);
    click(BitBtn1, &TForm1::BitBtn1Click);
    for (QRadioButton* r : {RadioButton1, RadioButton2, RadioButton3})
        connect(r, &QRadioButton::toggled, this, &TForm1::RadioButton1Click);
    connect(Edit1, &QLineEdit::textChanged, this, &TForm1::Edit1Change);
    connect(CheckBoxSN, &QCheckBox::toggled, this, &TForm1::CheckBoxSNClick);
    click(FuseRead, &TForm1::FuseReadClick);
    click(FuseDefault, &TForm1::FuseDefaultClick);
    click(FuseWrite, &TForm1::FuseWriteClick);
    click(ReadLockBtn, &TForm1::ReadLockBtnClick);
    click(WriteLockBtn, &TForm1::WriteLockBtnClick);
    connect(CheckListBox1, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { CheckListBox1ClickCheck(CheckListBox1->row(item)); });
    connect(StringGrid1, &QTableWidget::cellClicked, this, &TForm1::StringGrid1Click);
    trigger(China, &TForm1::ChinaClick);
    trigger(fanti, &TForm1::fantiClick);
    trigger(Enlish, &TForm1::EnlishClick);
    trigger(N5, &TForm1::N5Click);
    connect(StatusBar1, &PanelStatusBar::clicked, this, &TForm1::StatusBar1Click);
    click(BtnStop, &TForm1::BtnStopClick);
    connect(stopShortcut_, &QShortcut::activated, this, &TForm1::BtnStopClick);
    connect(SelectSock, &RadioGroup::itemIndexChanged, this, &TForm1::SelectSockClick);
    trigger(Q1, &TForm1::Q1Click);
    trigger(CompareChip, &TForm1::CompareChipClick);
    trigger(UnprotectChip, &TForm1::UnprotectChipClick);
    trigger(ProdLog, &TForm1::ProdLogClick);
    trigger(CheckSetup, &TForm1::CheckSetupClick);

    connect(cmbProgSpeed, &QComboBox::currentIndexChanged, this,
            [this](int index) { state_->programmer().setSpeedIndex(index); });
    connect(UID, &QSpinBox::valueChanged, this, [this](int value) { state_->serial().value = value; });
    if (hotplug_)
        connect(hotplug_, &HotplugMonitor::deviceChanged, this, &TForm1::deviceChanged);
}
