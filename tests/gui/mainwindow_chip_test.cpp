// Chip selection in the main window, the size captions, gauge and checksums
// of the buffers, the pages that follow the chip and the placement picture.

#include "WindowRig.h"

#include "app/MessageTable.h"
#include "app/gui/RadioGroup.h"
#include "buffers/gui/Unit4.h"
#include "hexview/HexView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QAction>
#include <QApplication>
#include <QTabBar>
#include <QtTest>

#include <cstring>
#include <functional>

namespace {

const ChipEntry kChips[] = {
    makeChip({.key = "SPI_FLASH,WINBOND,W25Q80", .id = 0xEF4014, .flash = 1048576, .page = 256}),
    makeChip({.key = "SPI_FLASH,WINBOND,W25Q16", .id = 0xEF4015, .flash = 2097152, .page = 256}),
    makeChip({.key = "SPI_FLASH,MXIC,MX25L8005", .id = 0xC22014, .flash = 1048577, .page = 256}),
    makeChip({.key = "24_EEPROM,ATMEL,AT24C08", .flash = 1024, .page = 16, .chipClass = 1}),
    makeChip({.key = "24_EEPROM,ATMEL,AT24C16", .flash = 1025, .page = 16, .chipClass = 1}),
    makeChip({.key = "AVR,ATMEL,ATmega8", .id = 0x1E9307, .flash = 8192, .page = 64, .chipClass = 7,
              .eeprom = 512, .eepromPage = 4, .interfaceCode = 2}),
    makeChip({.key = "AVR,ATMEL,ATtiny13", .id = 0x1E9007, .flash = 0, .page = 32, .chipClass = 7, .eeprom = 64,
              .interfaceCode = 0}),
    makeChip({.key = "95_EEPROM,ST,M95010", .flash = 128, .page = 16, .chipClass = 3, .interfaceCode = 3}),
    makeChip({.key = "SPI_FLASH,BIG,HUGE3G", .id = 0x112233, .flash = 3221225472u, .page = 256}),
};

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// As the user picks an item of a list.
void choose(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

bool tabShown(const TForm1& f, QWidget* page)
{
    return f.PageControl1->isTabVisible(f.PageControl1->indexOf(page));
}

QColor textColour(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

const QColor kRed(0xFF, 0, 0);
const QColor kBlue(0, 0, 0xFF);

} // namespace

class MainWindowChipTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    TForm1* f = nullptr;

private slots:
    void init()
    {
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->useChipList({kChips[0], kChips[1], kChips[2], kChips[3], kChips[4], kChips[5], kChips[6],
                                  kChips[7], kChips[8]}));
        f = &rig->start();
    }

    void cleanup() { rig.reset(); }

    void savedSelectionIsShownAtStart()
    {
        QCOMPARE(items(f->ComboBox1), (QStringList{"SPI_FLASH", "24_EEPROM", "AVR", "95_EEPROM"}));
        QCOMPARE(items(f->ComboBox2), (QStringList{"WINBOND", "MXIC", "BIG"}));
        QCOMPARE(items(f->ComboBox3), (QStringList{"W25Q80", "W25Q16"}));
        QCOMPARE(f->ComboBox3->currentText(), QStringLiteral("W25Q80"));
        QCOMPARE(f->state().currentChipIndex(), 0);
        QCOMPARE(f->edtCapcity->text(), QStringLiteral("1024KB"));
        QCOMPARE(f->edtPageSize->text(), QStringLiteral("256"));
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:1048576 BUFFER:0"));
        QCOMPARE(textColour(f->FlashSize), kBlue);
        QCOMPARE(f->FlashEditor->byteCount(), qint64(1048576));
        QVERIFY(f->CheckBoxID->isEnabled());
        QVERIFY(f->BtnCheck->isEnabled());
        QVERIFY(!tabShown(*f, f->TabSheet2));
        QVERIFY(!tabShown(*f, f->TabSheet3));
        QVERIFY(!f->CheckBoxFUSE->isEnabled());
        // The socket choice did not move, so the layout's picture stays.
        QCOMPARE(f->SelectSock->itemIndex(), 0);
        QCOMPARE(f->shownPicture(), QStringLiteral("Image1"));
        QVERIFY(!f->Image1->pixmap().isNull());
        QCOMPARE(f->Image1->size(), QSize(120, 169));
    }

    void listsCascadeAndCapacityTextsFollowTheChip()
    {
        choose(f->ComboBox2, 1);
        QCOMPARE(items(f->ComboBox3), QStringList{"MX25L8005"});
        QCOMPARE(f->edtCapcity->text(), QStringLiteral("1MB"));
        QCOMPARE(f->state().selection().savedPosition(1), 1);

        choose(f->ComboBox1, 1);  // a type choice takes its first manufacturer and model
        QCOMPARE(items(f->ComboBox2), QStringList{"ATMEL"});
        QCOMPARE(items(f->ComboBox3), (QStringList{"AT24C08", "AT24C16"}));
        QCOMPARE(f->ComboBox2->currentIndex(), 0);
        QCOMPARE(f->ComboBox3->currentIndex(), 0);
        QCOMPARE(f->edtCapcity->text(), QStringLiteral("1024"));
        QCOMPARE(f->edtPageSize->text(), QStringLiteral("16"));
        QCOMPARE(f->cmbProgSpeed->currentText(), QStringLiteral("3MHz"));
        QCOMPARE(f->state().programmer().speedIndex(), 2);
        QVERIFY(!f->CheckBoxID->isEnabled());
        QCOMPARE(f->state().currentChipIndex(), 3);

        choose(f->ComboBox3, 1);
        QCOMPARE(f->edtCapcity->text(), QStringLiteral("1KB"));
        QCOMPARE(f->state().currentChipIndex(), 4);

        choose(f->ComboBox1, 2);
        choose(f->ComboBox3, 1);
        QCOMPARE(f->edtCapcity->text(), QStringLiteral("0"));
        QCOMPARE(f->CGauge1->maximum(), 1);  // an empty chip does not make the gauge spin
        QCOMPARE(f->CGauge1->value(), 0);

        // The user's speed choice reaches the programmer.
        f->cmbProgSpeed->setCurrentIndex(6);
        QCOMPARE(f->state().programmer().speedIndex(), 6);
        QCOMPARE(f->state().selection().savedPosition(0), 2);
        QCOMPARE(f->state().selection().savedPosition(2), 1);
    }

    void eepromPageAndOptionsExistOnlyWithAnEeprom()
    {
        QVERIFY(!f->CheckBoxWriteEprom->isEnabled());
        QVERIFY(!f->CheckBoxVerifyEprom->isEnabled());
        f->state().buffers().setEepromLength(600);
        choose(f->ComboBox1, 2);  // ATmega8, 512 bytes of EEPROM
        QVERIFY(tabShown(*f, f->TabSheet2));
        QVERIFY(f->CheckBoxWriteEprom->isEnabled());
        QVERIFY(f->CheckBoxVerifyEprom->isEnabled());
        QCOMPARE(f->EpromSize->text(), QStringLiteral("EEPROM:512 BUFFER:600"));
        QCOMPARE(textColour(f->EpromSize), kRed);
        QCOMPARE(f->EpromEditor->byteCount(), qint64(0));  // loaded only by an open or a read

        f->PageControl1->setCurrentWidget(f->TabSheet2);
        QVERIFY(f->activeMemoryPage() == MemoryPage::Eeprom);
        QVERIFY(!f->bufferEmpty(MemoryPage::Eeprom));
        QVERIFY(f->bufferEmpty(MemoryPage::Flash));

        choose(f->ComboBox1, 0);  // no EEPROM: page hidden, Flash page active again
        QVERIFY(!tabShown(*f, f->TabSheet2));
        QVERIFY(!f->CheckBoxWriteEprom->isEnabled());
        QCOMPARE(f->PageControl1->currentWidget(), f->TabSheet1);
        QVERIFY(f->activeMemoryPage() == MemoryPage::Flash);
        QCOMPARE(f->EpromSize->text(), QStringLiteral("EEPROM:512 BUFFER:600"));  // left as it was
        QCOMPARE(f->state().buffers().eepromLength(), 600);

        // With the serial page shown, it sits at position 1 while the chip has no EEPROM.
        f->CheckBoxSN->setChecked(true);
        QVERIFY(tabShown(*f, f->TabSheet4));
        f->PageControl1->setCurrentWidget(f->TabSheet4);
        QVERIFY(f->activeMemoryPage() == MemoryPage::Eeprom);
        f->CheckBoxSN->setChecked(false);
        QVERIFY(!tabShown(*f, f->TabSheet4));
        // The box itself is never shown: the Operation menu's item is how a
        // person ticks it, and it follows the box the settings set.
        QVERIFY(f->O3->actions().contains(f->WriteSn) && f->WriteSn->isVisible());
        f->WriteSn->trigger();
        QVERIFY(f->CheckBoxSN->isChecked() && tabShown(*f, f->TabSheet4));
        f->CheckBoxSN->setChecked(false);
        QVERIFY(!f->WriteSn->isChecked() && !tabShown(*f, f->TabSheet4));
    }

    // Ctrl+Tab goes round the shown pages only; a hidden page is never the
    // current one, however it became so, and never acts.
    void hiddenPagesAreNeverReachedNorAct()
    {
        choose(f->ComboBox1, 2);  // ATmega8: FLASH and EPROM shown
        f->CheckBoxSN->setChecked(true);
        QTabWidget* pages = f->PageControl1;
        QVERIFY(!tabShown(*f, f->TabSheet3) && !tabShown(*f, f->HELP));
        pages->setCurrentWidget(f->TabSheet1);
        QList<QWidget*> visited;
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(pages->tabBar(), Qt::Key_Tab, Qt::ControlModifier);
            visited << pages->currentWidget();
        }
        QCOMPARE(visited, (QList<QWidget*>{f->TabSheet2, f->TabSheet4, f->TabSheet1, f->TabSheet2, f->TabSheet4,
                                           f->TabSheet1}));
        QTest::keyClick(pages->tabBar(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(pages->currentWidget(), f->TabSheet4);
        QTest::keyClick(pages->tabBar(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(pages->currentWidget(), f->TabSheet1);

        for (QWidget* hidden : {f->HELP, f->TabSheet3}) {
            pages->setCurrentWidget(hidden);
            QVERIFY(tabShown(*f, pages->currentWidget()));
        }
        pages->setCurrentWidget(f->TabSheet4);
        f->CheckBoxSN->setChecked(false);  // the page in sight goes
        QVERIFY(pages->currentWidget() != f->TabSheet4);
        QVERIFY(f->activeHexView());

        // The fuse page's buttons do nothing while it is hidden.
        rig->sim.insertChip(kChips[5]);
        rig->sim.setRecording(true);
        f->FuseWrite->click();
        f->FuseRead->click();
        QVERIFY(rig->sim.traffic().empty());
    }

    // From the hex view the keyboard alone gets back to the chip lists.
    void keyboardLeavesTheHexViewForTheChipLists()
    {
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        f->FlashEditor->setFocus();
        QTest::keyClick(f->FlashEditor, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f->FlashEditor);  // Tab switches the column
        QWidget* reached = nullptr;
        for (int i = 0; i < 40 && reached != f->ComboBox3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                            i == 0 ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ShiftModifier);
            reached = QApplication::focusWidget();
            QVERIFY(reached != f->FlashEditor);
        }
        QCOMPARE(reached, f->ComboBox3);
        f->FlashEditor->setFocus();
        QTest::keyClick(f->FlashEditor, Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(QApplication::focusWidget() != f->FlashEditor);
    }

    void placementPictureFollowsTheInterfaceWhenTheSocketChoiceMoves()
    {
        choose(f->ComboBox1, 2);  // AVR: ISP, detection off
        QCOMPARE(f->SelectSock->itemIndex(), 1);
        QCOMPARE(f->shownPicture(), QStringLiteral("J2"));
        QVERIFY(!f->BtnCheck->isEnabled());
        // Its menu item and key follow the button.
        QVERIFY(!f->Detect->isEnabled());
        const std::size_t boxes = rig->boxes->boxes.size();
        const QString log = f->RichEdit1->toPlainText();
        f->Detect->trigger();
        QCOMPARE(rig->boxes->boxes.size(), boxes);
        QCOMPARE(f->RichEdit1->toPlainText(), log);
        choose(f->ComboBox3, 1);  // interface 0, but the socket choice stays: no new picture
        QCOMPARE(f->shownPicture(), QStringLiteral("J2"));
        QCOMPARE(f->SelectSock->itemIndex(), 1);
        choose(f->ComboBox1, 3);  // moves to ZIF, then the interface (3) clamps to ISP
        QCOMPARE(f->SelectSock->itemIndex(), 1);
        QCOMPARE(f->shownPicture(), QStringLiteral("J2"));
        QVERIFY(f->BtnCheck->isEnabled() && f->Detect->isEnabled());
        choose(f->ComboBox1, 0);  // interface 1: the chip in the ZIF socket
        QCOMPARE(f->SelectSock->itemIndex(), 0);
        QCOMPARE(f->shownPicture(), QStringLiteral("J1"));
        QVERIFY(!f->Image1->pixmap().isNull());
        QVERIFY(f->SelectSock->isHidden());
    }

    void sizeCaptionGaugeAndChecksumFollowBufferAndChip()
    {
        Buffers& b = f->state().buffers();
        std::memcpy(b.flash(), "123456789", 9);
        b.setFlashLength(9);
        choose(f->ComboBox3, 1);
        QCOMPARE(f->FlashCrc->text(), QStringLiteral("CRC-32: CBF43926"));
        QCOMPARE(f->EpromCrc->text(), QStringLiteral("CRC-32: 00000000"));

        b.setFlashLength(2000000);
        choose(f->ComboBox3, 0);  // 1 MiB chip: the data is larger, red
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:1048576 BUFFER:2000000"));
        QCOMPARE(textColour(f->FlashSize), kRed);
        QCOMPARE(f->CGauge1->maximum(), 1048576);
        QCOMPARE(f->CGauge1->value(), 1048576);
        choose(f->ComboBox3, 1);  // 2 MiB chip: blue
        QCOMPARE(textColour(f->FlashSize), kBlue);
        QCOMPARE(f->CGauge1->maximum(), 2097152);
        QCOMPARE(f->CGauge1->value(), 2000000);
        QCOMPARE(f->state().buffers().flashLength(), 2000000);  // a chip change keeps the data

        // A chip beyond the integer range of the gauge keeps its proportion.
        b.setFlashLength(1610612736);
        choose(f->ComboBox2, 2);
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:3221225472 BUFFER:1610612736"));
        QVERIFY(f->CGauge1->maximum() > 0);
        QCOMPARE(qint64(f->CGauge1->value()) * 2, qint64(f->CGauge1->maximum()));
        QCOMPARE(f->FlashEditor->byteCount(), qint64(64) << 20);  // the view shows at most the buffer
    }

    void flashViewEditsAreTakenInByTheRules()
    {
        Buffers& b = f->state().buffers();
        b.setFlashLength(5);
        f->TakeFlashViewEdits();  // not modified: nothing happens
        QCOMPARE(b.flashLength(), 5);

        f->FlashEditor->setFocus();
        QTest::keyClicks(f->FlashEditor, QStringLiteral("a5"));
        QVERIFY(f->FlashEditor->isModified());
        f->TakeFlashViewEdits();
        QCOMPARE(b.flashLength(), 1048576);  // all the view holds, up to the chip
        QCOMPARE(b.flash()[0], uint8_t(0xA5));
        QVERIFY(!f->FlashEditor->isModified());
        QCOMPARE(f->FlashCrc->text(), QString::asprintf("CRC-32: %08X", b.flashCrc()));

        // A view holding fewer bytes than the chip gives its own count...
        std::vector<uint8_t> few(100, 0x11);
        f->FlashEditor->loadBytes(few.data(), qint64(few.size()));
        QTest::keyClicks(f->FlashEditor, QStringLiteral("2"));
        f->TakeFlashViewEdits();
        QCOMPARE(b.flashLength(), 100);
        QCOMPARE(b.flash()[0], uint8_t(0x21));
        QCOMPARE(b.flash()[99], uint8_t(0x11));
        QCOMPARE(b.flash()[100], uint8_t(0xFF));

        // ...and one holding more stops at the chip's size.
        std::vector<uint8_t> many(1048576 + 4096, 0x33);
        f->FlashEditor->loadBytes(many.data(), qint64(many.size()));
        QTest::keyClicks(f->FlashEditor, QStringLiteral("4"));
        f->TakeFlashViewEdits();
        QCOMPARE(b.flashLength(), 1048576);
        QCOMPARE(b.flash()[1048576], uint8_t(0xFF));
    }

    // A chip change reloads the view from the buffer: the bytes typed into
    // it just before stay, whichever way the chip changed.
    void typedBytesSurviveAChipChange()
    {
        const std::function<void()> changes[] = {
            [&] { choose(f->ComboBox3, 1); },
            [&] {
                rig->sim.insertChip(kChips[0]);
                f->BtnCheckClick();
            },
        };
        for (std::size_t i = 0; i < std::size(changes); ++i) {
            const int at = 0x10 + int(i);
            QVERIFY(f->FlashEditor->goToAddress(at));
            QTest::keyClicks(f->FlashEditor, QStringLiteral("5a"));
            const int before = f->state().currentChipIndex();
            changes[i]();
            QVERIFY(f->state().currentChipIndex() != before);
            QCOMPARE(f->state().buffers().flash()[at], uint8_t(0x5A));
            uint8_t shown[0x20] = {};
            f->FlashEditor->copyOut(shown, sizeof shown);
            QCOMPARE(shown[at], uint8_t(0x5A));
        }
    }

    void identificationSelectsTheChipOrReportsTheUnknownId()
    {
        rig->sim.insertChip(kChips[1]);
        f->BtnCheckClick();
        QCOMPARE(f->state().currentChipIndex(), 1);
        QCOMPARE(f->ComboBox3->currentText(), QStringLiteral("W25Q16"));
        QCOMPARE(f->edtCapcity->text(), QStringLiteral("2MB"));
        const QStringList info = rig->boxes->texts(BoxPresenter::Icon::Information);
        QCOMPARE(info, QStringList{messageText(Msg::ChipWasDetected, 0) + QStringLiteral("W25Q16")
                                   + messageText(Msg::ChipType, 0) + QStringLiteral("SPI_FLASH")});
        QCOMPARE(rig->boxes->boxes.back().caption, QStringLiteral("Information"));
        QCOMPARE(f->state().selection().savedPosition(2), 1);

        rig->sim.insertChip(makeChip({.key = "SPI_FLASH,NOBODY,X1", .id = 0x123456, .flash = 4096, .page = 256}));
        f->BtnCheckClick();
        const QStringList errors = rig->boxes->texts(BoxPresenter::Icon::Error);
        QCOMPARE(errors, QStringList{messageText(Msg::UnknownChipId, 0) + QStringLiteral("12 34 56")
                                     + messageText(Msg::ChooseCompatibleType, 0)});
        QCOMPARE(rig->boxes->boxes.back().caption, QStringLiteral("Error"));
        // The lists moved to the detected class and its first chip.
        QCOMPARE(f->ComboBox1->currentIndex(), 0);
        QCOMPARE(f->state().currentChipIndex(), 0);
        QVERIFY(f->Panel2->isEnabled() && f->ToolBar1->isEnabled());
    }

    void detectionFindsNothingWithoutAProgrammer()
    {
        rig->sim.setPlugged(false);
        f->BtnCheckClick();
        QCOMPARE(rig->boxes->texts(BoxPresenter::Icon::Error), QStringList{messageText(Msg::NotConnected, 0)});
        QCOMPARE(f->state().currentChipIndex(), 0);
    }

    void readFillsTheBufferAndTheCaptions()
    {
        rig->sim.insertChip(kChips[0]);
        for (int i = 0; i < 10; ++i)
            rig->sim.flash()[std::size_t(i)] = uint8_t(i);
        f->state().buffers().setFlashLength(3000000);
        f->ToolReadClick();
        QCOMPARE(f->state().buffers().flashLength(), 10);
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:1048576 BUFFER:10"));
        QCOMPARE(textColour(f->FlashSize), kBlue);
        QCOMPARE(f->CGauge1->value(), 10);
        QCOMPARE(f->FlashCrc->text(), QString::asprintf("CRC-32: %08X", f->state().buffers().flashCrc()));
        QVERIFY(rig->logLines().first().contains(messageText(Msg::ReadComplete, 0)));
        QVERIFY(!f->Progress->isVisible());
        QVERIFY(f->ToolBar1->isEnabled());
    }

    void openAndSaveGoThroughTheFileDialogs()
    {
        const QString in = rig->path(QStringLiteral("in.bin"));
        QVERIFY(writeBytes(in, QByteArray(300, '\x5A')));
        rig->boxes->openNames << in;
        f->ToolOpenClick();
        QCOMPARE(rig->boxes->openFilters.first(), QStringLiteral("Binary (*.bin)"));
        QCOMPARE(f->state().buffers().flashLength(), 300);
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:1048576 BUFFER:300"));
        QCOMPARE(f->CGauge1->value(), 300);
        QVERIFY(rig->logLines().first().contains(messageText(Msg::Open, 0) + in));

        const QString out = rig->path(QStringLiteral("out.bin"));
        rig->boxes->saveNames << out;
        f->ToolSaveClick();
        QCOMPARE(rig->boxes->saveSuffix, QString());
        QFile saved(out);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray(300, '\x5A'));

        f->ToolOpenClick();  // cancelled: nothing changes
        QCOMPARE(f->state().buffers().flashLength(), 300);
    }

    void dialogsOpenFromTheirHandlers()
    {
        f->BtnFindClick();
        f->ToolFillClick();
        QCOMPARE(rig->boxes->dialogs, (QStringList{"TForm3", "TForm4"}));
        QCOMPARE(f->form4()->Edit4->text(), QStringLiteral("FFFFF"));
    }
};

QTEST_MAIN(MainWindowChipTest)
#include "mainwindow_chip_test.moc"
