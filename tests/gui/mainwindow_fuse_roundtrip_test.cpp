// A microcontroller chosen from the bundled chip list: its fuses and lock
// read from the programmer, changed by tick, by bit and by value, written,
// and read back unchanged.

#include "WindowRig.h"

#include "app/MessageTable.h"
#include "chipdb/ChipKey.h"
#include "device/ProgrammerCommand.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

using Bytes = std::vector<uint8_t>;

// The bundled list's ATmega328P, as the programmer's socket holds it.
const ChipEntry kMega = makeChip({.key = "AVR,ATMEL,ATmega328P", .id = 0x1E950F, .flash = 32768, .page = 128,
                                  .chipClass = 7, .eraseDelay = 10, .eeprom = 1024, .eepromPage = 4,
                                  .interfaceCode = 2, .voltage = 1});

void choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QString cell(const QTableWidget* grid, int column, int row)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text().trimmed() : QString();
}

// Index of the setting (byte, mask, value) in the check list.
int settingIndex(TForm1& f, uint8_t byte, uint8_t mask, uint8_t value)
{
    const auto& settings = f.state().fuses().settings();
    for (std::size_t i = 0; i < settings.size(); ++i)
        if (settings[i].byteIndex == byte && settings[i].mask == mask && settings[i].value == value)
            return int(i);
    return -1;
}

// The 64-byte command reports the host sent.
std::vector<Bytes> commands(const SimulatedProgrammer& sim)
{
    std::vector<Bytes> out;
    for (const auto& r : sim.traffic())
        if (r.toDevice && r.ok && r.bytes.size() == 64 && r.bytes[0] == kCommandReportId)
            out.push_back(r.bytes);
    return out;
}

std::vector<int> codes(const SimulatedProgrammer& sim)
{
    std::vector<int> out;
    for (const Bytes& r : commands(sim))
        out.push_back(r[1]);
    return out;
}

Bytes payload(const Bytes& report, int count) { return Bytes(report.begin() + 20, report.begin() + 20 + count); }

} // namespace

class MainWindowFuseRoundTripTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    TForm1* f = nullptr;

    const uint8_t* bytes() { return f->state().fuses().currentBytes(); }

private slots:
    void init()
    {
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->useBuiltChipList());
        QVERIFY(QDir(rig->dir.path()).mkdir(QStringLiteral("xml")));
        QVERIFY(QFile::copy(QStringLiteral(KTR_SOURCE_DIR "/data/xml/0.xml"), rig->path(QStringLiteral("xml/0.xml"))));
        rig->sim.insertChip(kMega);
        rig->sim.fuses()[0] = 0xFF;
        rig->sim.fuses()[1] = 0xDE;
        rig->sim.fuses()[2] = 0xFD;
        rig->sim.lockByte() = 0x3F;
        f = &rig->start();
        choose(f->ComboBox1, QStringLiteral("AVR"));
        choose(f->ComboBox2, QStringLiteral("ATMEL"));
        choose(f->ComboBox3, QStringLiteral("ATmega328P"));
        QCOMPARE(chipNames(f->state().currentChip().keyText()).model, QByteArray("ATmega328P"));
        QCOMPARE(f->state().currentChip().flashBytes(), kMega.flashBytes());
        rig->showPage(f->TabSheet3);
        rig->sim.setRecording(true);
    }

    void cleanup() { rig.reset(); }

    void readChangeWriteAndReadBack()
    {
        // The chip change loaded the description's defaults.
        QCOMPARE(bytes()[0], uint8_t(0x62));
        QCOMPARE(bytes()[1], uint8_t(0xD9));

        // Every fuse job first compares the chip's signature with the chosen chip's.
        f->FuseRead->click();
        QCOMPARE(codes(rig->sim), (std::vector<int>{kCmdSetup, kCmdReadSignature, kCmdReadConfig, kCmdFinish}));
        QCOMPARE(payload(commands(rig->sim)[2], 1), (Bytes{3}));
        QCOMPARE((Bytes{bytes()[0], bytes()[1], bytes()[2]}), (Bytes{0xFF, 0xDE, 0xFD}));
        QCOMPARE(cell(f->StringGrid1, 2, 1), QStringLiteral("0xde"));
        rig->sim.clearTraffic();
        f->ReadLockBtn->click();
        QCOMPARE(codes(rig->sim), (std::vector<int>{kCmdSetup, kCmdReadSignature, kCmdReadConfig, kCmdFinish}));
        QCOMPARE(payload(commands(rig->sim)[2], 1), (Bytes{1}));
        QCOMPARE(f->state().fuses().lockByte(), uint8_t(0x3F));
        QCOMPARE(cell(f->StringGrid1, 4, 1), QStringLiteral("0x3f"));

        // By tick: watchdog always on clears HIGH bit 4; lock mode 2 sets the lock's low bits to 10.
        const int wdton = settingIndex(*f, 1, 0x10, 0x00);
        const int lockMode2 = settingIndex(*f, 3, 0x03, 0x02);
        QVERIFY(wdton >= 0 && lockMode2 >= 0);
        QCOMPARE(f->CheckListBox1->item(wdton)->checkState(), Qt::Unchecked);
        f->CheckListBox1->item(wdton)->setCheckState(Qt::Checked);
        f->CheckListBox1->item(lockMode2)->setCheckState(Qt::Checked);
        QCOMPARE(bytes()[1], uint8_t(0xCE));
        QCOMPARE(f->state().fuses().lockByte(), uint8_t(0x3E));
        QCOMPARE(cell(f->StringGrid1, 2, 1), QStringLiteral("0xce"));

        // By bit: LOW bit 7 (CKDIV8) toggles; SPIEN (HIGH bit 5) is never toggled from the grid.
        f->StringGrid1Click(9, 1);
        QCOMPARE(bytes()[0], uint8_t(0x7F));
        f->StringGrid1Click(7, 2);
        QCOMPARE(bytes()[1], uint8_t(0xCE));

        // By value: the editor over the EXTENDED value cell.
        f->StringGrid1Click(1, 3);
        QCOMPARE(f->MaskEdit1->text(), QStringLiteral("0xfd"));
        f->MaskEdit1->setText(QStringLiteral("0xfc"));
        f->MaskEdit1Exit();
        QCOMPARE(bytes()[2], uint8_t(0xFC));

        rig->sim.clearTraffic();
        f->FuseWrite->click();
        QCOMPARE(codes(rig->sim), (std::vector<int>{kCmdSetup, kCmdReadSignature, kCmdWriteFuses, kCmdReadConfig, kCmdFinish}));
        QCOMPARE(payload(commands(rig->sim)[2], 5), (Bytes{3, 0x7F, 0xCE, 0xFC, 0x00}));
        rig->sim.clearTraffic();
        f->WriteLockBtn->click();
        QCOMPARE(codes(rig->sim), (std::vector<int>{kCmdSetup, kCmdReadSignature, kCmdWriteLock, kCmdReadConfig, kCmdFinish}));
        QCOMPARE(payload(commands(rig->sim)[2], 3), (Bytes{1, 0x3E, 0x00}));
        QCOMPARE((Bytes{rig->sim.fuses()[0], rig->sim.fuses()[1], rig->sim.fuses()[2], rig->sim.lockByte()}),
                 (Bytes{0x7F, 0xCE, 0xFC, 0x3E}));
        const QStringList log = rig->logLines();
        QVERIFY(log[0].contains(QStringLiteral("LOCK") + messageText(Msg::WriteComplete, 0)));
        QVERIFY(log[1].contains(QStringLiteral("FUSE") + messageText(Msg::WriteComplete, 0)));

        // The window forgets its bytes; reading brings back what was written.
        f->FuseDefault->click();
        QCOMPARE(bytes()[0], uint8_t(0x62));
        f->FuseRead->click();
        f->ReadLockBtn->click();
        QCOMPARE((Bytes{bytes()[0], bytes()[1], bytes()[2], f->state().fuses().lockByte()}),
                 (Bytes{0x7F, 0xCE, 0xFC, 0x3E}));
        QCOMPARE(cell(f->StringGrid1, 1, 1), QStringLiteral("0x7f"));
        QCOMPARE(cell(f->StringGrid1, 3, 1), QStringLiteral("0xfc"));
        QCOMPARE(f->CheckListBox1->item(wdton)->checkState(), Qt::Checked);
        QCOMPARE(f->CheckListBox1->item(lockMode2)->checkState(), Qt::Checked);
        QVERIFY(rig->boxes->boxes.empty());
    }

    void jobsWithoutAChipInTheSocketChangeNothing()
    {
        rig->sim.removeChip();
        f->CheckListBox1->item(settingIndex(*f, 1, 0x10, 0x00))->setCheckState(Qt::Checked);
        f->FuseWrite->click();
        QCOMPARE(rig->sim.fuses()[1], uint8_t(0xDE));
        f->FuseRead->click();
        QCOMPARE(bytes()[1], uint8_t(0xC9));
        // Whatever the set-up said, the job ended with Finish.
        QVERIFY(!codes(rig->sim).empty());
        QCOMPARE(codes(rig->sim).back(), int(kCmdFinish));
    }
};

QTEST_MAIN(MainWindowFuseRoundTripTest)
#include "mainwindow_fuse_roundtrip_test.moc"
