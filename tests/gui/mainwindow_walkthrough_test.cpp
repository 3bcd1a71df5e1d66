// A new user's first session with the bundled chip list and the simulated
// programmer, all through the window's own controls: detect the chip, open a
// file, write, verify, read back, change a byte in the view, erase, blank
// check, then the auto sequence with serial numbers. Then identification of
// chips the list does not know, and without a programmer.

#include "WindowRig.h"

#include "app/gui/PanelStatusBar.h"
#include "chipdb/ChipKey.h"
#include "hexview/HexView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kFileBytes = 5000;

QByteArray fileBytes()
{
    QByteArray bytes(kFileBytes, '\0');
    for (int i = 0; i < kFileBytes; ++i)
        bytes[i] = char((i * 13 + 5) & 0xFF);
    return bytes;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int entryNamed(ChipTable& table, const char* type, const char* model)
{
    for (int i = 0; i < ChipTable::kCapacity; ++i) {
        const ChipNames names = chipNames(table[i].keyText());
        if (names.type == type && names.model == model)
            return i;
    }
    return -1;
}

} // namespace

class MainWindowWalkthroughTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    TForm1* f = nullptr;

    QStringList errors() const { return rig->boxes->texts(BoxPresenter::Icon::Error); }
    QString newestLine() const { return rig->logLines().value(0); }
    bool chipHoldsBuffer(int from, int count) const
    {
        return std::memcmp(rig->sim.flash().data() + from, f->state().buffers().flash() + from, std::size_t(count))
               == 0;
    }

    // Types into a field as the person does: select what is there, type over it.
    static void typeOver(QWidget* field, const QString& text)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }

private slots:
    void init()
    {
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->useBuiltChipList());
        QVERIFY(rig->writeIni("[DEVICE]\nLANGU=2\n[OPTIONS]\nSN=1\n"));
        f = &rig->start();
    }

    void cleanup() { rig.reset(); }

    void firstSession()
    {
        const int w25q20 = entryNamed(f->state().chips(), "SPI_FLASH", "W25Q20CL");
        QVERIFY(w25q20 >= 0);
        rig->sim.insertChip(f->state().chips()[w25q20]);

        // Detection picks the chip in the socket.
        f->BtnCheck->click();
        QCOMPARE(f->ComboBox3->currentText(), QStringLiteral("W25Q20CL"));
        QCOMPARE(f->edtCapcity->text(), QStringLiteral("256KB"));
        QCOMPARE(rig->boxes->texts(BoxPresenter::Icon::Information),
                 QStringList{QStringLiteral("The chip was detected:W25Q20CL\n\n Chip typeSPI_FLASH")});

        // Open a file.
        const QString file = rig->path(QStringLiteral("image.bin"));
        QVERIFY(writeBytes(file, fileBytes()));
        rig->boxes->openNames << file;
        f->ToolOpen->click();
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:262144 BUFFER:5000"));

        // Write: whole pages go to the chip and the buffer length says so.
        f->ToolWrite->click();
        QVERIFY(newestLine().contains(QStringLiteral(":Write Complete! (")));
        QCOMPARE(f->state().buffers().flashLength(), 5120);
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:262144 BUFFER:5120"));
        QVERIFY(chipHoldsBuffer(0, 5120));
        QCOMPARE(rig->sim.flash()[5120], uint8_t(0xFF));

        f->ToolVerify->click();
        QVERIFY(newestLine().contains(QStringLiteral(":Verify Complete! (")));

        // Read back: the trailing erased bytes are no data.
        f->ToolRead->click();
        QVERIFY(newestLine().contains(QStringLiteral(":Read Complete! (")));
        QCOMPARE(f->state().buffers().flashLength(), kFileBytes);
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:262144 BUFFER:5000"));
        QCOMPARE(f->FlashEditor->byteCount(), qint64(262144));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(f->state().buffers().flash()), kFileBytes), fileBytes());
        const QString saved = rig->path(QStringLiteral("back.bin"));
        rig->boxes->saveNames << saved;
        f->ToolSave->click();
        QCOMPARE(contentOf(saved), fileBytes());
        QVERIFY(errors().isEmpty());

        // One byte changed in the view: the verify names its address.
        QVERIFY(f->FlashEditor->goToAddress(0xA3F));
        f->FlashEditor->setFocus();
        QTest::keyClicks(f->FlashEditor, QStringLiteral("c7"));
        QVERIFY(f->FlashEditor->isModified());
        f->ToolVerify->click();
        QCOMPARE(errors(), QStringList{QStringLiteral("Flash check error address:A3Fh")});
        QVERIFY(newestLine().contains(QStringLiteral("Read Complete!")));
        QCOMPARE(f->state().buffers().flash()[0xA3F], uint8_t(0xC7));
        rig->boxes->boxes.clear();

        // Erase, then the blank check passes.
        f->ToolErase->click();
        QVERIFY(newestLine().contains(QStringLiteral(":Erase Complete! (")));
        f->ToolBank->click();
        QVERIFY(newestLine().contains(QStringLiteral(":Bank Complete! (")));
        QVERIFY(errors().isEmpty());

        // The auto sequence with serial numbers, twice: one number per chip.
        rig->boxes->openNames << file;
        f->ToolOpen->click();
        QVERIFY(f->PageControl1->isTabVisible(f->PageControl1->indexOf(f->TabSheet4)));
        f->PageControl1->setCurrentWidget(f->TabSheet4);
        typeOver(f->Edit1, QStringLiteral("100"));
        typeOver(f->UID, QStringLiteral("300"));
        QCOMPARE(f->state().serial().address, 0x100);
        for (QCheckBox* box : {f->CheckBoxErase, f->CheckBoxWriteFlash, f->CheckBoxVerity})
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QVERIFY(f->CheckBoxErase->isChecked() && f->CheckBoxWriteFlash->isChecked() && f->CheckBoxVerity->isChecked());
        f->btnAutoProg->click();
        QVERIFY(newestLine().contains(QStringLiteral(":AUTO Complete! (")));
        QCOMPARE(f->UID->value(), 301);
        QCOMPARE(rig->sim.flash()[0x100], uint8_t(0x2C));
        QCOMPARE(rig->sim.flash()[0x101], uint8_t(0x01));
        QCOMPARE(rig->sim.flash()[0x102], uint8_t(0x00));
        QVERIFY(chipHoldsBuffer(0, 5120));

        f->ToolAuto->click();
        QCOMPARE(f->UID->value(), 302);
        QCOMPARE(rig->sim.flash()[0x100], uint8_t(0x2D));
        QVERIFY(chipHoldsBuffer(0, 5120));
        QCOMPARE(int(rig->logLines().filter(QStringLiteral("AUTO Complete!")).size()), 2);
        QVERIFY(errors().isEmpty());
        QCOMPARE(f->StatusBar1->panelText(1), QStringLiteral("Ready"));
    }

    void wholeRoundFromTheKeyboard()
    {
        const int w25q20 = entryNamed(f->state().chips(), "SPI_FLASH", "W25Q20CL");
        rig->sim.insertChip(f->state().chips()[w25q20]);
        std::memcpy(rig->sim.flash().data(), fileBytes().constData(), kFileBytes);
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        const auto press = [&](const QKeySequence& keys, const char* logged) {
            QTest::keySequence(f, keys);
            QVERIFY2(newestLine().contains(QLatin1String(logged)), qPrintable(keys.toString() + ": " + newestLine()));
        };

        QTest::keySequence(f, QKeySequence(Qt::CTRL | Qt::Key_D));
        QCOMPARE(f->ComboBox3->currentText(), QStringLiteral("W25Q20CL"));
        press(Qt::Key_F4, ":Read Complete! (");
        QCOMPARE(f->state().buffers().flashLength(), kFileBytes);
        const QString saved = rig->path(QStringLiteral("round.bin"));
        rig->boxes->saveNames << saved;
        QTest::keySequence(f, QKeySequence::Save);
        QCOMPARE(contentOf(saved), fileBytes());

        // Another image in, onto the chip and checked.
        QByteArray other = fileBytes();
        std::reverse(other.begin(), other.end());
        const QString next = rig->path(QStringLiteral("next.bin"));
        QVERIFY(writeBytes(next, other));
        rig->boxes->openNames << next;
        press(QKeySequence::Open, next.toUtf8().constData());
        press(Qt::Key_F6, ":Erase Complete! (");
        press(Qt::Key_F2, ":Bank Complete! (");
        press(Qt::Key_F7, ":Write Complete! (");
        press(Qt::Key_F8, ":Verify Complete! (");
        QVERIFY(chipHoldsBuffer(0, kFileBytes));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(rig->sim.flash().data()), kFileBytes), other);
        QVERIFY(errors().isEmpty());

        // The remaining keys reach their items: fill and auto.
        QTest::keySequence(f, QKeySequence(Qt::CTRL | Qt::Key_L));
        QCOMPARE(rig->boxes->dialogs.last(), QStringLiteral("TForm4"));
        f->CheckBoxSN->setChecked(false);
        f->CheckBoxVerity->setChecked(true);
        press(Qt::Key_F9, ":AUTO Complete! (");
        QVERIFY2(errors().isEmpty(), qPrintable(errors().join("|")));
    }

    void unknownIdMovesTheTypeListToTheAnsweringClass()
    {
        const int at24c02 = entryNamed(f->state().chips(), "24_EEPROM", "AT24C02");
        QVERIFY(at24c02 >= 0);
        rig->sim.insertChip(f->state().chips()[at24c02]);  // answers as class 1, identifier 0
        f->BtnCheck->click();
        QCOMPARE(errors(), QStringList{QStringLiteral("Unknown chip ID =00 00 00Please choose the compatibility type manually.")});
        QCOMPARE(f->ComboBox1->currentIndex(), 1);
        QCOMPARE(f->ComboBox1->currentText(), QStringLiteral("24_EEPROM"));
        QCOMPARE(f->ComboBox3->currentText(), QStringLiteral("AT24C01A"));
        QVERIFY(rig->boxes->texts(BoxPresenter::Icon::Information).isEmpty());

        // An SPI flash no entry has: the first type, the error with its bytes.
        rig->sim.insertChip(makeChip({.key = "SPI_FLASH,NOBODY,X", .id = 0xAB0C07, .flash = 4096, .page = 256}));
        f->BtnCheck->click();
        QCOMPARE(errors().size(), 2);
        QVERIFY(errors().last().contains(QStringLiteral("=AB 0C 07Please")));
        QCOMPARE(f->ComboBox1->currentIndex(), 0);
    }

    void detectionWithoutAProgrammerChangesNothing()
    {
        const int chip = f->state().currentChipIndex();
        const QString model = f->ComboBox3->currentText();
        rig->sim.setPlugged(false);
        f->BtnCheck->click();
        QCOMPARE(errors(), QStringList{QStringLiteral("Not connected")});
        QCOMPARE(f->state().currentChipIndex(), chip);
        QCOMPARE(f->ComboBox3->currentText(), model);
        // An empty socket: every class was asked.
        rig->sim.setPlugged(true);
        rig->sim.setRecording(true);
        f->BtnCheck->click();
        QCOMPARE(errors().last(), QStringLiteral("No chips detected, please put the chip to try again!"));
        QCOMPARE(int(rig->sim.traffic().size()), 5 * 3 * 2);  // Setup, ReadId, Finish; set and get each
        QCOMPARE(f->state().currentChipIndex(), chip);
    }
};

QTEST_MAIN(MainWindowWalkthroughTest)
#include "mainwindow_walkthrough_test.moc"
