// The fuse and lock page of the main window over the bundled description.

#include "WindowRig.h"

#include "app/AidTexts.h"
#include "app/MessageTable.h"
#include "device/ProgrammerCommand.h"

#include <QCheckBox>
#include <QToolButton>
#include <QHeaderView>
#include <QPushButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <functional>
#include <tuple>

namespace {

const ChipEntry kAvr = makeChip({.key = "AVR,ATMEL,ATmega328P", .id = 0x1E950F, .flash = 32768, .page = 128,
                                 .chipClass = 7, .eeprom = 1024, .eepromPage = 4, .interfaceCode = 2});

QString cell(const QTableWidget* grid, int column, int row)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

class MainWindowFuseTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    TForm1* f = nullptr;

private slots:
    void init()
    {
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->useChipList({kAvr}));
        QVERIFY(QDir(rig->dir.path()).mkdir(QStringLiteral("xml")));
        QVERIFY(QFile::copy(QStringLiteral(KTR_SOURCE_DIR "/data/xml/0.xml"), rig->path(QStringLiteral("xml/0.xml"))));
        rig->sim.insertChip(kAvr);
        f = &rig->start();
    }

    void cleanup() { rig.reset(); }

    // Before the first chip change no description is loaded: the fuse
    // step's box, ticked by the settings, is neither shown nor live, and no
    // fuse byte reaches the chip.
    void fuseStepWithoutADescriptionSendsNothing()
    {
        WindowRig fresh;
        QVERIFY(fresh.useChipList({kAvr}));
        QVERIFY(fresh.writeIni("[DEVICE]\nLANGU=2\n[OPTIONS]\nFUSE=1\nWFLASH=1\n"));
        fresh.sim.insertChip(kAvr);
        fresh.sim.setRecording(true);
        TForm1& w = fresh.start(false);
        QVERIFY(w.CheckBoxFUSE->isChecked() && !w.CheckBoxFUSE->isEnabled() && w.CheckBoxFUSE->isHidden());
        QVERIFY(!w.state().fuses().descriptionLoaded());
        QVERIFY(!w.autoOptions().fuses);
        w.state().buffers().setFlashLength(16);
        w.ToolAutoClick();
        for (const auto& r : fresh.sim.traffic())
            QVERIFY(!(r.toDevice && r.bytes.size() == 64 && (r.bytes[1] == kCmdWriteFuses || r.bytes[1] == kCmdWriteLock)));
    }

    // A chip with fuse bytes shows its page and the fuse step once the
    // description is loaded; any other chip hides both again.
    void chipChangeLoadsTheDescriptionAndShowsThePageForAChipWithFuses()
    {
        QVERIFY(f->PageControl1->isTabVisible(f->PageControl1->indexOf(f->TabSheet3)));
        QVERIFY(f->CheckBoxFUSE->isEnabled() && !f->CheckBoxFUSE->isHidden());
        QCOMPARE(f->StringGrid1->columnCount(), 5);
        QCOMPARE(cell(f->StringGrid1, 0, 0), QStringLiteral("Name"));
        QCOMPARE(cell(f->StringGrid1, 0, 1), QStringLiteral("Vale"));
        QCOMPARE(cell(f->StringGrid1, 0, 9), QStringLiteral("Bit 7"));
        QCOMPARE(cell(f->StringGrid1, 1, 0), QStringLiteral("    LOW"));
        QCOMPARE(cell(f->StringGrid1, 1, 1), QStringLiteral("      0x62"));
        QCOMPARE(f->CheckListBox1->count(), int(f->state().fuses().settings().size()));
        QVERIFY(f->CheckListBox1->count() > 10);
        // Simplified Chinese shows the Chinese captions.
        QCOMPARE(f->CheckListBox1->item(0)->text(), QStringLiteral("时钟源：外部时钟"));
        for (int i = 0; i < f->CheckListBox1->count(); ++i)
            QCOMPARE(f->CheckListBox1->item(i)->checkState() == Qt::Checked, f->state().fuses().isChecked(i));
        QCOMPARE(f->CheckListBox1->item(1)->checkState(), Qt::Checked);  // 0x62: internal RC 8 MHz
        // Column widths follow the window: (width - 350) / columns.
        QCOMPARE(f->StringGrid1->horizontalHeader()->defaultSectionSize(), (f->width() - 350) / 5);
    }

    void ticksAndTheDefaultButtonChangeTheBytes()
    {
        rig->showPage(f->TabSheet3);
        f->CheckListBox1->item(0)->setCheckState(Qt::Checked);  // mask 0x0F, value 0x00
        QCOMPARE(f->state().fuses().currentBytes()[0], uint8_t(0x60));
        QCOMPARE(f->CheckListBox1->item(1)->checkState(), Qt::Unchecked);
        QCOMPARE(cell(f->StringGrid1, 1, 1).trimmed(), QStringLiteral("0x60"));
        // Unticking a setting of several bits changes nothing and shows it ticked again.
        f->CheckListBox1->item(0)->setCheckState(Qt::Unchecked);
        QCOMPARE(f->state().fuses().currentBytes()[0], uint8_t(0x60));
        QCOMPARE(f->CheckListBox1->item(0)->checkState(), Qt::Checked);
        f->FuseDefault->click();
        QCOMPARE(f->state().fuses().currentBytes()[0], uint8_t(0x62));
        QCOMPARE(f->CheckListBox1->item(1)->checkState(), Qt::Checked);

        // Batch mode writes the same bytes into every chip: no tick, cell or
        // Default changes them between chips.
        f->state().buffers().setFlashLength(16);
        f->CheckBoxWriteFlash->setChecked(true);
        f->BatchMode->trigger();
        QVERIFY(f->batchModeOn());
        rig->boxes->boxes.clear();
        f->CheckListBox1->item(0)->setCheckState(Qt::Checked);
        f->StringGrid1Click(1, 9);
        f->FuseDefault->click();
        QCOMPARE(f->state().fuses().currentBytes()[0], uint8_t(0x62));
        QCOMPARE(f->CheckListBox1->item(0)->checkState(), Qt::Unchecked);
        QCOMPARE(rig->boxes->texts(BoxPresenter::Icon::Error),
                 QStringList(3, aidMessage(AidMessage::BatchHoldsBuffers, 0)));
        f->BatchMode->trigger();
        QVERIFY(!f->batchModeOn());
    }

    void valueEditorTakesATypedByte()
    {
        rig->showPage(f->TabSheet3);
        f->StringGrid1Click(1, 1);
        QVERIFY(!f->MaskEdit1->isHidden());
        QCOMPARE(f->MaskEdit1->text(), QStringLiteral("0x62"));
        f->MaskEdit1->setText(QStringLiteral("0x"));
        f->MaskEdit1Exit();  // no digit typed: nothing happens
        QVERIFY(!f->MaskEdit1->isHidden());
        QCOMPARE(f->state().fuses().currentBytes()[0], uint8_t(0x62));
        f->MaskEdit1->setText(QStringLiteral("0x1f"));
        f->MaskEdit1Exit();
        QVERIFY(f->MaskEdit1->isHidden());
        QCOMPARE(f->state().fuses().currentBytes()[0], uint8_t(0x1F));
        QCOMPARE(cell(f->StringGrid1, 1, 1), QStringLiteral("0x1f"));
        // The editor lets only hexadecimal digits through.
        QKeyEvent g(QEvent::KeyPress, Qt::Key_G, Qt::NoModifier, QStringLiteral("g"));
        QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QVERIFY(f->MaskEdit1KeyPress(&g));
        QVERIFY(!f->MaskEdit1KeyPress(&a));

        // Enter takes the typed byte; Escape leaves the byte as it was.
        for (const auto& [key, typed, kept] : {std::tuple{Qt::Key_Return, "0x3c", 0x3C}, {Qt::Key_Escape, "0x77", 0x3C},
                                              {Qt::Key_Enter, "0x0a", 0x0A}}) {
            f->StringGrid1Click(1, 1);
            QCOMPARE(f->focusWidget(), f->MaskEdit1);
            f->MaskEdit1->setText(QLatin1String(typed));
            QTest::keyClick(f->MaskEdit1, key);
            QVERIFY(f->MaskEdit1->isHidden());
            QCOMPARE(f->state().fuses().currentBytes()[0], uint8_t(kept));
        }
    }

    void labelColumnKeepsItsWidth()
    {
        for (const int width : {700, 1200, 900}) {
            f->resize(width, 600);
            QCOMPARE(f->StringGrid1->columnWidth(0), 50);
            QCOMPARE(f->StringGrid1->columnWidth(1), (f->width() - 350) / f->StringGrid1->columnCount());
        }
    }

    void bitCellsToggleAndAreDrawnWithTheirState()
    {
        rig->showPage(f->TabSheet3);
        // LOW bit 7 (CKDIV8) of 0x62 is 0; a click sets it.
        f->StringGrid1Click(9, 1);
        QCOMPARE(f->state().fuses().currentBytes()[0], uint8_t(0xE2));
        f->resize(1000, 700);
        const QImage image = f->StringGrid1->grab().toImage();
        int green = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGreen(image.pixel(x, y)) > 150 && qRed(image.pixel(x, y)) < 100)
                    ++green;
        QVERIFY(green > 0);
    }

    void readButtonsFetchTheChipsBytes()
    {
        rig->showPage(f->TabSheet3);
        rig->sim.fuses()[0] = 0xFF;
        rig->sim.fuses()[1] = 0xD9;
        rig->sim.lockByte() = 0x3C;
        f->FuseRead->click();
        QCOMPARE(f->state().fuses().currentBytes()[0], uint8_t(0xFF));
        QCOMPARE(cell(f->StringGrid1, 2, 1), QStringLiteral("0xd9"));
        QVERIFY(rig->logLines().first().contains(QStringLiteral("FUSE") + messageText(Msg::ReadComplete, 0)));
        f->ReadLockBtn->click();
        QCOMPARE(f->state().fuses().lockByte(), uint8_t(0x3C));
        QCOMPARE(cell(f->StringGrid1, 4, 1), QStringLiteral("0x3c"));
        QVERIFY(rig->logLines().first().contains(QStringLiteral("LOCK")));
        QVERIFY(rig->boxes->texts(BoxPresenter::Icon::Error).isEmpty());
    }

    // Values on the page that were neither read from this chip nor chosen
    // with Default replace bytes nobody looked at: the write asks first, and
    // No leaves the chip as it was.
    void writingValuesNotReadFromTheChipAsksFirst()
    {
        rig->showPage(f->TabSheet3);
        rig->sim.fuses()[0] = 0xE2;  // the chip's own clock setting, not the page's 0x62
        rig->sim.lockByte() = 0x33;  // boot lock bits only: the fuse bytes stay writable
        const QString fusesAsked = aidMessage(AidMessage::FusesNotRead, 0);
        const QString lockAsked = aidMessage(AidMessage::LockNotRead, 0);
        const struct {
            std::function<void()> before;
            QAbstractButton* write;
            QString asked;
            uint8_t lowAfter;  // the chip's LOW fuse byte afterwards
        } steps[] = {
            {{}, f->FuseWrite, fusesAsked, 0xE2},
            {{}, f->WriteLockBtn, lockAsked, 0xE2},
            // Read, one HIGH bit changed, written: LOW stays the chip's own.
            {[&] {
                 f->FuseRead->click();
                 f->StringGrid1Click(9, 2);
             },
             f->FuseWrite, {}, 0xE2},
            {[&] { f->ReadLockBtn->click(); }, f->WriteLockBtn, {}, 0xE2},
            {[&] { f->state().selection().selectByNames("AVR", "ATMEL", "ATmega328P"); }, f->FuseWrite, fusesAsked,
             0xE2},
            // The auto sequence's fuse step writes the same values.
            {[&] { f->CheckBoxFUSE->setChecked(true); }, f->ToolAuto, fusesAsked, 0xE2},
            {[&] { f->FuseDefault->click(); }, f->FuseWrite, {}, 0x62},
        };
        for (const auto& step : steps) {
            if (step.before)
                step.before();
            rig->boxes->boxes.clear();
            rig->boxes->answers = {false};
            const auto fuses = rig->sim.fuses();
            const uint8_t lock = rig->sim.lockByte();
            step.write->click();
            QCOMPARE(rig->boxes->texts(BoxPresenter::Icon::Question),
                     step.asked.isEmpty() ? QStringList() : QStringList{step.asked});
            if (!step.asked.isEmpty())
                QVERIFY(rig->sim.fuses() == fuses && rig->sim.lockByte() == lock);
            QCOMPARE(rig->sim.fuses()[0], step.lowAfter);
        }
    }

    // Another AVR in the socket: a fuse job names both signatures and No
    // ends it before any fuse byte is read or written.
    void fuseJobsCompareTheSignatureFirst()
    {
        ChipEntry tiny = kAvr;
        tiny.setChipId(0x1E9007);
        rig->sim.insertChip(tiny);
        rig->sim.setRecording(true);
        rig->boxes->answers = {true, false};  // write the values shown, but not into this chip
        f->FuseWrite->click();
        QCOMPARE(rig->boxes->texts(BoxPresenter::Icon::Question),
                 (QStringList{aidMessage(AidMessage::FusesNotRead, 0),
                              QStringLiteral("插座中的芯片（签名 0x1E9007）不是所选的芯片 ATMEL ATmega328P（签名 0x1E950F）。"
                                             "是否继续操作插座中的芯片？")}));
        std::vector<int> codes;
        for (const auto& r : rig->sim.traffic())
            if (r.toDevice && r.bytes.size() == 64)
                codes.push_back(r.bytes[1]);
        QCOMPARE(codes, (std::vector<int>{kCmdSetup, kCmdReadSignature, kCmdFinish}));
        QCOMPARE(rig->sim.fuses()[0], uint8_t(0x62));
    }

    // The page and the fuse step follow the chip: hidden for an SPI flash,
    // where the page's jobs are refused with nothing sent.
    void otherChipsNeverReachTheFusePage()
    {
        const ChipEntry spi = makeChip({.key = "SPI_FLASH,WINBOND,W25Q64JV", .id = 0xEF4017, .flash = 65536,
                                        .page = 256});
        WindowRig two;
        QVERIFY(two.useChipList({kAvr, spi}));
        QVERIFY(QDir(two.dir.path()).mkdir(QStringLiteral("xml")));
        QVERIFY(QFile::copy(QStringLiteral(KTR_SOURCE_DIR "/data/xml/0.xml"), two.path(QStringLiteral("xml/0.xml"))));
        two.sim.insertChip(spi);
        TForm1& w = two.start();
        const auto shown = [&w] { return w.PageControl1->isTabVisible(w.PageControl1->indexOf(w.TabSheet3)); };
        QVERIFY(shown());
        w.PageControl1->setCurrentWidget(w.TabSheet3);
        w.state().selection().selectByNames("SPI_FLASH", "WINBOND", "W25Q64JV");
        QVERIFY(!shown());
        QVERIFY(w.PageControl1->currentWidget() != w.TabSheet3);
        QVERIFY(!w.CheckBoxFUSE->isEnabled() && w.CheckBoxFUSE->isHidden());
        two.sim.setRecording(true);
        w.FuseWriteClick();
        QCOMPARE(two.boxes->texts(BoxPresenter::Icon::Error), QStringList{messageText(Msg::NoFuseBytes, 0)});
        QVERIFY(two.sim.traffic().empty());
        w.state().selection().selectByNames("AVR", "ATMEL", "ATmega328P");
        QVERIFY(shown());
        QVERIFY(w.CheckBoxFUSE->isEnabled() && !w.CheckBoxFUSE->isHidden());
    }
};

QTEST_MAIN(MainWindowFuseTest)
#include "mainwindow_fuse_test.moc"
