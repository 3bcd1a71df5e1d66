// Start-up, settings, shutdown, log, status bar and connection watch of the
// main window.

#include "WindowRig.h"

#include "app/AboutText.h"
#include "app/MessageTable.h"
#include "app/gui/ClickPanel.h"
#include "app/gui/PanelStatusBar.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <cstring>

namespace {

QStringList keyOrder(const QString& ini)
{
    QStringList out;
    for (const QString& line : ini.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        out << line.section(QLatin1Char('='), 0, 0);
    return out;
}

bool tabShown(const TForm1& f, QWidget* page)
{
    return f.PageControl1->isTabVisible(f.PageControl1->indexOf(page));
}

// Pixels of a colour family inside a rectangle of a grabbed widget.
int pixelsLike(const QImage& image, const QRect& panel, bool (*like)(QRgb))
{
    const QRect rect = panel & image.rect();
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (like(image.pixel(x, y)))
                ++n;
    return n;
}

bool reddish(QRgb c) { return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90; }
bool greenish(QRgb c) { return qGreen(c) > 90 && qRed(c) < 60 && qBlue(c) < 60; }

const ChipEntry kFlash4k = makeChip({.key = "SPI_FLASH,TEST,T4K", .id = 0xEF3012, .flash = 4096, .page = 256});

} // namespace

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class MainWindowStartTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartWithoutSettingsFile()
    {
        WindowRig rig;
        QVERIFY(rig.useBuiltChipList());
        TForm1& f = rig.start(false);
        // Written at start, before anything else reaches the file.
        QCOMPARE(rig.ini(), QStringLiteral("[DEVICE]\nSN=1\n"));
        QCOMPARE(f.size(), QSize(700, 500));
        QVERIFY(!f.isMaximized());
        for (QCheckBox* box : {f.CheckBoxID, f.CheckBoxErase, f.CheckBoxWriteFlash, f.CheckBoxWriteEprom, f.CheckBoxVerity,
                               f.CheckBoxVerifyEprom, f.CheckBoxSN, f.CheckBoxFUSE})
            QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
        QVERIFY(!f.N3->isVisible());
        QCOMPARE(f.cmbProgSpeed->currentText(), QStringLiteral("12MHz"));
        QCOMPARE(f.languageIndex(), 0);
        QCOMPARE(f.UID->value(), 1);
        QCOMPARE(f.Edit1->text(), QStringLiteral("0"));
        QCOMPARE(f.state().serial().address, 0);
        QVERIFY(!tabShown(f, f.TabSheet4));
        QVERIFY(!tabShown(f, f.HELP));
        QVERIFY(!f.Timer1->isActive());
        QCOMPARE(f.Timer1->interval(), 500);
        QVERIFY(f.form2() && f.form3() && f.form4());

        f.show();
        WindowRig::settle();
        QVERIFY(f.China->isChecked() && !f.fanti->isChecked() && !f.Enlish->isChecked());
        QCOMPARE(f.windowTitle(), QStringLiteral("Quibex电子—KTR4180(Ver 1.2)"));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(f.pos(), QPoint((screen.width() - f.width()) / 2, (screen.height() - f.height()) / 2));
        QVERIFY(rig.boxes->boxes.empty());
    }

    void settingsFileAfterCloseHoldsEverythingInOrder()
    {
        WindowRig rig;
        QVERIFY(rig.useBuiltChipList());
        TForm1& f = rig.start();
        f.CheckBoxErase->setChecked(true);
        f.UID->setValue(42);
        f.Edit1->setText(QStringLiteral("1F0"));
        QVERIFY(f.close());
        const QStringList expected = {
            "[DEVICE]", "SN", "START", "UID", "SPEED", "LANGU",
            "[Environment]", "FormHeight", "FormWidth", "FormTop", "FormLeft", "FormMax",
            "[CHIP]", "INDEX1", "INDEX2", "INDEX3",
            "[OPTIONS]", "ID", "ERASE", "WFLASH", "WEPROM", "VFLASH", "VEPROM", "SN", "FUSE"};
        const QString ini = rig.ini();
        QCOMPARE(keyOrder(ini), expected);
        QVERIFY(ini.contains(QStringLiteral("START=496\n")));
        QVERIFY(ini.contains(QStringLiteral("UID=42\n")));
        QVERIFY(ini.contains(QStringLiteral("ERASE=1\n")));
        QVERIFY(ini.contains(QStringLiteral("FormWidth=700\nFormTop=")));
        QVERIFY(ini.contains(QStringLiteral("FormMax=0\n")));
    }

    void storedValuesComeBack()
    {
        WindowRig rig;
        QVERIFY(rig.useBuiltChipList());
        QVERIFY(rig.writeIni("[Environment]\nFormMax=0\nFormHeight=480\nFormWidth=720\n"
                             "[DEVICE]\nLANGU=0x2\nSTART=4096\nUID=-7\nCONFIG=0\nchip=5\n"
                             "[OPTIONS]\nSN=1\nVEPROM=1\nFUSE=1\n"));
        TForm1& f = rig.start();
        QCOMPARE(f.size(), QSize(720, 480));
        QCOMPARE(f.languageIndex(), 2);
        QVERIFY(f.Enlish->isChecked());
        QCOMPARE(f.windowTitle(), QStringLiteral("Quibex—KTR4180(Ver 1.2)"));
        QCOMPARE(f.Edit1->text(), QStringLiteral("1000"));
        QCOMPARE(f.state().serial().address, 4096);
        QCOMPARE(f.UID->value(), -7);
        QCOMPARE(f.state().serial().value, -7);
        QVERIFY(f.N3->isVisible());
        QVERIFY(f.CheckBoxSN->isChecked() && tabShown(f, f.TabSheet4));
        QVERIFY(f.CheckBoxVerifyEprom->isChecked());
        QVERIFY(f.CheckBoxFUSE->isChecked());
        QVERIFY(!f.CheckBoxErase->isChecked());
        QVERIFY(f.close());
        QVERIFY(rig.ini().contains(QStringLiteral("START=4096\n")));
        QVERIFY(rig.ini().contains(QStringLiteral("LANGU=2\n")));
        QVERIFY(rig.ini().contains(QStringLiteral("CONFIG=0\nchip=5\n")));  // read, never written
    }

    void badValuesFallBack()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        // No chip matches the positions, so the stored speed stays in force.
        QVERIFY(rig.writeIni("[DEVICE]\nLANGU=abc\nSPEED=9\nSTART=255\n[CHIP]\nINDEX1=50\n"));
        TForm1& f = rig.start();
        QCOMPARE(f.languageIndex(), 0);
        QCOMPARE(f.cmbProgSpeed->currentIndex(), 0);
        QCOMPARE(f.state().programmer().speedIndex(), 0);
        QCOMPARE(f.Edit1->text(), QStringLiteral("FF"));
        QCOMPARE(f.state().serial().address, 255);

        WindowRig other;
        QVERIFY(other.useChipList({kFlash4k}));
        QVERIFY(other.writeIni("[DEVICE]\nLANGU=7\nSPEED=5\n[CHIP]\nINDEX1=50\n"));
        TForm1& g = other.start();
        QCOMPARE(g.languageIndex(), 0);
        QVERIFY(g.China->isChecked());
        QCOMPARE(g.cmbProgSpeed->currentText(), QStringLiteral("375Khz"));
        QCOMPARE(g.state().programmer().speedIndex(), 5);
    }

    void storedPlacementLargerThanTheScreenOpensWhole()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const struct {
            QRect stored;     // left, top, width, height as the file holds them
            bool sizeKept;    // the size fits the screen: only the place may change
        } cases[] = {
            {{5, 5, 1900, 1000}, false},
            {{3000, -900, 700, 500}, true},
            {{10, 10, 720, 480}, true},
        };
        for (const auto& c : cases) {
            WindowRig rig;
            QVERIFY(rig.useBuiltChipList());
            QVERIFY(rig.writeIni(QStringLiteral("[Environment]\nFormMax=0\nFormHeight=%1\nFormWidth=%2\nFormTop=%3\nFormLeft=%4\n")
                                     .arg(c.stored.height()).arg(c.stored.width()).arg(c.stored.y()).arg(c.stored.x())
                                     .toUtf8()));
            TForm1& f = rig.start();
            QVERIFY(area.contains(f.frameGeometry()));
            if (c.sizeKept)
                QCOMPARE(f.size(), c.stored.size());
            else
                QVERIFY(f.width() <= area.width() && f.height() <= area.height());
            // The fitted placement is what the file keeps.
            const QRect shown(f.pos(), f.size());
            QVERIFY(f.close());
            const QString ini = rig.ini();
            for (const auto& [key, value] : {std::pair{"FormWidth", shown.width()}, {"FormHeight", shown.height()},
                                            {"FormLeft", shown.x()}, {"FormTop", shown.y()}})
                QVERIFY2(ini.contains(QStringLiteral("%1=%2\n").arg(QLatin1String(key)).arg(value)), qPrintable(ini));
        }
    }

    void maximisedStartIgnoresTheGeometry()
    {
        WindowRig rig;
        QVERIFY(rig.useBuiltChipList());
        QVERIFY(rig.writeIni("[Environment]\nFormMax=1\nFormHeight=200\nFormWidth=300\n"));
        TForm1& f = rig.start();
        QVERIFY(f.windowState() & Qt::WindowMaximized);
        QVERIFY(f.close());
        QVERIFY(rig.ini().contains(QStringLiteral("FormMax=1\n")));
    }

    void failedSettingsWriteIsReportedAndTheWindowStillCloses()
    {
        WindowRig rig;
        QVERIFY(rig.useBuiltChipList());
        QVERIFY(QDir(rig.dir.path()).mkdir(QStringLiteral("ktr4180.ini")));
        TForm1& f = rig.start();
        const QString message = QStringLiteral("Unable to write to ") + rig.iniPath();
        QCOMPARE(rig.boxes->texts(BoxPresenter::Icon::Error), QStringList{message});
        QCOMPARE(rig.boxes->boxes.front().caption, QStringLiteral("Error"));
        QVERIFY(f.close());
        QVERIFY(!f.isVisible());
        QCOMPARE(rig.boxes->texts(BoxPresenter::Icon::Error), (QStringList{message, message}));
    }

    void closeIsRefusedSilentlyWhileBatchModeRuns()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        TForm1& f = rig.start();
        f.state().buffers().setFlashLength(16);
        f.CheckBoxWriteFlash->setChecked(true);
        f.Panel8Click();
        QVERIFY(f.batchModeOn());
        QVERIFY(f.Timer1->isActive());
        QCOMPARE(f.Panel8->text(), messageText(Msg::StopBatchWrite, 0));
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QVERIFY(rig.boxes->boxes.empty());
        QVERIFY(!rig.ini().contains(QStringLiteral("INDEX1")));
        f.Panel8Click();
        QVERIFY(!f.batchModeOn());
        QCOMPARE(f.Panel8->text(), messageText(Msg::BatchWrite, 0));
        QVERIFY(f.close());
        QVERIFY(rig.ini().contains(QStringLiteral("INDEX1")));
    }

    void logLinesAreNumberedNewestFirst()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        TForm1& f = rig.start();
        const QString detected = messageText(Msg::ProgrammerDetected, 0);
        QStringList lines = rig.logLines();
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].startsWith(QStringLiteral("001:") + detected + QStringLiteral(" (")));
        QVERIFY(lines[0].endsWith(QLatin1Char(')')));
        for (int i = 0; i < 1000; ++i)
            f.log(QStringLiteral("line"));
        lines = rig.logLines();
        QCOMPARE(lines.size(), 1001);
        QVERIFY(lines[0].startsWith(QStringLiteral("1001:line (")));
        QVERIFY(lines[1].startsWith(QStringLiteral("1000:line")));
        QVERIFY(lines[2].startsWith(QStringLiteral("999:line")));
        QVERIFY(lines.last().startsWith(QStringLiteral("001:")));
    }

    void statusPanelShowsTheConnectionInItsColour()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        TForm1& f = rig.start();
        f.resize(1100, 600);  // all six panels in sight
        PanelStatusBar* bar = f.StatusBar1;
        QCOMPARE(bar->panelText(1), messageText(Msg::Ready, 0));
        QCOMPARE(f.statusPanelColour(1), QColor(0, 0x80, 0));
        QCOMPARE(f.statusPanelColour(5), QColor(0xFF, 0, 0));
        QImage image = bar->grab().toImage();
        QVERIFY(pixelsLike(image, bar->panelRect(1), greenish) > 0);
        QCOMPARE(pixelsLike(image, bar->panelRect(1), reddish), 0);
        QVERIFY(pixelsLike(image, bar->panelRect(5), reddish) > 0);

        // Unplugged: one check on the event, "Not connected" in red, no log line.
        rig.sim.setPlugged(false);
        const int before = int(rig.logLines().size());
        f.deviceChanged();
        QCOMPARE(bar->panelText(1), messageText(Msg::NotConnected, 0));
        QCOMPARE(f.statusPanelColour(1), QColor(0xFF, 0, 0));
        QCOMPARE(int(rig.logLines().size()), before);
        image = bar->grab().toImage();
        QVERIFY(pixelsLike(image, bar->panelRect(1), reddish) > 0);
        QCOMPARE(pixelsLike(image, bar->panelRect(1), greenish), 0);

        // A language switch keeps the panel's text, and its colour with it:
        // the Chinese "Not connected" stays red under English captions.
        f.EnlishClick();
        QCOMPARE(bar->panelText(1), messageText(Msg::NotConnected, 0));
        QCOMPARE(f.statusPanelColour(1), QColor(0xFF, 0, 0));
        f.fantiClick();
        QCOMPARE(f.statusPanelColour(1), QColor(0xFF, 0, 0));
        f.EnlishClick();
        f.deviceChanged();
        QCOMPARE(bar->panelText(1), QStringLiteral("Not connected"));
        QCOMPARE(f.statusPanelColour(1), QColor(0xFF, 0, 0));

        // Plugged in again: one new line on top with the next number.
        rig.sim.setPlugged(true);
        f.deviceChanged();
        QCOMPARE(bar->panelText(1), QStringLiteral("Ready"));
        QVERIFY(rig.logLines().first().startsWith(QString::asprintf("%03d:", before + 1) + messageText(Msg::ProgrammerDetected, 2)));
    }

    void activationChecksTheConnection()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        TForm1& f = rig.start();
        const int before = int(rig.logLines().size());
        QCOMPARE(before, 1);
        QEvent activate(QEvent::WindowActivate);
        QTest::qWait(2100);  // past the start-up activation
        QCoreApplication::sendEvent(&f, &activate);
        QCOMPARE(int(rig.logLines().size()), before + 1);
        rig.sim.setPlugged(false);
        QCoreApplication::sendEvent(&f, &activate);
        QCOMPARE(int(rig.logLines().size()), before + 1);
        QCOMPARE(f.StatusBar1->panelText(1), messageText(Msg::NotConnected, 0));
    }

    void hotPlugDuringAChipJobWaitsForItsEnd()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        rig.sim.insertChip(kFlash4k);
        for (int i = 0; i < 4096; ++i)
            rig.sim.flash()[std::size_t(i)] = uint8_t(i * 7);
        TForm1& f = rig.start();
        const QString detected = messageText(Msg::ProgrammerDetected, 0);
        bool sawJob = false;
        bool pendingDuringJob = false;
        int linesDuringJob = -1;
        // Arrives while the read pumps events between two blocks.
        QTimer::singleShot(0, &f, [&] {
            sawJob = f.state().programmer().jobRunning();
            f.deviceChanged();
            f.deviceChanged();
            pendingDuringJob = f.connectionCheckPending();
            linesDuringJob = int(rig.logLines().size());
        });
        f.ToolReadClick();
        QVERIFY(sawJob);
        QVERIFY(pendingDuringJob);
        QCOMPARE(linesDuringJob, 1);
        QVERIFY(!f.connectionCheckPending());
        const QStringList lines = rig.logLines();
        // The read finished whole, then the deferred check ran once.
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].contains(detected));
        QVERIFY(lines[1].contains(messageText(Msg::ReadComplete, 0)));
        QCOMPARE(f.state().buffers().flashLength(), 4096);
        QCOMPARE(std::memcmp(f.state().buffers().flash(), rig.sim.flash().data(), 4096), 0);
        QVERIFY(rig.boxes->texts(BoxPresenter::Icon::Error).isEmpty());
    }

    void minimiseAndMaximiseMoveTheFocusToDetection()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        TForm1& f = rig.start();
        f.ComboBox1->setFocus();
        QCOMPARE(f.focusWidget(), f.ComboBox1);
        f.showMaximized();
        QCOMPARE(f.focusWidget(), f.BtnCheck);
        f.ComboBox1->setFocus();
        f.showMinimized();
        QCOMPARE(f.focusWidget(), f.BtnCheck);
        f.showNormal();
        f.ComboBox1->setFocus();
        f.resize(800, 560);  // no state change: the focus stays
        QCOMPARE(f.focusWidget(), f.ComboBox1);
    }

    void statusBarClickOpensTheMakersPageFromAnyPanel()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        TForm1& f = rig.start();
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        QTest::mouseClick(f.StatusBar1, Qt::LeftButton, {}, f.StatusBar1->panelRect(0).center());
        QTest::mouseClick(f.StatusBar1, Qt::LeftButton, {}, QPoint(f.StatusBar1->panelLeft(3) + 5, 5));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QCOMPARE(catcher.urls.size(), 2);
        QCOMPARE(catcher.urls[0].host(), makerLines().webAddress);
        QCOMPARE(f.StatusBar1->panelText(5), makerLines().webAddress);
    }

    void aboutBoxFollowsTheLanguage()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        TForm1& f = rig.start();
        f.N5->trigger();
        f.fantiClick();
        f.N5Click();
        QCOMPARE(int(rig.boxes->boxes.size()), 2);
        for (const auto& box : rig.boxes->boxes) {
            QCOMPARE(box.caption, QStringLiteral("About"));
            QVERIFY(box.icon == BoxPresenter::Icon::Information);
        }
        QCOMPARE(rig.boxes->boxes[0].text, aboutText(0, buildTime(), buildDate(), makerLines()));
        QVERIFY(rig.boxes->boxes[1].text.startsWith(QStringLiteral("KTR4180(Ver 1.2)\n\nCompiled at : ")));
    }

    void serialAddressFieldTakesHexadecimalOnly()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        TForm1& f = rig.start();
        f.Edit1->clear();
        QCOMPARE(f.state().serial().address, 0);  // an empty field keeps the address
        QTest::keyClicks(f.Edit1, QStringLiteral("1g-z f"));
        QCOMPARE(f.Edit1->text(), QStringLiteral("1F"));
        QCOMPARE(f.state().serial().address, 0x1F);
        QTest::keyClick(f.Edit1, Qt::Key_Backspace);
        QCOMPARE(f.state().serial().address, 1);
        f.Edit1->clear();
        QCOMPARE(f.state().serial().address, 1);
        f.UID->setValue(300);
        QCOMPARE(f.state().serial().value, 300);
        // The merge button works only in the file-fill mode.
        QVERIFY(!f.BitBtn1->isEnabled());
        f.RadioButton3->setChecked(true);
        QVERIFY(f.BitBtn1->isEnabled());
        QVERIFY(f.state().serial().mode == SerialNumber::Mode::FillFile);
        f.RadioButton2->setChecked(true);
        QVERIFY(!f.BitBtn1->isEnabled());
        QVERIFY(f.state().serial().mode == SerialNumber::Mode::Decrement);
    }

    void autoSequenceStepsTheSerialNumberShownInTheWindow()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        rig.sim.insertChip(kFlash4k);
        TForm1& f = rig.start();
        f.CheckBoxSN->setChecked(true);
        f.CheckBoxWriteFlash->setChecked(true);
        f.Edit1->setText(QStringLiteral("100"));
        f.UID->setValue(300);
        f.state().buffers().setFlashLength(16);
        f.ToolAutoClick();
        QCOMPARE(f.UID->value(), 301);
        // 260 after the serial number, then raised to whole pages by the write.
        QCOMPARE(f.state().buffers().flashLength(), 512);
        QCOMPARE(f.FlashSize->text(), QStringLiteral("FLASH:4096 BUFFER:512"));
        QCOMPARE(rig.sim.flash()[0x100], uint8_t(0x2C));
        QCOMPARE(rig.sim.flash()[0x101], uint8_t(0x01));
        // Only boxes both ticked and enabled run; a disabled ticked box does not.
        const AutoOptions o = f.autoOptions();
        QVERIFY(o.serialNumber && o.writeFlash && !o.erase && !o.writeEeprom);
        f.CheckBoxWriteEprom->setChecked(true);
        QVERIFY(!f.autoOptions().writeEeprom);  // this chip has no EEPROM
    }

    // Every menu's accelerators differ in each language, the two device-like
    // menus have names of their own, and the keyboard walk of a menu stops on
    // a greyed item instead of skipping to the next command.
    void menusNameTheirItemsApart()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        QVERIFY(rig.writeIni("[DEVICE]\nCONFIG=1\n"));
        TForm1& f = rig.start();
        const auto mnemonic = [](const QString& text) {
            const int at = text.indexOf(QLatin1Char('&'));
            return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toUpper() : QChar();
        };
        for (void (TForm1::*language)() : {&TForm1::ChinaClick, &TForm1::fantiClick, &TForm1::EnlishClick}) {
            (f.*language)();
            QVERIFY(f.N3->isVisible());
            const auto name = [](QString text) { return text.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&"))); };
            QVERIFY2(name(f.N3->text()) != name(f.Dev1->title()), qPrintable(f.Dev1->title()));
            QList<QMenu*> menus{f.O1, f.Buff, f.O3, f.Dev1, f.L1, f.H1};
            QStringList bar;
            for (QMenu* menu : menus) {
                bar << QString(mnemonic(menu->title()));
                QStringList letters;
                for (QAction* a : menu->actions())
                    if (!a->isSeparator() && a->isVisible() && !mnemonic(a->text()).isNull())
                        letters << QString(mnemonic(a->text()));
                QCOMPARE(QSet<QString>(letters.begin(), letters.end()).size(), letters.size());
                QCOMPARE(menu->style()->styleHint(QStyle::SH_Menu_AllowActiveAndDisabled, nullptr, menu), 1);
            }
            bar << QString(mnemonic(f.N3->text()));
            QCOMPARE(QSet<QString>(bar.begin(), bar.end()).size(), bar.size());
            QCOMPARE(mnemonic(f.CompareChip->text()), QLatin1Char('C'));
            QCOMPARE(mnemonic(f.UnprotectChip->text()), QLatin1Char('U'));
        }
        QCOMPARE(f.CompareChip->shortcut(), QKeySequence(Qt::Key_F5));
        QCOMPARE(f.Dev1->title(), QStringLiteral("Production(&P)"));
        // Long log lines wrap rather than hide behind a scroll bar.
        QCOMPARE(f.RichEdit1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    }

    void menuQuitClosesLikeTheCloseBox()
    {
        WindowRig rig;
        QVERIFY(rig.useChipList({kFlash4k}));
        TForm1& f = rig.start();
        f.Q1->trigger();
        QVERIFY(!f.isVisible());
        QVERIFY(rig.ini().contains(QStringLiteral("[OPTIONS]")));
    }

    // The real question box: only a deliberate Yes goes ahead, a stray Enter
    // or Escape does not.
    void questionBoxSaysYesOnlyWhenAskedTo()
    {
        const struct {
            Qt::Key key;  // pressed in the box; Qt::Key_unknown clicks Yes
            bool yes;
        } cases[] = {
            {Qt::Key_Return, false},
            {Qt::Key_Escape, false},
            {Qt::Key_unknown, true},
        };
        for (const auto& c : cases) {
            QWidget parent;
            MessageBoxPresenter presenter(&parent);
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                if (c.key == Qt::Key_unknown)
                    box->button(QMessageBox::Yes)->click();
                else
                    QTest::keyClick(box, c.key);
            });
            QCOMPARE(presenter.ask(QStringLiteral("Info"), QStringLiteral("Go ahead?")), c.yes);
        }
    }
};

QTEST_MAIN(MainWindowStartTest)
#include "mainwindow_start_test.moc"
