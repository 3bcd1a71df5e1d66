// Batch programming from the main window: the batch panel, the socket watch
// over chip after chip with a serial number each, the completion indicator
// the programmer is told, and the window that stays open while it runs.

#include "JobWatch.h"
#include "WindowRig.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

#include <cstring>

namespace {

constexpr int kChipBytes = 8192;
const ChipEntry kChip = makeChip({.key = "SPI_FLASH,TEST,T8K", .id = 0xEF3010, .flash = kChipBytes, .page = 256});

} // namespace

class MainWindowBatchTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    TForm1* f = nullptr;

    QStringList errors() const { return rig->boxes->texts(BoxPresenter::Icon::Error); }
    // Log lines without their number and date, oldest first.
    QStringList texts() const
    {
        QStringList out;
        for (const QString& line : rig->logLines())
            out.prepend(line.section(QLatin1Char(':'), 1).section(QStringLiteral(" ("), 0, 0));
        return out;
    }
    void clickBatchPanel() { QTest::mouseClick(f->Panel8, Qt::LeftButton); }
    void loadData(int bytes)
    {
        Buffers& b = f->state().buffers();
        for (int i = 0; i < bytes; ++i)
            b.flash()[i] = uint8_t(i * 5 + 1);
        b.setFlashLength(bytes);
        b.reloadFlashView(kChip);
    }
    uint32_t serialOnChip(int address) const
    {
        uint32_t v = 0;
        std::memcpy(&v, rig->sim.flash().data() + address, 4);
        return v;
    }

private slots:
    void init()
    {
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->useChipList({kChip}));
        QVERIFY(rig->writeIni("[DEVICE]\nLANGU=2\nSTART=32\nUID=7\n"
                              "[OPTIONS]\nSN=1\nERASE=1\nWFLASH=1\nVFLASH=1\n"));
        f = &rig->start();
        QCOMPARE(f->Edit1->text(), QStringLiteral("20"));
        QCOMPARE(f->UID->value(), 7);
    }

    void cleanup() { rig.reset(); }

    void emptyBufferIsRefused()
    {
        const int lines = int(rig->logLines().size());
        clickBatchPanel();
        QCOMPARE(errors(), QStringList{QStringLiteral("The buffer data is empty. Please load the data file..")});
        QVERIFY(!f->batchModeOn());
        QVERIFY(!f->Timer1->isActive());
        QCOMPARE(f->Panel8->text(), QStringLiteral("Batch write "));
        QCOMPARE(int(rig->logLines().size()), lines);
        QVERIFY(f->close());
    }

    // A batch of no steps would count every chip passed untouched; one ticked
    // step is enough to start.
    void batchOfNoStepsIsRefused()
    {
        loadData(1000);
        for (QCheckBox* box : {f->CheckBoxSN, f->CheckBoxErase, f->CheckBoxWriteFlash, f->CheckBoxVerity})
            box->setChecked(false);
        const int lines = int(rig->logLines().size());
        clickBatchPanel();
        QCOMPARE(errors(), QStringList{QStringLiteral(
            "No step is ticked in the AUTO Program Options: tick at least one (such as Erase, Program, Verify).")});
        QVERIFY(!f->batchModeOn() && !f->Timer1->isActive());
        QCOMPARE(int(rig->logLines().size()), lines);
        f->CheckBoxVerity->setChecked(true);
        clickBatchPanel();
        QCOMPARE(errors().size(), qsizetype(1));
        QVERIFY(f->batchModeOn());
        clickBatchPanel();
    }

    void chipAfterChip()
    {
        loadData(1000);
        clickBatchPanel();
        QVERIFY(errors().isEmpty());
        QVERIFY(f->batchModeOn());
        QVERIFY(f->Timer1->isActive());
        QCOMPARE(f->Panel8->text(), QStringLiteral("Stop batch write "));
        QCOMPARE(texts().last(), QStringLiteral("Waiting for chip placement"));
        QVERIFY(!f->close());  // refused while batch mode is on
        QVERIFY(f->isVisible());

        f->Timer1Timer();  // empty socket: nothing to say
        QCOMPARE(texts().last(), QStringLiteral("Waiting for chip placement"));

        // First chip: detected, programmed with serial number 7.
        rig->sim.insertChip(kChip);
        const int before = int(texts().size());
        JobWatch watch(*f);
        f->Timer1Timer();
        QVERIFY(!watch.samples.empty());
        QVERIFY(watch.all([](const JobWatch::Sample& s) { return !s.watchTimer && !s.toolBar; }));
        QCOMPARE(texts().mid(before), (QStringList{"Chip detected", "AUTO Complete!", "Please remove the chip"}));
        QVERIFY(f->Timer1->isActive());
        QCOMPARE(serialOnChip(0x20), 7u);
        QCOMPARE(std::memcmp(rig->sim.flash().data(), f->state().buffers().flash(), 1024), 0);
        QCOMPARE(f->UID->value(), 8);
        QVERIFY(errors().isEmpty());

        // It stays in the socket: not programmed again, nothing logged; the
        // programmer is told "done" from the following look on.
        const QStringList afterFirst = texts();
        f->Timer1Timer();
        QCOMPARE(rig->sim.lastCompletionIndicator(), 0);
        f->Timer1Timer();
        QCOMPARE(rig->sim.lastCompletionIndicator(), 2);
        f->Timer1Timer();
        QCOMPARE(rig->sim.lastCompletionIndicator(), 2);
        QCOMPARE(texts(), afterFirst);
        QCOMPARE(f->UID->value(), 8);

        // Taken out: asked for the next one once.
        rig->sim.removeChip();
        f->Timer1Timer();
        f->Timer1Timer();
        QCOMPARE(texts().mid(afterFirst.size()), QStringList{"Please place the chip "});
        QCOMPARE(f->state().programmer().completionIndicator(), 0);

        // Second chip gets the next number.
        rig->sim.insertChip(kChip);
        f->Timer1Timer();
        QCOMPARE(serialOnChip(0x20), 8u);
        QCOMPARE(f->UID->value(), 9);
        QCOMPARE(int(texts().filter(QStringLiteral("AUTO Complete!")).size()), 2);
        QCOMPARE(int(texts().filter(QStringLiteral("Please remove the chip")).size()), 2);

        clickBatchPanel();
        QVERIFY(!f->batchModeOn());
        QVERIFY(!f->Timer1->isActive());
        QCOMPARE(f->Panel8->text(), QStringLiteral("Batch write "));
        f->Timer1Timer();  // a tick queued before the stop does nothing
        QCOMPARE(f->UID->value(), 9);
        QVERIFY(f->close());
        QVERIFY(rig->ini().contains(QStringLiteral("UID=9")));
    }

    void watchTimerRunsTheBatchByItself()
    {
        loadData(512);
        rig->sim.insertChip(kChip);
        clickBatchPanel();
        QTRY_VERIFY_WITH_TIMEOUT(texts().contains(QStringLiteral("Please remove the chip")), 3000);
        QTest::qWait(1300);  // at least two more looks at the same chip
        QCOMPARE(int(texts().filter(QStringLiteral("Chip detected")).size()), 1);
        QCOMPARE(int(texts().filter(QStringLiteral("Please remove the chip")).size()), 1);
        QCOMPARE(rig->sim.lastCompletionIndicator(), 2);
        rig->sim.removeChip();
        QTRY_VERIFY_WITH_TIMEOUT(texts().contains(QStringLiteral("Please place the chip ")), 2000);
        QCOMPARE(f->UID->value(), 8);
        clickBatchPanel();
    }

    void switchedOffWhileAChipIsProgrammed()
    {
        loadData(4096);
        clickBatchPanel();
        rig->sim.insertChip(kChip);
        JobWatch watch(*f);
        bool clicked = false;
        watch.during = [&](const JobWatch::Sample&) {
            if (!clicked) {
                clicked = true;
                clickBatchPanel();  // the batch panel is live during the job
            }
        };
        f->Timer1Timer();
        QVERIFY(clicked);
        // The chip in hand is finished; the watch does not start again.
        QVERIFY(texts().contains(QStringLiteral("AUTO Complete!")));
        QVERIFY(!f->batchModeOn());
        QVERIFY(!f->Timer1->isActive());
        QCOMPARE(f->Panel8->text(), QStringLiteral("Batch write "));
        QVERIFY(f->close());
    }

    void failedChipWaitsForItsRemoval()
    {
        loadData(4096);
        clickBatchPanel();
        rig->sim.insertChip(kChip);
        JobWatch watch(*f);
        watch.failNextSetOnce(rig->sim, QStringLiteral("Write Flash ..."));
        f->Timer1Timer();
        QCOMPARE(errors().size(), qsizetype(1));
        QVERIFY2(errors().first().startsWith(QStringLiteral("Communication with the programmer failed; the operation "
                                                             "was stopped.\nBroken pipe (simulated fault at report ")),
                 qPrintable(errors().first()));
        QVERIFY(!texts().contains(QStringLiteral("AUTO Complete!")));
        QCOMPARE(texts().last(), QStringLiteral("Please remove the chip"));
        QVERIFY(f->batchModeOn() && f->Timer1->isActive());
        QVERIFY(f->ToolBar1->isEnabled() && f->Panel2->isEnabled());
        // The number was used for the failed chip: the next chip gets the next.
        QCOMPARE(f->UID->value(), 8);
        f->Timer1Timer();
        QCOMPARE(int(errors().size()), 1);
        rig->sim.removeChip();
        f->Timer1Timer();
        rig->sim.insertChip(kChip);
        f->Timer1Timer();
        QCOMPARE(serialOnChip(0x20), 8u);
        QCOMPARE(int(errors().size()), 1);
        clickBatchPanel();
    }

    void productionLogFromTheMenuAndTheCountBesideThePanel()
    {
        const QString log = rig->path(QStringLiteral("production.csv"));
        QVERIFY(f->NoProdLog->isChecked());
        rig->boxes->saveNames = QStringList{log};
        f->ProdLog->trigger();
        QCOMPARE(rig->boxes->saveTitles, QStringList{QStringLiteral("Production log file")});
        QVERIFY(!f->NoProdLog->isChecked());
        QCOMPARE(texts().last(), QStringLiteral("Production log: ") + QDir::toNativeSeparators(log));
        loadData(1024);
        clickBatchPanel();
        QVERIFY(f->BatchStatus->isVisible());
        QVERIFY(f->BatchStatus->text().startsWith(QStringLiteral("Passed 0, failed 0, ")));
        for (int chip = 0; chip < 4; ++chip) {
            rig->sim.insertChip(kChip);
            if (chip == 3)
                rig->sim.setBlockProtected(true);
            f->Timer1Timer();
            rig->sim.removeChip();
            f->Timer1Timer();
        }
        QVERIFY(f->BatchStatus->text().startsWith(QStringLiteral("Passed 3, failed 1, ")));
        QVERIFY(f->BatchStatus->text().endsWith(QStringLiteral(" chips/hour")));
        clickBatchPanel();
        QVERIFY(!f->BatchStatus->isVisible());
        const QStringList rows = fileText(log).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 5);
        QVERIFY(rows[4].contains(QStringLiteral(",TEST,T8K,0xEF3010,10,Write SN + Erase + Program + Verify,failed: Verify,")));
        QVERIFY(f->close());
        QVERIFY(rig->ini().contains(QStringLiteral("[PRODUCTION]\nLogFile=") + log));

        // No log stops it, and is what the next start shows.
        f = &rig->start();
        QVERIFY(!f->NoProdLog->isChecked());
        f->NoProdLog->trigger();
        QVERIFY(f->NoProdLog->isChecked());
        QCOMPARE(texts().last(), QStringLiteral("Production log: none"));
        loadData(1024);
        f->BatchMode->trigger();
        rig->sim.insertChip(kChip);
        f->Timer1Timer();
        f->BatchMode->trigger();
        QCOMPARE(fileText(log).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).size(), 5);
        QVERIFY(f->close());
        QVERIFY(!rig->ini().contains(QStringLiteral("LogFile=/")));
    }

    // The batch switch from the menu and its key; the counts beside it stay
    // whole and clear of the panel's edge at the first start's size, in each language.
    void batchSwitchFromTheMenuWithItsCountsInSight()
    {
        f->resize(700, 500);
        f->BatchMode->trigger();  // nothing to write yet
        QVERIFY(!f->batchModeOn() && !f->BatchMode->isChecked());
        QCOMPARE(errors(), QStringList{QStringLiteral("The buffer data is empty. Please load the data file..")});
        loadData(1024);
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        QTest::keyClick(f, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(f->batchModeOn() && f->BatchMode->isChecked() && f->Panel8->isRaised());
        for (void (TForm1::*language)() : {&TForm1::ChinaClick, &TForm1::fantiClick, &TForm1::EnlishClick}) {
            (f->*language)();
            QCoreApplication::processEvents();
            const QPoint textEnd = f->BatchStatus->mapTo(f->Panel3, f->BatchStatus->contentsRect().topRight());
            QVERIFY2(textEnd.x() <= f->Panel3->width() - 8, qPrintable(f->BatchStatus->text()));
            QVERIFY2(f->BatchStatus->width() >= f->BatchStatus->sizeHint().width(), qPrintable(f->BatchStatus->text()));
            QVERIFY(f->Panel8->width() > f->Panel8->fontMetrics().horizontalAdvance(f->Panel8->text()));
        }
        QTest::keyClick(f, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(!f->batchModeOn() && !f->BatchMode->isChecked());
    }
};

QTEST_MAIN(MainWindowBatchTest)
#include "mainwindow_batch_test.moc"
