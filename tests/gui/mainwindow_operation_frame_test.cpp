// The frame every chip operation runs in, as the main window shows it: what
// is locked while the job runs, status and elapsed-time panels, the progress
// bar, the log line on top, and what is left after a refusal or a link that
// fails in the middle of a job.

#include "JobWatch.h"
#include "WindowRig.h"

#include "app/MessageTable.h"
#include "hexview/HexView.h"
#include "operations/gui/CompareStrip.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QListWidget>
#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

#include <cstring>
#include <vector>

namespace {

constexpr int kChipBytes = 65536;
const ChipEntry kChip = makeChip(
    {.key = "SPI_FLASH,TEST,T64K", .id = 0xEF3013, .flash = kChipBytes, .page = 256, .eraseDelay = 100});

uint8_t pattern(int i) { return uint8_t(i * 7 + 3); }

std::vector<uint8_t> viewBytes(const HexView* view)
{
    std::vector<uint8_t> out(std::size_t(view->byteCount()));
    view->copyOut(out.data(), view->byteCount());
    return out;
}

bool locked(const JobWatch::Sample& s) { return !s.toolBar && !s.leftPanel; }
// Only Help and the batch panel stay live while the job pumps events.
bool reachable(const JobWatch::Sample& s) { return !s.menu && s.help && s.batchPanel; }

} // namespace

class MainWindowOperationFrameTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    TForm1* f = nullptr;

    QString elapsed() const { return f->StatusBar1->panelText(3); }
    int logCount() const { return int(rig->logLines().size()); }
    // The buffer and its view hold what the chip in the socket holds.
    void loadTheChipsPattern()
    {
        Buffers& b = f->state().buffers();
        for (int i = 0; i < kChipBytes; ++i)
            b.flash()[i] = pattern(i);
        b.setFlashLength(kChipBytes);
        b.reloadFlashView(kChip);
    }
    QStringList errors() const { return rig->boxes->texts(BoxPresenter::Icon::Error); }
    int linesContaining(const QString& text) const { return int(rig->logLines().filter(text).size()); }

private slots:
    void init()
    {
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->useChipList({kChip}));
        QVERIFY(rig->writeIni("[DEVICE]\nLANGU=2\n"));
        rig->sim.insertChip(kChip);
        for (int i = 0; i < kChipBytes; ++i)
            rig->sim.flash()[std::size_t(i)] = pattern(i);
        f = &rig->start();
        QCOMPARE(f->StatusBar1->panelText(1), QStringLiteral("Ready"));
        QCOMPARE(elapsed(), QStringLiteral("00:00:00"));
    }

    void cleanup() { rig.reset(); }

    void readLocksTheControlsAndShowsItsProgress()
    {
        const int before = logCount();
        JobWatch watch(*f);
        int nestedClicks = 0;
        watch.during = [&](const JobWatch::Sample&) {
            // A second read from the menu while the first one pumps.
            if (nestedClicks++ == 0)
                f->R1->trigger();
        };
        f->ToolRead->click();

        QVERIFY(watch.samples.size() >= 100);  // the pump runs once per block
        QVERIFY(watch.all(locked));
        QVERIFY(watch.all(reachable));
        QVERIFY(watch.all([](const JobWatch::Sample& s) { return s.progressShown && s.status == "Read Flash ..."; }));
        QCOMPARE(watch.samples.front().progressMaximum, kChipBytes);
        // Every block of a small chip moves the bar, up to the last one's address.
        for (std::size_t i = 1; i < watch.samples.size(); ++i)
            QVERIFY(watch.samples[i].progressValue >= watch.samples[i - 1].progressValue);
        QCOMPARE(watch.samples.back().progressValue, kChipBytes - 256);
        QCOMPARE(watch.toolBarChanges, 2);
        QCOMPARE(watch.leftPanelChanges, 2);

        QVERIFY(f->ToolBar1->isEnabled() && f->Panel2->isEnabled());
        QVERIFY(!f->Progress->isVisible());
        QCOMPARE(f->Progress->value(), 0);
        QCOMPARE(f->StatusBar1->panelText(1), QStringLiteral("Ready"));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(elapsed()).hasMatch());
        // One line on top with the next number; the nested click ran nothing.
        QCOMPARE(logCount(), before + 1);
        QVERIFY(rig->logLines().first().startsWith(QString::asprintf("%03d:Read Complete! (", before + 1)));
        QVERIFY(rig->logLines().first().endsWith(QLatin1Char(')')));
        QVERIFY(errors().isEmpty());
        QCOMPARE(f->state().buffers().flashLength(), kChipBytes);
    }

    // Every way to change the data, tried between two blocks of a write and
    // of a read: the chip, the buffer and the view end as the job left them.
    void commandsTriedDuringAJobChangeNothing()
    {
        Buffers& b = f->state().buffers();
        const QString other = rig->path(QStringLiteral("other.bin"));
        QVERIFY(writeBytes(other, QByteArray(kChipBytes, char(0x11))));
        f->RadioButton3->setChecked(true);  // the merge button is live
        struct Attempt {
            const char* what;
            std::function<void()> run;
        };
        const std::vector<Attempt> attempts{
            {"Fill menu", [&] { f->Fill->trigger(); }},
            {"Fill button", [&] { f->ToolFill->click(); }},
            {"Open menu", [&] { f->O2->trigger(); }},
            {"Open button", [&] { f->ToolOpen->click(); }},
            {"Merge", [&] { f->BitBtn1->click(); }},
            {"Language", [&] { f->China->trigger(); }},
            {"Chip search", [&] { f->BtnFind->click(); }},
            {"Typing in the view", [&] { QTest::keyClicks(f->FlashEditor, QStringLiteral("1234")); }},
            {"Pasting into the view", [&] { QTest::keyClick(f->FlashEditor, Qt::Key_V, Qt::ControlModifier); }},
            {"Undo in the view", [&] { QTest::keyClick(f->FlashEditor, Qt::Key_Z, Qt::ControlModifier); }},
            {"Go to in the view", [&] { QTest::keyClick(f->FlashEditor, Qt::Key_G, Qt::ControlModifier); }},
            {"Go to from the menu", [&] { f->GoToClick(); }},
            {"Find", [&] { f->FindClick(); }},
            {"About", [&] { f->N5Click(); }},
            {"Production log", [&] { f->ProdLogClick(); }},
        };
        QApplication::clipboard()->setText(QStringLiteral("00 00 00 00"));
        // An edit before the job, which undo would take back.
        QTest::keyClicks(f->FlashEditor, QStringLiteral("77"));
        f->TakeFlashViewEdits();
        for (const bool writing : {true, false}) {
            for (const Attempt& attempt : attempts) {
                const QByteArray context = QByteArray(writing ? "write, " : "read, ") + attempt.what;
                for (int i = 0; i < kChipBytes; ++i) {
                    b.flash()[i] = writing ? pattern(i) : 0x5A;
                    rig->sim.flash()[std::size_t(i)] = writing ? 0xFF : pattern(i);
                }
                b.setFlashLength(kChipBytes);
                b.reloadFlashView(kChip);
                rig->boxes->openNames = QStringList{other};
                rig->boxes->dialogs.clear();
                const int before = logCount();
                JobWatch watch(*f);
                watch.during = [&](const JobWatch::Sample&) {
                    if (watch.samples.size() == 5)
                        attempt.run();
                };
                writing ? f->ToolWrite->click() : f->ToolRead->click();

                QVERIFY2(watch.samples.size() > 5, context);
                QVERIFY2(rig->boxes->dialogs.isEmpty() && rig->boxes->boxes.empty(), context);
                QVERIFY2(rig->boxes->saveNames.isEmpty(), context);
                QCOMPARE(rig->boxes->openNames, QStringList{other});
                QCOMPARE(logCount(), before + 1);
                QCOMPARE(f->languageIndex(), 2);
                const std::vector<uint8_t> view = viewBytes(f->FlashEditor);
                for (int i = 0; i < kChipBytes; ++i) {
                    QVERIFY2(rig->sim.flash()[std::size_t(i)] == pattern(i), context);
                    QVERIFY2(b.flash()[i] == pattern(i), context);
                    QVERIFY2(view[std::size_t(i)] == pattern(i), context);
                }
                QVERIFY2(f->O1->menuAction()->isEnabled() && f->Fill->isEnabled() && !f->FlashEditor->isReadOnly(),
                         context);
            }
        }
    }

    // At a real link's pace the bar tells the rate and the time left; Escape
    // or the Stop button ends the job between two reports.
    // Each control gets back what its own rule says once a job ends, also
    // when that rule greyed it or the job's own lock changed it meanwhile.
    void everyCommandComesBackAfterAJob()
    {
        loadTheChipsPattern();
        f->N3->setVisible(true);
        JobWatch watch(*f);
        bool lockedDuring = true;
        watch.during = [&](const JobWatch::Sample&) {
            lockedDuring = lockedDuring && !f->Detect->isEnabled() && !f->N3->isEnabled() && !f->UndoEdit->isEnabled()
                           && f->BatchMode->isEnabled() && f->FlashEditor->isReadOnly();
        };
        f->ToolVerify->click();
        QVERIFY(!watch.samples.empty() && lockedDuring);
        QVERIFY(f->Detect->isEnabled() && f->N3->isEnabled() && f->BatchMode->isEnabled());
        QVERIFY(!f->FlashEditor->isReadOnly());
        QVERIFY(!f->UndoEdit->isEnabled());  // nothing to take back yet
        // Ctrl+D detects the chip after the verify.
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        QVERIFY(rig->boxes->texts(BoxPresenter::Icon::Information).isEmpty());
        QTest::keyClick(f, Qt::Key_D, Qt::ControlModifier);
        const QStringList detected = rig->boxes->texts(BoxPresenter::Icon::Information);
        QVERIFY(detected.size() == 1 && detected[0].contains(QStringLiteral("T64K")));
        // An item greyed by its own rule while the job ran (a detection that
        // chose a part it cannot identify) stays greyed after it.
        watch.during = [&](const JobWatch::Sample&) { f->Detect->setEnabled(false); };
        f->ToolVerify->click();
        QVERIFY(!f->Detect->isEnabled() && f->R1->isEnabled());
        f->Detect->setEnabled(true);
        QVERIFY(f->Detect->isEnabled());
    }

    void stopEndsAReadOrAWriteBetweenTwoReports()
    {
        rig->sim.setLatency(1);
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        Buffers& b = f->state().buffers();
        std::memset(b.flash(), 0x5A, kChipBytes);
        b.setFlashLength(kChipBytes);
        b.reloadFlashView(kChip);
        {
            JobWatch watch(*f);
            QString rate;
            bool stopLive = false;
            watch.during = [&](const JobWatch::Sample&) {
                if (rate.isEmpty() && f->Progress->format().endsWith(QStringLiteral(" left")))
                    rate = f->Progress->format();
                if (!rate.isEmpty() && !stopLive) {
                    stopLive = f->BtnStop->isVisible() && f->BtnStop->isEnabled();
                    QTest::keyClick(f, Qt::Key_Escape);
                }
            };
            f->ToolRead->click();
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d+(\\.\\d)? (B|KiB|MiB)/s, \\d+:\\d\\d left$"))
                         .match(rate)
                         .hasMatch(),
                     qPrintable(rate));
            QVERIFY(stopLive);
        }
        QVERIFY(rig->logLines().first().contains(QStringLiteral(":Stopped by the user. (")));
        QCOMPARE(linesContaining(QStringLiteral("Read Complete!")), 0);
        QVERIFY(errors().isEmpty());
        QCOMPARE(b.flashLength(), kChipBytes);
        QVERIFY(std::all_of(b.flash(), b.flash() + kChipBytes, [](uint8_t v) { return v == 0x5A; }));
        QVERIFY(!f->BtnStop->isVisible());
        QCOMPARE(f->StatusBar1->panelText(1), QStringLiteral("Ready"));

        JobWatch watch(*f);
        watch.during = [&](const JobWatch::Sample&) {
            if (watch.samples.size() == 20)
                f->BtnStop->click();
        };
        f->ToolWrite->click();
        const QString partly = QStringLiteral("The write was stopped: the chip is only partly programmed.");
        QCOMPARE(errors(), QStringList{partly});
        QVERIFY(rig->logLines().first().contains(partly));
        QCOMPARE(linesContaining(QStringLiteral("Write Complete!")), 0);
        QVERIFY(f->ToolBar1->isEnabled() && !f->BtnStop->isVisible());
    }

    void elapsedTimeIsTheJobsLength()
    {
        rig->sim.setBusyPolls(24);  // 50 ms a poll: more than a second
        JobWatch watch(*f);
        f->ToolErase->click();
        QVERIFY(!watch.samples.empty());
        QVERIFY(watch.all([](const JobWatch::Sample& s) {
            return s.status == "Erase Flash ..." && s.progressShown && s.progressMaximum == 100;
        }));
        const QStringList parts = elapsed().split(QLatin1Char(':'));
        QCOMPARE(parts.size(), 3);
        QCOMPARE(parts[0], QStringLiteral("00"));
        QVERIFY(parts[2].toInt() >= 1 || parts[1].toInt() >= 1);
        QVERIFY(rig->logLines().first().contains(QStringLiteral(":Erase Complete! (")));
        QVERIFY(!f->Progress->isVisible());
        QVERIFY(std::all_of(rig->sim.flash().begin(), rig->sim.flash().begin() + kChipBytes,
                            [](uint8_t b) { return b == 0xFF; }));
    }

    void refusalsLeaveTheControlsAlone()
    {
        f->state().buffers().setFlashLength(16);
        const int before = logCount();
        const auto everyOperation = [&] {
            for (QToolButton* b : {f->ToolRead, f->ToolBank, f->ToolErase, f->ToolWrite, f->ToolVerify, f->ToolAuto})
                b->click();
        };
        JobWatch watch(*f);

        rig->sim.setPlugged(false);
        everyOperation();
        QCOMPARE(errors(), QStringList(6, QStringLiteral("Not connected")));
        rig->boxes->boxes.clear();

        rig->sim.setPlugged(true);
        rig->sim.removeChip();
        everyOperation();
        QCOMPARE(errors(), QStringList(6, QStringLiteral("No chips detected, please put the chip to try again!")));

        QCOMPARE(watch.toolBarChanges, 0);
        QCOMPARE(watch.leftPanelChanges, 0);
        QVERIFY(watch.samples.empty());
        QCOMPARE(logCount(), before);
        QCOMPARE(elapsed(), QStringLiteral("00:00:00"));

        // The status follows the cable, not the refusals.
        rig->sim.setPlugged(false);
        f->deviceChanged();
        QCOMPARE(f->StatusBar1->panelText(1), QStringLiteral("Not connected"));
    }

    void failedReadKeepsTheBufferTheViewAndTheCaption()
    {
        Buffers& b = f->state().buffers();
        for (int i = 0; i < 300; ++i)
            b.flash()[i] = uint8_t(0xA0 ^ i);
        b.setFlashLength(300);
        b.reloadFlashView(kChip);
        f->ShowBufferSizes();
        const std::vector<uint8_t> shown = viewBytes(f->FlashEditor);
        const QString caption = f->FlashSize->text();
        const QString crc = f->FlashCrc->text();

        const int failing = rig->sim.reportCount() + 60;
        rig->sim.addFault({SimulatedProgrammer::Fault::Kind::Get, failing});
        const int before = logCount();
        f->ToolReadClick();

        QCOMPARE(errors(), QStringList{QStringLiteral("Communication with the programmer failed; the operation was stopped.\n"
                                                      "Broken pipe (simulated fault at report %1)").arg(failing)});
        QCOMPARE(linesContaining(QStringLiteral("Read Complete!")), 0);
        QCOMPARE(logCount(), before);
        QVERIFY(f->ToolBar1->isEnabled() && f->Panel2->isEnabled());
        QVERIFY(!f->Progress->isVisible());
        QCOMPARE(b.flashLength(), 300);
        for (int i = 0; i < 300; ++i)
            QCOMPARE(b.flash()[i], uint8_t(0xA0 ^ i));
        QCOMPARE(b.flash()[300], uint8_t(0xFF));
        QVERIFY(viewBytes(f->FlashEditor) == shown);
        QCOMPARE(f->FlashSize->text(), caption);
        QCOMPARE(f->FlashCrc->text(), crc);
        // The job was still finished: the next read works.
        f->ToolReadClick();
        QCOMPARE(b.flashLength(), kChipBytes);
        QCOMPARE(linesContaining(QStringLiteral("Read Complete!")), 1);
    }

    // Operation -> "Read twice and compare": Read then takes the chip only
    // when two reads agree; reads that differ leave buffer and view alone.
    void readTwiceKeepsNothingFromReadsThatDiffer()
    {
        QCOMPARE(f->ReadTwice->text(), QStringLiteral("Read twice and compare(&T)"));
        QVERIFY(f->ReadTwice->isCheckable() && !f->ReadTwice->isChecked());
        f->ReadTwice->trigger();
        f->ToolReadClick();
        QVERIFY(errors().isEmpty());
        QCOMPARE(linesContaining(QStringLiteral("Read Complete!")), 1);
        Buffers& b = f->state().buffers();
        QCOMPARE(b.flashLength(), kChipBytes);

        b.flash()[0x40] = 0x00;
        b.reloadFlashView(kChip);
        const std::vector<uint8_t> shown = viewBytes(f->FlashEditor);
        rig->sim.addUnstableByte(0x4321);
        f->ToolReadClick();
        QCOMPARE(errors().size(), 1);
        QVERIFY2(errors().first().startsWith(QStringLiteral("The 2 reads of the chip differ; nothing was kept:\n4321h: "
                                                            "1 byte, expected ")),
                 qPrintable(errors().first()));
        QCOMPARE(linesContaining(QStringLiteral("Read Complete!")), 1);
        QCOMPARE(b.flash()[0x40], uint8_t(0x00));
        QVERIFY(viewBytes(f->FlashEditor) == shown);
        QVERIFY(f->ToolBar1->isEnabled() && f->Panel2->isEnabled());
    }

    void failedWriteStopsWithOneMessage()
    {
        Buffers& b = f->state().buffers();
        std::memset(b.flash(), 0x11, 4096);
        b.setFlashLength(4096);
        JobWatch watch(*f);
        watch.failNextSetOnce(rig->sim, QStringLiteral("Write Flash ..."));
        f->ToolWriteClick();
        QCOMPARE(errors().size(), 1);
        QVERIFY2(errors().first().startsWith(QStringLiteral("Communication with the programmer failed; the operation "
                                                             "was stopped.\nBroken pipe (simulated fault at report ")),
                 qPrintable(errors().first()));
        QCOMPARE(linesContaining(QStringLiteral("Write Complete!")), 0);
        QVERIFY(f->ToolBar1->isEnabled() && f->Panel2->isEnabled());
        QVERIFY(!f->Progress->isVisible());
        QCOMPARE(f->StatusBar1->panelText(1), QStringLiteral("Ready"));
    }

    void unplugDuringVerifyEndsNotConnected()
    {
        Buffers& b = f->state().buffers();
        for (int i = 0; i < kChipBytes; ++i)
            b.flash()[i] = pattern(i);
        b.setFlashLength(kChipBytes);
        JobWatch watch(*f);
        bool told = false;
        // The cable is pulled between two blocks; the system's notice comes
        // at once.
        watch.during = [&](const JobWatch::Sample&) {
            if (watch.samples.size() == 10) {
                rig->sim.setPlugged(false);
                f->deviceChanged();
                told = f->connectionCheckPending();
            }
        };
        f->ToolVerifyClick();
        QVERIFY(told);
        QCOMPARE(errors(), QStringList{QStringLiteral("Communication with the programmer failed; the operation was stopped.\n"
                                                      "No such device (the simulated programmer is unplugged)")});
        QCOMPARE(linesContaining(QStringLiteral("Verify Complete!")), 0);
        QVERIFY(f->ToolBar1->isEnabled() && f->Panel2->isEnabled());
        QVERIFY(!f->Progress->isVisible());
        // The deferred connection check ran once the job had ended.
        QVERIFY(!f->connectionCheckPending());
        QCOMPARE(f->StatusBar1->panelText(1), QStringLiteral("Not connected"));
    }

    void compareShowsItsReportAndMovesTheViewToTheChosenRange()
    {
        loadTheChipsPattern();
        rig->sim.flash()[0x1230] = 0xFF;
        rig->sim.flash()[0x8000] = 0x00;
        rig->sim.flash()[0x8001] = 0x02;
        // Room beside the hex view on the screen: the window at its right edge.
        f->resize(f->minimumSizeHint());
        f->move(f->screen()->availableGeometry().right() + 1 - f->frameGeometry().width(), 0);
        WindowRig::settle();
        QStringList listed;
        QString summary;
        qint64 cursor = -1;
        std::vector<StripCell> cells;
        qint64 stripCursor = -1;
        int markedRows = 0;
        qint64 markCursor = -1;
        qint64 equalPlaceCursor = -1;
        qint64 equalPlaceStart = -2;
        QRect dialogFrame;
        rig->boxes->whileShown = [&](QDialog& dialog) {
            auto* ranges = dialog.findChild<QListWidget*>(QStringLiteral("Ranges"));
            for (int i = 0; ranges && i < ranges->count(); ++i)
                listed << ranges->item(i)->text();
            summary = dialog.findChild<QLabel*>(QStringLiteral("Summary"))->text();
            ranges->setCurrentRow(1);
            cursor = f->FlashEditor->cursorAddress();
            // The strip: a click on the row of a difference goes to it, one
            // on an equal place to the start of what the row stands for.
            auto* strip = dialog.findChild<CompareStrip*>(QStringLiteral("Strip"));
            QVERIFY(strip && strip->isVisible());
            cells = strip->cells();
            QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 2, strip->rowOf(0x1230)));
            stripCursor = f->FlashEditor->cursorAddress();
            // A lone differing byte shows as more than a one-pixel line, and
            // a click on its mark goes to it.
            const QImage picture = strip->grab().toImage();
            for (int y = strip->rowOf(0x1230) - 2; y <= strip->rowOf(0x1230) + 2; ++y)
                markedRows += qRed(picture.pixel(strip->width() / 2, y)) > qGreen(picture.pixel(strip->width() / 2, y)) + 60;
            f->FlashEditor->goToAddress(0);
            QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 2, strip->rowOf(0x1230) + 1));
            markCursor = f->FlashEditor->cursorAddress();
            const int equalRow = strip->rowOf(0x4000);
            QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 2, equalRow));
            equalPlaceCursor = f->FlashEditor->cursorAddress();
            equalPlaceStart = cells.at(std::size_t(equalRow - 1)).start;
            dialogFrame = dialog.frameGeometry();
        };
        f->CompareChip->trigger();
        QCOMPARE(rig->boxes->dialogs, QStringList{QStringLiteral("CompareDialog")});
        // Marked exactly where the chip differs: two places out of the whole chip.
        QVERIFY(cells.size() > 32);
        QCOMPARE(cells.back().end, qint64(kChipBytes));
        std::vector<qint64> marked;
        for (const StripCell& c : cells)
            if (c.differs() && (marked.empty() || marked.back() != c.first))
                marked.push_back(c.first);
        QCOMPARE(marked, (std::vector<qint64>{0x1230, 0x8000}));
        QCOMPARE(stripCursor, qint64(0x1230));
        QCOMPARE(markedRows, 3);
        QCOMPARE(markCursor, qint64(0x1230));
        QCOMPARE(equalPlaceCursor, equalPlaceStart);
        // Beside the hex view, not over it, and on the screen.
        const QRect view(f->FlashEditor->mapToGlobal(QPoint(0, 0)), f->FlashEditor->size());
        QVERIFY(!dialogFrame.intersects(view));
        QVERIFY(f->screen()->availableGeometry().contains(dialogFrame));
        QCOMPARE(listed, (QStringList{"1230h: 1 byte, expected 53, found FF",
                                      "8000h-8001h: 2 bytes, expected 03 0A, found 00 02"}));
        QCOMPARE(summary, QStringLiteral("Differing bytes: 3, ranges: 2.\n"
                                         "Bits differ both ways (mixed): wrong data or a failing chip."));
        QCOMPARE(cursor, qint64(0x8000));
        QCOMPARE(linesContaining(QStringLiteral("Differing bytes: 3, ranges: 2.")), 1);
        QVERIFY(errors().isEmpty());
        QVERIFY(f->ToolBar1->isEnabled() && f->Panel2->isEnabled());

        // Unprotect from the same menu says what it clears and asks; No sends
        // nothing, Yes clears a locked chip.
        rig->sim.setBlockProtected(true);
        rig->sim.setRecording(true);
        rig->boxes->answers = {false, true};
        f->UnprotectChip->trigger();
        QVERIFY(rig->sim.traffic().empty());
        QVERIFY(rig->sim.blockProtected());
        f->UnprotectChip->trigger();
        const QStringList asked = rig->boxes->texts(BoxPresenter::Icon::Question);
        QCOMPARE(asked.size(), 2);
        QVERIFY(asked[0].startsWith(messageText(Msg::UnprotectClearsStatus, 2)));
        QVERIFY(asked[0].contains(QStringLiteral("Quad Enable bit (QE)")));
        QVERIFY(asked[0].endsWith(QStringLiteral("\n\nClear the protection now?")));
        QVERIFY(!rig->sim.blockProtected());
        QCOMPARE(linesContaining(QStringLiteral("Unprotect Complete!")), 1);
    }

    void checkTheSetUpShowsTheTerminalsLinesAndChecksAgain()
    {
        QCOMPARE(f->CheckSetup->text(), QStringLiteral("Check the set-up"));
        QStringList first;
        QStringList again;
        const auto linesOf = [](QDialog& dialog) {
            QStringList lines;
            auto* checks = dialog.findChild<QListWidget*>(QStringLiteral("Checks"));
            for (int i = 0; checks && i < checks->count(); ++i)
                lines << checks->item(i)->text();
            return lines;
        };
        rig->boxes->whileShown = [&](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Check the set-up"));
            first = linesOf(dialog);
            rig->sim.setPlugged(false);
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Again")), Qt::LeftButton);
            again = linesOf(dialog);
        };
        f->CheckSetup->trigger();
        QCOMPARE(rig->boxes->dialogs, QStringList{QStringLiteral("SetupDialog")});
        QCOMPARE(first.size(), 7);
        QCOMPARE(first.filter(QRegularExpression(QStringLiteral("^ok    "))).size(), 7);
        QCOMPARE(first.at(0), QStringLiteral("ok    Programmer on USB: Simulated programmer: nothing to check here."));
        QVERIFY2(first.at(5).contains(QStringLiteral("class 0 (SPI flash), identifier EF 30 13: TEST T64K")),
                 qPrintable(first.at(5)));
        QCOMPARE(again.at(5), QStringLiteral("FAIL  Probe: Not connected: the programmer does not answer (see the checks above)."));
        QVERIFY(again.at(6).startsWith(QStringLiteral("FAIL  Report exchange: Not checked")));
        QVERIFY(errors().isEmpty());
        QVERIFY(f->ToolBar1->isEnabled() && f->Panel2->isEnabled());

        // Not while a chip job holds the link.
        rig->sim.setPlugged(true);
        rig->boxes->dialogs.clear();
        JobWatch watch(*f);
        watch.during = [&](const JobWatch::Sample&) { f->CheckSetup->trigger(); };
        f->ToolReadClick();
        QVERIFY(rig->boxes->dialogs.isEmpty());
        QCOMPARE(linesContaining(QStringLiteral("Read Complete!")), 1);
    }

    // Another chip in the socket: every chip job asks in a box first, naming
    // both identifiers; No ends it after the probe with the chip untouched.
    void anotherChipInTheSocketIsAskedAboutFirst()
    {
        const ChipEntry other = makeChip({.key = "SPI_FLASH,WINBOND,W25Q64JV", .id = 0xEF4017, .flash = kChipBytes,
                                          .page = 256, .eraseDelay = 100});
        rig->sim.insertChip(other);
        std::fill(rig->sim.flash().begin(), rig->sim.flash().end(), 0x00);
        f->state().buffers().setFlashLength(256);
        rig->sim.setRecording(true);
        const QString question = QStringLiteral("The chip in the socket (class 0, ID = 0xEF4017) is not the chosen "
                                                "chip TEST T64K (class 0, ID = 0xEF3013). Go on with the chip in the "
                                                "socket?");
        const QList<QToolButton*> jobs{f->ToolRead, f->ToolBank, f->ToolErase, f->ToolWrite, f->ToolVerify, f->ToolAuto};
        for (QToolButton* job : jobs) {
            rig->boxes->answers = {false};
            job->click();
        }
        QCOMPARE(rig->boxes->texts(BoxPresenter::Icon::Question), QStringList(jobs.size(), question));
        for (const auto& r : rig->sim.traffic())
            QVERIFY(r.bytes.size() == 64 && (r.bytes[1] == 0x09 || r.bytes[1] == 0x0B || r.bytes[1] == 0x0A || !r.toDevice));
        QVERIFY(std::all_of(rig->sim.flash().begin(), rig->sim.flash().end(), [](uint8_t b) { return b == 0; }));
        QVERIFY(errors().isEmpty());
        QVERIFY(f->ToolBar1->isEnabled() && f->Panel2->isEnabled());
    }
};

QTEST_MAIN(MainWindowOperationFrameTest)
#include "mainwindow_operation_frame_test.moc"
