// What the main window shows of the current chip and of the buffers: the
// chip lists, size captions, gauge, checksums, pages, placement picture and
// the status bar.

#include "app/gui/Unit1.h"

#include "app/AboutText.h"
#include "app/IntegerText.h"
#include "app/gui/HexEntry.h"
#include "app/gui/PanelStatusBar.h"
#include "app/gui/Pictures.h"
#include "app/gui/RadioGroup.h"
#include "buffers/SizeCaption.h"
#include "chipdb/ChipKey.h"
#include "fuses/FuseState.h"
#include "hexview/HexView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QUrl>

#include <algorithm>
#include <climits>

namespace {

// Shows a list's items at a position; a position without an item shows an
// empty text. Items are only rebuilt when they changed.
void mirrorList(QComboBox* combo, const QList<QByteArray>& items, int position)
{
    const QSignalBlocker block(combo);
    bool same = combo->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i)
        same = combo->itemText(i) == QString::fromUtf8(items[i]);
    if (!same) {
        combo->clear();
        for (const QByteArray& item : items)
            combo->addItem(QString::fromUtf8(item));
    }
    combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
}

const QColor kRed(0xFF, 0x00, 0x00);
const QColor kGreen(0x00, 0x80, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);

} // namespace

// ------------------------------------------------------------ chip selection

void TForm1::chipBecameCurrent(int tableIndex)
{
    const ChipEntry& chip = state_->chips()[tableIndex];
    fuseBytesKnown_ = false;
    lockByteKnown_ = false;
    ShowBufferSizes();
    edtCapcity->setText(capacityText(chip.flashBytes()));
    edtPageSize->setText(QString::number(chip.flashPage()));
    cmbProgSpeed->setCurrentIndex(state_->programmer().speedIndex());

    const bool eeprom = chip.eepromBytes() > 0;
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet2), eeprom);
    CheckBoxWriteEprom->setEnabled(eeprom);
    CheckBoxVerifyEprom->setEnabled(eeprom);

    CheckBoxID->setEnabled(chip.chipId() > 0);

    const bool avr = chipNames(chip.keyText()).type == "AVR";
    SelectSock->setItemIndex(avr ? 1 : 0);
    // Detection is no choice for parts that cannot be identified.
    BtnCheck->setEnabled(!avr);
    if (Detect)
        Detect->setEnabled(!avr);

    switch (ReloadFusesForChipChange(state_->fuses(), files_.fuseDescription(), *this)) {
    case FuseLoad::Loaded: showFuses(); break;
    case FuseLoad::NoFile: PageControl1->setCurrentWidget(TabSheet1); break;
    case FuseLoad::Refused: break;
    }
    // The fuse page and the fuse step belong to a chip with fuse bytes, once
    // a description is loaded; any other chip never reaches them.
    const bool fuses = isMicrocontroller(chip) && state_->fuses().descriptionLoaded();
    if (!fuses && PageControl1->currentWidget() == TabSheet3)
        PageControl1->setCurrentWidget(TabSheet1);
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet3), fuses);
    CheckBoxFUSE->setEnabled(fuses);
    CheckBoxFUSE->setVisible(fuses);
}

void TForm1::listsRebuilt()
{
    const ChipSelection& s = state_->selection();
    mirrorList(ComboBox1, s.types(), s.typePosition());
    mirrorList(ComboBox2, s.manufacturers(), s.manufacturerPosition());
    mirrorList(ComboBox3, s.models(), s.modelPosition());
}

void TForm1::ComboBox1Change()
{
    if (lockedForJob())
        return;
    takeViewEdits();
    state_->selection().typeChanged(ComboBox1->currentIndex());
}

void TForm1::ComboBox2Change()
{
    if (lockedForJob())
        return;
    takeViewEdits();
    state_->selection().manufacturerChanged(ComboBox2->currentIndex());
}

void TForm1::ComboBox3Change()
{
    if (lockedForJob())
        return;
    takeViewEdits();
    state_->selection().modelChanged(ComboBox3->currentIndex());
}

void TForm1::SelectSockClick()
{
    // The picture follows the chip's interface, whatever set the position.
    const int index = std::clamp(int(state_->currentChip().interfaceCode) - 1, -1, 1);
    {
        const QSignalBlocker block(SelectSock);
        SelectSock->setItemIndex(index);
    }
    showPicture(index == 0 ? QStringLiteral("J1") : index == 1 ? QStringLiteral("J2") : QStringLiteral("J0"));
}

void TForm1::showPicture(const QString& name)
{
    Image1->setPixmap(QPixmap::fromImage(placementPicture(name)));
    shownPicture_ = name;
}

// ------------------------------------------------------------------- buffers

void TForm1::showSizeCaption(QLabel* label, const QString& text, bool red)
{
    label->setText(text);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, red ? kRed : kBlue);
    label->setPalette(p);
}

void TForm1::setGauge(uint32_t maximum, int32_t position)
{
    const qint64 value = std::max<qint64>(position, 0);
    if (maximum == 0) {
        // An empty range would make the bar spin as "busy".
        CGauge1->setRange(0, 1);
        CGauge1->setValue(value > 0 ? 1 : 0);
        return;
    }
    int shift = 0;
    while ((qint64(maximum) >> shift) > INT_MAX)
        ++shift;
    const qint64 top = qint64(maximum) >> shift;
    CGauge1->setRange(0, int(top));
    CGauge1->setValue(int(std::min(value >> shift, top)));
}

void TForm1::ShowBufferSizes()
{
    const ChipEntry& chip = state_->currentChip();
    const Buffers& buffers = state_->buffers();
    const SizeCaption flash = flashSizeCaption(chip, buffers.flashLength());
    showSizeCaption(FlashSize, flash.text, flash.overChip);
    setGauge(chip.flashBytes(), buffers.flashLength());
    if (chip.eepromBytes() > 0) {
        const SizeCaption eeprom = eepromSizeCaption(chip, buffers.eepromLength());
        showSizeCaption(EpromSize, eeprom.text, eeprom.overChip);
    }
    refreshChecksums();
}

void TForm1::ShowFlashSizeBlue()
{
    showSizeCaption(FlashSize, flashSizeCaption(state_->currentChip(), state_->buffers().flashLength()).text, false);
    refreshChecksums();
}

void TForm1::refreshChecksums()
{
    const Buffers& buffers = state_->buffers();
    FlashCrc->setText(QString::asprintf("CRC-32: %08X", buffers.flashCrc()));
    EpromCrc->setText(QString::asprintf("CRC-32: %08X", buffers.eepromCrc()));
}

void TForm1::TakeFlashViewEdits()
{
    state_->buffers().takeFlashViewEdits(state_->currentChip());
    refreshChecksums();
}

MemoryPage TForm1::activeMemoryPage() const
{
    const int current = PageControl1->currentIndex();
    int position = 0;
    for (int i = 0; i < current; ++i)
        if (PageControl1->isTabVisible(i))
            ++position;
    return position == 0 ? MemoryPage::Flash : position == 1 ? MemoryPage::Eeprom : MemoryPage::Other;
}

bool TForm1::bufferEmpty(MemoryPage page) const
{
    const Buffers& buffers = state_->buffers();
    switch (page) {
    case MemoryPage::Flash: return buffers.flashLength() == 0;
    case MemoryPage::Eeprom: return buffers.eepromLength() == 0;
    case MemoryPage::Other: break;
    }
    return false;
}

// ------------------------------------------------------------- serial number

void TForm1::Edit1Change()
{
    const QString text = Edit1->text();
    if (text.isEmpty())
        return;
    if (const auto address = parseHexField(text))
        state_->serial().address = *address;
}

bool TForm1::Edit1KeyPress(const QKeyEvent* event) const
{
    return dropsNonHexKey(event);
}

bool TForm1::MaskEdit1KeyPress(const QKeyEvent* event) const
{
    return dropsNonHexKey(event);
}

void TForm1::CheckBoxSNClick()
{
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet4), CheckBoxSN->isChecked());
    if (WriteSn)
        WriteSn->setChecked(CheckBoxSN->isChecked());
}

void TForm1::RadioButton1Click()
{
    BitBtn1->setEnabled(RadioButton3->isChecked());
    SerialNumber& serial = state_->serial();
    serial.mode = RadioButton1->isChecked()   ? SerialNumber::Mode::Increment
                  : RadioButton2->isChecked() ? SerialNumber::Mode::Decrement
                                              : SerialNumber::Mode::FillFile;
}

// ---------------------------------------------------------------- status bar

QColor TForm1::statusPanelColour(int panel) const
{
    if (panel == 1) {
        // The panel keeps its text through a language switch, and so its colour.
        const QString text = StatusBar1->panelText(1);
        for (int language = 0; language < 3; ++language)
            if (text == messageText(Msg::NotConnected, language))
                return kRed;
        return kGreen;
    }
    if (panel == 5)
        return kRed;
    return palette().color(QPalette::WindowText);
}

void TForm1::StatusBar1DrawPanel(QPainter& painter, int panel, const QRect& rect)
{
    painter.setPen(statusPanelColour(panel));
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, StatusBar1->panelText(panel));
}

void TForm1::StatusBar1Click()
{
    QDesktopServices::openUrl(QUrl::fromUserInput(makerLines().webAddress));
}

void TForm1::N5Click()
{
    // No box holds a running job up.
    if (lockedForJob())
        return;
    presenter_->show(BoxPresenter::Icon::Information, QStringLiteral("About"),
                     aboutText(languageIndex_, buildTime(), buildDate(), makerLines()));
}

// ------------------------------------------------------------ fuse page view

void TForm1::StringGrid1MouseDown()
{
    // The grid does not keep the focus; a value edit goes on in MaskEdit1.
    if (!MaskEdit1->hasFocus())
        CheckListBox1->setFocus(Qt::MouseFocusReason);
}
