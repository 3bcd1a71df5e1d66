// Opening, saving, filling and merging from the main window, as a person
// meets them: the tool buttons and menu items, the file dialogs, the fill
// dialog worked while it is open, and the merge on the serial-number page.

#include "JobWatch.h"
#include "WindowRig.h"

#include "app/AidTexts.h"
#include "app/FileHistory.h"
#include "app/gui/FindDialog.h"
#include "app/MessageTable.h"
#include "buffers/FileFormats.h"
#include "buffers/Fill.h"
#include "buffers/gui/Unit4.h"
#include "hexview/HexView.h"
#include "support/DataFileKit.h"

#include <QAction>
#include <QClipboard>
#include <QInputDialog>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <QTimer>

#include <algorithm>
#include <array>

namespace {

constexpr uint32_t kChipBytes = 4096;
constexpr qint64 kFlash = 64 * 1024 * 1024;

const ChipEntry kChips[] = {
    makeChip({.key = "SPI_FLASH,TEST,T4K", .id = 0xEF4012, .flash = kChipBytes, .page = 256}),
    makeChip({.key = "AVR,ATMEL,ATmega8", .id = 0x1E9307, .flash = 8192, .page = 64, .chipClass = 7, .eeprom = 512,
              .eepromPage = 4, .interfaceCode = 2}),
};

// The language menu's items, by language index.
constexpr std::array<void (TForm1::*)(), 3> kLanguageItems = {&TForm1::ChinaClick, &TForm1::fantiClick,
                                                             &TForm1::EnlishClick};

const QColor kRed(0xFF, 0, 0);
const QColor kBlue(0, 0, 0xFF);

QColor textColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

QByteArray viewBytes(const HexView* view)
{
    QByteArray out(qsizetype(view->byteCount()), '\0');
    view->copyOut(reinterpret_cast<uint8_t*>(out.data()), view->byteCount());
    return out;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One record of a data file with its checksum, as a foreign tool writes it.
QByteArray hexRecord(uint16_t address, const QByteArray& data, uint8_t type = 0)
{
    QByteArray body;
    body.append(char(data.size())).append(char(address >> 8)).append(char(address)).append(char(type)).append(data);
    uint8_t sum = 0;
    for (const char c : body)
        sum = uint8_t(sum + uint8_t(c));
    body.append(char(uint8_t(0x100 - sum)));
    return ':' + body.toHex().toUpper() + "\r\n";
}

QByteArray sRecord(uint16_t address, const QByteArray& data)
{
    QByteArray body;
    body.append(char(data.size() + 3)).append(char(address >> 8)).append(char(address)).append(data);
    uint8_t sum = 0;
    for (const char c : body)
        sum = uint8_t(sum + uint8_t(c));
    body.append(char(uint8_t(~sum)));
    return "S1" + body.toHex().toUpper() + "\r\n";
}

constexpr char kHexEnd[] = ":00000001FF\r\n";

// The checksum line as a zip tool would compute it.
QString crcCaption(const QByteArray& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= uint8_t(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return QStringLiteral("CRC-32: %1").arg(~crc, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace

class MainWindowFilesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    TForm1* f = nullptr;

    QStringList errors() const { return rig->boxes->texts(BoxPresenter::Icon::Error); }
    Buffers& buffers() { return f->state().buffers(); }
    QByteArray flashAt(qint64 from, qint64 n) { return QByteArray(reinterpret_cast<const char*>(buffers().flash() + from), n); }
    QString file(const char* name, const QByteArray& bytes) const
    {
        const QString p = rig->path(QLatin1String(name));
        return writeBytes(p, bytes) ? p : QString();
    }

    void open(const QString& path)
    {
        rig->boxes->openNames << path;
        f->ToolOpen->click();
    }
    void save(const QString& path)
    {
        rig->boxes->saveNames << path;
        f->ToolSave->click();
    }
    void useEepromChip()
    {
        f->ComboBox1->setCurrentIndex(1);
        emit f->ComboBox1->activated(1);
        QCOMPARE(f->state().currentChip().eepromBytes(), 512);
        f->PageControl1->setCurrentWidget(f->TabSheet2);
    }
    // The fill dialog opened from the tool button, worked by `work` while it is shown.
    void fill(const std::function<void(TForm4&)>& work)
    {
        rig->boxes->whileShown = [&](QDialog& d) { work(static_cast<TForm4&>(d)); };
        f->ToolFill->click();
        rig->boxes->whileShown = nullptr;
    }
    static void setFields(TForm4& d, const char* start, const char* end)
    {
        d.Edit3->setText(QLatin1String(start));
        d.Edit4->setText(QLatin1String(end));
    }
    // A drag of these files over the window, then the drop if the window took the drag.
    bool drop(const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f, &dropped);
        return dropped.isAccepted();
    }
    // The merge on the serial-number page, which the serial-number option shows.
    void pickMergeAddress(const char* hex)
    {
        f->CheckBoxSN->setChecked(true);
        f->RadioButton3->click();
        f->Edit1->setText(QLatin1String(hex));
    }

private slots:
    void init()
    {
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->useChipList({kChips[0], kChips[1]}));
        f = &rig->start();
        QCOMPARE(f->state().currentChip().flashBytes(), kChipBytes);
    }

    void cleanup() { rig.reset(); }

    void openingRecordFilesFillsTheFlashPage()
    {
        buffers().flash()[0x800] = 0x00;  // refilled by the open
        const QByteArray a("\x11\x22\x33\x44", 4);
        const QByteArray b = patternBytes(8);
        const QString hex = file("image.HEX", hexRecord(0x10, a) + hexRecord(0x100, b) + kHexEnd);
        open(hex);
        QCOMPARE(rig->boxes->openFilters, openNameFilters());
        QVERIFY(errors().isEmpty());
        QCOMPARE(buffers().flashLength(), 0x108);
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:4096 BUFFER:264"));
        QCOMPARE(textColour(f->FlashSize), kBlue);
        QCOMPARE(f->CGauge1->maximum(), int(kChipBytes));
        QCOMPARE(f->CGauge1->value(), 0x108);
        QByteArray expected(int(kChipBytes), '\xFF');
        expected.replace(0x10, 4, a).replace(0x100, 8, b);
        QCOMPARE(viewBytes(f->FlashEditor), expected);
        QCOMPARE(f->FlashCrc->text(), crcCaption(expected.left(0x108)));
        QVERIFY(rig->logLines().first().contains(QStringLiteral("打开") + hex));

        // S-records come in by their names, or through ".eep" files that hold
        // them; from the menu item this time.
        const QString srec = file("data.eep", sRecord(0x20, a) + "S9030000FC\r\n");
        rig->boxes->openNames << srec;
        f->O2->trigger();
        QVERIFY(errors().isEmpty());
        QCOMPARE(buffers().flashLength(), 0x24);
        QCOMPARE(viewBytes(f->FlashEditor).mid(0x1C, 12), QByteArray(4, '\xFF') + a + QByteArray(4, '\xFF'));
        QCOMPARE(flashAt(0x100, 8), QByteArray(8, '\xFF'));
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:4096 BUFFER:36"));
        QCOMPARE(f->CGauge1->value(), 0x24);

        // ".eep" holding Intel HEX is read as such, anything else as raw bytes.
        open(file("colon.eep", hexRecord(0, a) + kHexEnd));
        QCOMPARE(buffers().flashLength(), 4);
        QCOMPARE(flashAt(0, 4), a);
        open(file("raw.eep", "xyz"));
        QCOMPARE(buffers().flashLength(), 3);
        QCOMPARE(flashAt(0, 4), QByteArray("xyz\xFF"));

        // A capsule loses its 2048-byte header; a ".cap" without one keeps
        // all its bytes; a raw file larger than the chip shows red.
        const QByteArray body = patternBytes(1000, 7);
        open(file("bios.cap", capsuleHeader(2048, 3048) + body));
        QCOMPARE(buffers().flashLength(), 1000);
        QCOMPARE(viewBytes(f->FlashEditor).left(1001), body + '\xFF');
        open(file("saved.cap", QByteArray(2048, 'H') + body));
        QCOMPARE(buffers().flashLength(), 3048);
        QCOMPARE(flashAt(0, 3048), QByteArray(2048, 'H') + body);
        open(file("big.bin", patternBytes(5000, 3)));
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:4096 BUFFER:5000"));
        QCOMPARE(textColour(f->FlashSize), kRed);
        QCOMPARE(f->CGauge1->value(), int(kChipBytes));
        QCOMPARE(f->FlashEditor->byteCount(), qint64(kChipBytes));
        QVERIFY(errors().isEmpty());
    }

    void eepromPageOpensAndSavesTheEepromBuffer()
    {
        open(file("flash.bin", patternBytes(100)));
        useEepromChip();
        const QByteArray data = patternBytes(600, 5);
        open(file("e.bin", data));
        QCOMPARE(buffers().eepromLength(), 600);
        QCOMPARE(f->EpromSize->text(), QStringLiteral("EEPROM:512 BUFFER:600"));
        QCOMPARE(textColour(f->EpromSize), kRed);
        QCOMPARE(viewBytes(f->EpromEditor), data.left(512));
        QCOMPARE(buffers().flashLength(), 100);
        QCOMPARE(flashAt(0, 100), patternBytes(100));

        // The EEPROM buffer holds 8 KiB, whatever the chip.
        open(file("whole.bin", patternBytes(8192, 6)));
        QVERIFY(errors().isEmpty());
        QCOMPARE(buffers().eepromLength(), 8192);
        open(file("over.bin", patternBytes(8193, 6)));
        QCOMPARE(errors(), QStringList{"File is too big for Buffer"});
        QCOMPARE(buffers().eepromLength(), 8192);

        const QString out = rig->path(QStringLiteral("e.out"));
        save(out);
        QCOMPARE(readAll(out), patternBytes(8192, 6));

        // The serial-number page is not a buffer page: nothing is asked.
        f->CheckBoxSN->setChecked(true);
        f->PageControl1->setCurrentWidget(f->TabSheet4);
        rig->boxes->openFilters.clear();
        rig->boxes->saveFilters.clear();
        f->ToolOpen->click();
        f->ToolSave->click();
        QVERIFY(rig->boxes->openFilters.isEmpty());
        QVERIFY(rig->boxes->saveFilters.isEmpty());
    }

    void pageWithoutEepromTakesNoFiles()
    {
        // With the EPROM tab hidden the serial-number page takes its place,
        // and the chip has no EEPROM.
        f->CheckBoxSN->setChecked(true);
        f->PageControl1->setCurrentWidget(f->TabSheet4);
        rig->boxes->openNames << file("e.bin", "abc");
        f->ToolOpen->click();
        QCOMPARE(rig->boxes->openNames.size(), 1);
        QCOMPARE(buffers().eepromLength(), 0);
        QVERIFY(rig->logLines().filter(QStringLiteral("e.bin")).isEmpty());
    }

    void failedOpensLeaveThePageAsItWas()
    {
        const QByteArray before = patternBytes(300);
        open(file("good.bin", before));
        const QString caption = f->FlashSize->text();
        const QString crc = f->FlashCrc->text();
        const auto unchanged = [&] {
            QCOMPARE(buffers().flashLength(), 300);
            QCOMPARE(flashAt(0, 300), before);
            QCOMPARE(flashAt(300, 16), QByteArray(16, '\xFF'));
            QCOMPARE(viewBytes(f->FlashEditor).left(300), before);
            QCOMPARE(f->FlashSize->text(), caption);
            QCOMPARE(f->FlashCrc->text(), crc);
            QCOMPARE(f->CGauge1->value(), 300);
        };

        // A record with a wrong checksum after a good one: the good one is not kept either.
        const QString bad = file("bad.hex", hexRecord(0, "\xAA\xBB") + ":01000400BB00\r\n" + kHexEnd);
        open(bad);
        QCOMPARE(errors(), QStringList{"line 2: Checksum Error type 0"});
        unchanged();
        if (QTest::currentTestFailed())
            return;
        QVERIFY(rig->logLines().first().contains(bad));

        rig->boxes->boxes.clear();
        open(file("noend.hex", hexRecord(0x40, "\x01\x02")));
        QCOMPARE(errors(), QStringList{"File Read Operation Failed: no end record after line 1 (the file may be cut off)"});
        unchanged();
        if (QTest::currentTestFailed())
            return;

        rig->boxes->boxes.clear();
        open(file("bad.eep", sRecord(0, "\xAA") + "S1040001BB00\r\n"));
        QCOMPARE(errors(), QStringList{"line 2: Checksum Error"});
        unchanged();
        if (QTest::currentTestFailed())
            return;

        rig->boxes->boxes.clear();
        QByteArray tooBig(int(kFlash) + 1, '\x5A');
        open(file("huge.bin", tooBig));
        tooBig.clear();
        QCOMPARE(errors(), QStringList{"File is too big for Buffer"});
        unchanged();
        if (QTest::currentTestFailed())
            return;

        // Every format says the same of a file that is not there.
        for (const char* name : {"gone.bin", "gone.hex", "gone.eep", "gone.cap", "gone.rom"}) {
            rig->boxes->boxes.clear();
            open(rig->path(QLatin1String(name)));
            QCOMPARE(errors(), QStringList{"Can't open File"});
            unchanged();
            if (QTest::currentTestFailed())
                return;
        if (QTest::currentTestFailed())
            return;
        }
    }

    void saveFollowsTheExtensionOrTheFilter()
    {
        const QByteArray data = patternBytes(70, 9) + QByteArray(32, '\xFF') + "\x01\x02";
        open(file("in.bin", data));
        save(rig->path(QStringLiteral("out.hex")));
        QCOMPARE(rig->boxes->saveFilters, saveNameFilters());
        QVERIFY(rig->boxes->saveFilters.contains(QStringLiteral("S-records (*.srec *.s19 *.s28 *.s37 *.src *.mot *.s *.sx)")));
        rig->boxes->saveNames << rig->path(QStringLiteral("OUT.BIN"));
        f->S1->trigger();
        save(rig->path(QStringLiteral("out.s19")));
        save(rig->path(QStringLiteral("out.src")));
        // A name without an extension takes the filter's: raw for "Binary".
        for (const int filter : {0, 1, 2}) {
            rig->boxes->saveFilterChoices << saveNameFilters()[filter];
            save(rig->path(QStringLiteral("readback%1").arg(filter)));
        }
        QVERIFY(errors().isEmpty());
        QCOMPARE(rig->boxes->boxes.size(), size_t(0));

        QCOMPARE(readAll(rig->path(QStringLiteral("OUT.BIN"))), data);
        QCOMPARE(readAll(rig->path(QStringLiteral("readback0.bin"))), data);
        QVERIFY(readAll(rig->path(QStringLiteral("readback1.hex"))).startsWith(':'));
        QVERIFY(readAll(rig->path(QStringLiteral("readback2.srec"))).startsWith("S0"));
        QVERIFY(readAll(rig->path(QStringLiteral("out.s19"))).startsWith("S0"));
        const QByteArray hex = readAll(rig->path(QStringLiteral("out.hex")));
        QVERIFY(hex.startsWith(':'));
        QVERIFY(hex.endsWith(kHexEnd));
        QVERIFY(!hex.contains("FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"));
        const QByteArray srec = readAll(rig->path(QStringLiteral("out.src")));
        QVERIFY(srec.startsWith("S0"));
        QVERIFY(srec.contains("\r\nS1"));
        // The recent files name what was written.
        QCOMPARE(f->fileHistory().recent().first(), rig->path(QStringLiteral("readback2.srec")));

        // What was written reads back the same, the erased record included.
        for (const char* name : {"out.hex", "OUT.BIN", "out.s19", "readback0.bin", "readback1.hex", "readback2.srec"}) {
            buffers().fillFlash(0x00);
            open(rig->path(QLatin1String(name)));
            QCOMPARE(buffers().flashLength(), int(data.size()));
            QCOMPARE(flashAt(0, data.size()), data);
        }
    }

    void anExistingTargetIsReplacedOnlyOnYes()
    {
        open(file("in.bin", "new bytes"));
        const QString target = file("keep.bin", "old");
        const QString hexTarget = file("keep.hex", "old hex");
        rig->boxes->answers = {false, false};
        save(target);
        save(hexTarget);
        QCOMPARE(rig->boxes->texts(BoxPresenter::Icon::Question),
                 QStringList(2, QStringLiteral("文件已存在,是否覆盖?")));
        QCOMPARE(rig->boxes->boxes.front().caption, QStringLiteral("Info"));
        QCOMPARE(readAll(target), QByteArray("old"));
        QCOMPARE(readAll(hexTarget), QByteArray("old hex"));

        rig->boxes->answers = {true, true};
        save(target);
        save(hexTarget);
        QCOMPARE(readAll(target), QByteArray("new bytes"));
        QCOMPARE(readAll(hexTarget), hexRecord(0, "new bytes") + kHexEnd);
        QVERIFY(errors().isEmpty());
    }

    void aSaveThatCannotWriteKeepsTheOldFile()
    {
        open(file("in.bin", "new bytes"));
        // A read-only file in a folder nobody may write into; the superuser
        // may write anywhere but into the process file system.
        const QString folder = rig->path(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(folder));
        QString target = folder + QStringLiteral("/old.bin");
        QVERIFY(writeBytes(target, "old"));
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        if (QFile probe(folder + QStringLiteral("/probe")); probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            target = QStringLiteral("/proc/version");
        }
        const QByteArray old = readAll(target);
        QVERIFY(!old.isEmpty());

        rig->boxes->answers = {true};
        save(target);
        // With the system's reason below the message.
        QCOMPARE(errors().size(), 1);
        QVERIFY(errors().first().startsWith(QStringLiteral("创建文件失败\n")));
        QCOMPARE(readAll(target), old);

        rig->boxes->boxes.clear();
        const QString hexTarget = QFileInfo(target).absolutePath() + QStringLiteral("/new.hex");
        save(hexTarget);
        QCOMPARE(errors().size(), 1);
        QVERIFY(errors().first().startsWith(QStringLiteral("写入文件出错。\n")));
        QVERIFY(!QFile::exists(hexTarget));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void fillWithTheDefaultsCoversTheChip()
    {
        open(file("in.bin", patternBytes(300)));
        fill([&](TForm4& d) {
            QVERIFY(d.isVisible());
            QCOMPARE(d.windowTitle(), QStringLiteral("填充"));
            QCOMPARE(d.Edit4->text(), QStringLiteral("FFF"));
            QCOMPARE(d.Edit1->text(), QStringLiteral("FF"));
            QCOMPARE(d.Edit3->text(), QStringLiteral("00000"));
            QVERIFY(d.RadioButton1->isChecked());
            d.BitBtn1->click();
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(rig->boxes->dialogs, QStringList{"TForm4"});
        QCOMPARE(buffers().flashLength(), int(kChipBytes));
        QCOMPARE(flashAt(0, kChipBytes), QByteArray(int(kChipBytes), '\xFF'));
        QCOMPARE(viewBytes(f->FlashEditor), QByteArray(int(kChipBytes), '\xFF'));
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:4096 BUFFER:4096"));
        QCOMPARE(f->CGauge1->value(), 300);  // the gauge stays
        QCOMPARE(f->FlashCrc->text(), crcCaption(QByteArray(int(kChipBytes), '\xFF')));

        // Past the chip the caption stays blue after a fill; Edit4 is set anew each time.
        fill([&](TForm4& d) {
            d.Edit4->setText(QStringLiteral("1FFF"));
            d.BitBtn1->click();
        });
        QCOMPARE(buffers().flashLength(), 0x2000);
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:4096 BUFFER:8192"));
        QCOMPARE(textColour(f->FlashSize), kBlue);
        fill([&](TForm4& d) { QCOMPARE(d.Edit4->text(), QStringLiteral("FFF")); });
        QCOMPARE(buffers().flashLength(), 0x2000);  // cancelled
    }

    void byteWordAndRandomFillsOverARange()
    {
        const QByteArray data = patternBytes(300);
        open(file("in.bin", data));

        fill([&](TForm4& d) {
            d.Edit1->setText(QStringLiteral("00"));
            setFields(d, "10", "1F");
            d.BitBtn1->click();
        });
        QCOMPARE(buffers().flashLength(), 0x20);  // smaller than before
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:4096 BUFFER:32"));
        QCOMPARE(flashAt(0x10, 16), QByteArray(16, '\0'));
        QCOMPARE(flashAt(0, 16), data.left(16));
        QCOMPARE(flashAt(0x20, data.size() - 0x20), data.mid(0x20));
        // The view shows the chip, the filled range at its own addresses.
        QCOMPARE(viewBytes(f->FlashEditor).left(32), data.left(16) + QByteArray(16, '\0'));
        QCOMPARE(f->FlashEditor->byteCount(), qint64(kChipBytes));

        // A word, low byte first, from an odd start: the words begin one byte lower.
        fill([&](TForm4& d) {
            d.RadioButton2->click();
            d.Edit2->setText(QStringLiteral("1234"));
            setFields(d, "41", "44");
            d.BitBtn1->click();
        });
        QCOMPARE(flashAt(0x40, 6), QByteArray("\x34\x12\x34\x12", 4) + data.mid(0x44, 2));
        QCOMPARE(buffers().flashLength(), 0x45);

        const qint64 before = QDateTime::currentSecsSinceEpoch();
        fill([&](TForm4& d) {
            QVERIFY(d.RadioButton2->isChecked());  // the choice stays from last time
            QCOMPARE(d.Edit2->text(), QStringLiteral("1234"));
            d.RadioButton3->click();
            setFields(d, "100", "1FF");
            d.BitBtn1->click();
        });
        const qint64 after = QDateTime::currentSecsSinceEpoch();
        const QByteArray random = flashAt(0x100, 0x100);
        bool seeded = false;
        for (qint64 t = before; t <= after && !seeded; ++t) {
            FillRandom generator{uint32_t(t)};
            QByteArray expected;
            for (int i = 0; i < 0x100; ++i)
                expected += char(generator.next());
            seeded = expected == random;
        }
        QVERIFY2(seeded, "the random bytes come from the clock-seeded generator");
        QCOMPARE(flashAt(0xF0, 16), data.mid(0xF0, 16));
        QCOMPARE(flashAt(0x200, 16), QByteArray(16, '\xFF'));
        QCOMPARE(buffers().flashLength(), 0x200);
        QCOMPARE(viewBytes(f->FlashEditor).mid(0x100, 0x100), random);
    }

    void fillFieldsTakeOnlyHexDigits()
    {
        fill([&](TForm4& d) {
            d.Edit3->clear();
            QTest::keyClicks(d.Edit3, QStringLiteral("1g-2 aZx"));
            QCOMPARE(d.Edit3->text(), QStringLiteral("12A"));
            QTest::keyClick(d.Edit3, Qt::Key_Backspace);
            QCOMPARE(d.Edit3->text(), QStringLiteral("12"));
            d.Edit1->clear();
            QTest::keyClicks(d.Edit1, QStringLiteral("abc"));
            QCOMPARE(d.Edit1->text(), QStringLiteral("AB"));
            d.Edit2->clear();
            QTest::keyClicks(d.Edit2, QStringLiteral("fe.d0c"));
            QCOMPARE(d.Edit2->text(), QStringLiteral("FED0"));
            d.Edit4->clear();
            QTest::keyClicks(d.Edit4, QStringLiteral("1f!"));
            QCOMPARE(d.Edit4->text(), QStringLiteral("1F"));
            d.BitBtn1->click();
        });
        QCOMPARE(flashAt(0x12, 14), QByteArray(14, '\xAB'));
        QCOMPARE(buffers().flashLength(), 0x20);
    }

    void fillFieldsLetTabEnterAndEscapeThrough()
    {
        const auto keys = [&](TForm4& d) {
            d.Edit3->setFocus();
            QTest::keyClick(d.Edit3, Qt::Key_Tab);
            QCOMPARE(d.focusWidget(), d.Edit4);
            QTest::keyClick(d.Edit4, Qt::Key_Backtab);
            QCOMPARE(d.focusWidget(), d.Edit3);
            setFields(d, "0", "F");
            d.Edit1->setText(QStringLiteral("5A"));
        };
        // Escape closes without filling, Enter fills with the default button.
        fill([&](TForm4& d) {
            keys(d);
            QTest::keyClick(d.Edit3, Qt::Key_Escape);
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(flashAt(0, 16), QByteArray(16, '\xFF'));
        fill([&](TForm4& d) {
            keys(d);
            QTest::keyClick(d.Edit3, Qt::Key_Return);
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(flashAt(0, 16), QByteArray(16, '\x5A'));
        // A pasted number keeps only its digits; any other text is refused whole.
        f->CheckBoxSN->setChecked(true);
        const auto paste = [&](const QString& text) {
            QApplication::clipboard()->setText(text);
            f->Edit1->selectAll();
            f->Edit1->paste();
        };
        paste(QStringLiteral("0x1a0"));
        QCOMPARE(f->Edit1->text(), QStringLiteral("1A0"));
        QCOMPARE(f->state().serial().address, 0x1A0);
        paste(QStringLiteral("0x1234abcd"));
        QCOMPARE(f->Edit1->text(), QStringLiteral("1234ABCD"));
        QCOMPARE(f->state().serial().address, 0x1234ABCD);
        paste(QStringLiteral("1a0"));
        for (const char* bad : {"0x10g", "-5", "1 2", "0x123456789", "123456789"}) {
            paste(QLatin1String(bad));
            QCOMPARE(f->Edit1->text(), QStringLiteral("1A0"));
            QCOMPARE(f->state().serial().address, 0x1A0);
        }
        // The serial page's address field passes Tab on as well.
        f->CheckBoxSN->setChecked(true);
        f->PageControl1->setCurrentWidget(f->TabSheet4);
        f->Edit1->setFocus();
        QCOMPARE(f->focusWidget(), f->Edit1);
        QTest::keyClick(f->Edit1, Qt::Key_Tab);
        QVERIFY(f->focusWidget() != f->Edit1);
    }

    void droppedFilesOpenAsFileOpenDoes()
    {
        const QByteArray data = patternBytes(300);
        const QString path = file("dropped.bin", data);
        QVERIFY(drop({QUrl::fromLocalFile(path)}));
        QCOMPARE(flashAt(0, 300), data);
        QCOMPARE(buffers().flashLength(), 300);
        QVERIFY(rig->logLines().first().contains(path));
        QCOMPARE(f->FlashCrc->text(), crcCaption(data));
        QCOMPARE(f->fileHistory().recent(), QStringList{path});

        // The same message as File > Open for a file that is gone; nothing
        // for two files or a file that is not local.
        QVERIFY(drop({QUrl::fromLocalFile(rig->path(QStringLiteral("gone.bin")))}));
        QCOMPARE(errors(), QStringList{"Can't open File"});
        QVERIFY(!drop({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)}));
        QVERIFY(!drop({QUrl(QStringLiteral("https://example.org/a.bin"))}));
        QCOMPARE(errors(), QStringList{"Can't open File"});
        // Batch mode programs every chip with the same buffer: no drop then.
        f->showBatchMode(true, messageText(Msg::StopBatchWrite, 0));
        QVERIFY(!drop({QUrl::fromLocalFile(file("batch.bin", QByteArray(10, '\x22')))}));
        f->showBatchMode(false, messageText(Msg::BatchWrite, 0));
        QCOMPARE(flashAt(0, 300), data);

        // While a read holds the buffers, a drop is refused and the read's bytes stay.
        rig->sim.insertChip(kChips[0]);
        std::fill_n(rig->sim.flash().begin(), kChipBytes, uint8_t(0x3C));
        const QString other = file("other.bin", QByteArray(100, '\x11'));
        JobWatch watch(*f);
        bool taken = true;
        watch.during = [&](const JobWatch::Sample&) {
            if (taken)
                taken = drop({QUrl::fromLocalFile(other)});
        };
        f->ToolRead->click();
        QVERIFY(!taken);
        QCOMPARE(flashAt(0, 100), QByteArray(100, '\x3C'));
    }

    void recentFilesAndTheFolderComeBackAfterARestart()
    {
        QVERIFY(QDir(rig->dir.path()).mkpath(QStringLiteral("in")) && QDir(rig->dir.path()).mkpath(QStringLiteral("out")));
        const QByteArray data = patternBytes(64);
        const QString in = file("in/a.bin", data);
        open(in);
        save(rig->path(QStringLiteral("out/b.hex")));
        open(file("in/c.bin", patternBytes(32)));
        // The first dialog of a new user starts at home, not in the list of drives.
        QCOMPARE(rig->boxes->dialogFolders, (QStringList{QDir::homePath(), rig->path("in"), rig->path("out")}));
        const QStringList recent = {rig->path("in/c.bin"), rig->path("out/b.hex"), in};
        QCOMPARE(f->fileHistory().recent(), recent);
        QVERIFY(f->recentFiles[0]->isVisible() && f->recentFiles[2]->isVisible() && !f->recentFiles[3]->isVisible());
        QCOMPARE(f->recentFiles[1]->text(), QStringLiteral("&2 ") + QDir::toNativeSeparators(recent[1]));
        QVERIFY(f->close());
        // The program's own sections come first and unchanged in order; the files follow.
        QVERIFY(rig->ini().contains(QStringLiteral("FUSE=0\n[Files]\nFolder=") + rig->path("in") + "\nRecent1="));

        f = &rig->start();
        QCOMPARE(f->fileHistory().recent(), recent);
        QVERIFY(f->recentFiles[2]->isVisible());
        f->recentFiles[2]->trigger();
        QCOMPARE(flashAt(0, 64), data);
        QVERIFY(rig->logLines().first().contains(in));
        QCOMPARE(f->fileHistory().recent().first(), in);
        rig->boxes->openNames << QString();
        f->O2->trigger();
        QCOMPARE(rig->boxes->dialogFolders.last(), rig->path("in"));
    }

    void bufferMenuFindsGoesToAndCopies()
    {
        QByteArray data = patternBytes(0x400);
        data.replace(0x123, 4, "KTR!");
        data.replace(0x321, 4, "KTR!");
        open(file("find.bin", data));
        const auto find = [&](const QString& text, bool asText, int direction) {
            rig->boxes->whileShown = [&](QDialog& d) {
                auto& dialog = static_cast<FindDialog&>(d);
                dialog.Edit1->setText(text);
                (asText ? dialog.Text : dialog.HexBytes)->setChecked(true);
                (direction == FindDialog::Forward ? dialog.ForwardBtn : dialog.BackwardBtn)->click();
            };
            f->FindBytes->trigger();
            rig->boxes->whileShown = nullptr;
        };
        const auto selected = [&] { return std::pair{f->FlashEditor->selectionStart(), f->FlashEditor->selectionEnd()}; };

        find(QStringLiteral("KTR!"), true, FindDialog::Forward);
        QCOMPARE(selected(), (std::pair<qint64, qint64>{0x123, 0x126}));
        f->FindNext->trigger();
        QCOMPARE(selected(), (std::pair<qint64, qint64>{0x321, 0x324}));
        f->FindPrevious->trigger();
        QCOMPARE(selected(), (std::pair<qint64, qint64>{0x123, 0x126}));
        f->CopyHex->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("4B 54 52 21"));
        // Past the first match the search goes on from the end, and says so.
        f->FindPrevious->trigger();
        QCOMPARE(selected(), (std::pair<qint64, qint64>{0x321, 0x324}));
        QCOMPARE(rig->boxes->texts(BoxPresenter::Icon::Information),
                 QStringList{aidMessage(AidMessage::SearchWrappedBackward, 0)});
        find(QStringLiteral("KTR?"), true, FindDialog::Forward);
        QCOMPARE(rig->boxes->texts(BoxPresenter::Icon::Information).last(),
                 aidMessage(AidMessage::NotFound, 0).arg(QStringLiteral("KTR?")));
        QVERIFY(f->FlashEditor->goToAddress(0x124));  // a new search starts at the cursor
        find(QStringLiteral("4b5452 21"), false, FindDialog::Forward);
        QCOMPARE(selected(), (std::pair<qint64, qint64>{0x321, 0x324}));
        find(QStringLiteral("4b5"), false, FindDialog::Backward);
        QCOMPARE(errors(), QStringList{aidMessage(AidMessage::NotHexBytes, 0)});

        // Go to asks in the window's language, by the menu and by the view's own key;
        // past the chip it names the addresses there are.
        f->EnlishClick();
        QString caption;
        const auto goTo = [&](const QString& text, const std::function<void()>& ask) {
            rig->boxes->whileShown = [&](QDialog& d) {
                auto& dialog = static_cast<QInputDialog&>(d);
                caption = dialog.windowTitle();
                dialog.setTextValue(text);
                dialog.accept();
            };
            ask();
            rig->boxes->whileShown = nullptr;
        };
        goTo(QStringLiteral("3fe"), [&] { f->GoTo->trigger(); });
        QCOMPARE(caption, QStringLiteral("Go to address"));
        QCOMPARE(f->FlashEditor->cursorAddress(), qint64(0x3FE));
        rig->boxes->boxes.clear();
        goTo(QStringLiteral("1000"), [&] { QTest::keyClick(f->FlashEditor, Qt::Key_G, Qt::ControlModifier); });
        QCOMPARE(rig->boxes->dialogs.filter(QStringLiteral("GoToDialog")).size(), 2);
        QCOMPARE(f->FlashEditor->cursorAddress(), qint64(0x3FE));
        QCOMPARE(errors(), QStringList{aidMessage(AidMessage::GoToOutside, 2).arg(QStringLiteral("1000"), QStringLiteral("FFF"))});
        // The other pages have no bytes to search.
        f->CheckBoxSN->setChecked(true);
        f->PageControl1->setCurrentWidget(f->TabSheet4);
        QVERIFY(!f->activeHexView());
        const int shown = int(rig->boxes->dialogs.size());
        f->FindBytes->trigger();
        QCOMPARE(int(rig->boxes->dialogs.size()), shown);
    }

    // Typed bytes, a paste, a fill and a merge, each taken back and done
    // again from the Buffer menu; a file open starts the history anew.
    void undoTakesBackEachChangeOfTheFlashBuffer()
    {
        const QByteArray data = patternBytes(300);
        const QString in = file("in.bin", data);
        open(in);
        QVERIFY(!f->UndoEdit->isEnabled() && !f->RedoEdit->isEnabled());
        const QString merged = file("m.bin", QByteArray(8, '\x99'));
        QApplication::clipboard()->setText(QStringLiteral("C0 C1"));
        struct Step {
            const char* what;
            std::function<void()> run;
            qint64 at;
            QByteArray bytes;  // the view from `at` once done
            int32_t length;    // the data length once done, -1 where the view's edits wait
        };
        const std::vector<Step> steps{
            {"typed", [&] { QTest::keyClicks(f->FlashEditor, QStringLiteral("ab")); }, 0, "\xAB", -1},
            {"pasted", [&] { f->FlashEditor->goToAddress(4); f->PasteHex->trigger(); }, 4, "\xC0\xC1", -1},
            {"filled", [&] { fill([&](TForm4& d) { d.Edit1->setText(QStringLiteral("00")); setFields(d, "10", "1F"); d.BitBtn1->click(); }); },
             0x10, QByteArray(16, '\0'), 0x20},
            {"merged", [&] { pickMergeAddress("20"); rig->boxes->openNames << merged; f->BitBtn1->click(); },
             0x20, QByteArray(8, '\x99'), 0x28},
        };
        std::vector<QByteArray> views{viewBytes(f->FlashEditor)};
        std::vector<int32_t> lengths{buffers().flashLength()};
        for (const Step& step : steps) {
            step.run();
            QVERIFY2(viewBytes(f->FlashEditor).mid(step.at, step.bytes.size()) == step.bytes, step.what);
            if (step.length >= 0)
                QCOMPARE(buffers().flashLength(), step.length);
            views.push_back(viewBytes(f->FlashEditor));
            lengths.push_back(buffers().flashLength());
            QVERIFY(f->UndoEdit->isEnabled());
        }
        // Back to the file, step by step: the view, and the buffer behind fills and merges.
        for (std::size_t i = steps.size(); i-- > 0;) {
            f->UndoEdit->trigger();
            QVERIFY2(viewBytes(f->FlashEditor).left(0x30) == views[i].left(0x30), steps[i].what);
            // Fills and merges go back in the buffer too; typed bytes were never taken in.
            const Step& step = steps[i];
            if (step.length >= 0)
                QVERIFY2(buffers().flashLength() == lengths[i]
                             && flashAt(step.at, step.bytes.size()) == views[i].mid(step.at, step.bytes.size()),
                         step.what);
        }
        QVERIFY(!f->UndoEdit->isEnabled() && !f->FlashEditor->isModified());
        QCOMPARE(buffers().flashLength(), 300);
        QCOMPARE(flashAt(0, 300), data);
        for (std::size_t i = 0; i < steps.size(); ++i)
            f->RedoEdit->trigger();
        QCOMPARE(viewBytes(f->FlashEditor), views.back());
        QCOMPARE(buffers().flashLength(), 0x28);
        QCOMPARE(f->FlashSize->text(), QStringLiteral("FLASH:4096 BUFFER:40"));

        // A byte typed and taken back never reaches a saved file; one kept does.
        open(in);
        QVERIFY(!f->UndoEdit->isEnabled());
        QTest::keyClicks(f->FlashEditor, QStringLiteral("5a"));
        QTest::keyClick(f->FlashEditor, Qt::Key_Z, Qt::ControlModifier);
        save(rig->path(QStringLiteral("undone.bin")));
        QCOMPARE(readAll(rig->path(QStringLiteral("undone.bin"))), data);
        QTest::keyClick(f->FlashEditor, Qt::Key_Y, Qt::ControlModifier);
        save(rig->path(QStringLiteral("kept.bin")));
        QCOMPARE(readAll(rig->path(QStringLiteral("kept.bin"))).left(300), QByteArray("\x5A") + data.mid(1));
    }

    // While batch mode programs chip after chip, nothing changes the buffer.
    void batchModeKeepsTheBufferAsItIs()
    {
        const QByteArray data = patternBytes(300);
        const QString in = file("in.bin", data);
        open(in);
        f->CheckBoxWriteFlash->setChecked(true);
        f->BatchMode->trigger();
        QVERIFY(f->batchModeOn() && f->BatchMode->isChecked());
        const QString other = file("other.bin", QByteArray(100, '\x11'));
        pickMergeAddress("0");
        rig->boxes->boxes.clear();
        rig->boxes->openNames = QStringList{other, other};
        const std::vector<std::pair<const char*, std::function<void()>>> attempts{
            {"Open", [&] { f->O2->trigger(); }},
            {"Recent file", [&] { f->recentFiles[0]->trigger(); }},
            {"Fill", [&] { f->ToolFill->click(); }},
            {"Merge", [&] { f->BitBtn1->click(); }},
        };
        for (const auto& [what, run] : attempts) {
            run();
            QVERIFY2(errors().last() == aidMessage(AidMessage::BatchHoldsBuffers, 0), what);
        }
        QTest::keyClicks(f->FlashEditor, QStringLiteral("00"));
        QTest::keyClick(f->FlashEditor, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(int(errors().size()), int(attempts.size()));
        QCOMPARE(rig->boxes->openNames.size(), 2);
        QCOMPARE(rig->boxes->dialogs, QStringList());
        QCOMPARE(viewBytes(f->FlashEditor).left(300), data);
        QCOMPARE(flashAt(0, 300), data);
        f->BatchMode->trigger();
        QVERIFY(!f->batchModeOn() && !f->BatchMode->isChecked() && !f->FlashEditor->isReadOnly());
    }

    void refusedFillsKeepTheDialogOpenAndChangeNothing()
    {
        const QByteArray data = patternBytes(300);
        open(file("in.bin", data));
        const QString caption = f->FlashSize->text();
        const auto refused = [&](TForm4& d, Msg message, int language) {
            rig->boxes->boxes.clear();
            d.BitBtn1->click();
            QVERIFY(d.isVisible());
            QCOMPARE(errors(), QStringList{messageText(message, language)});
            QCOMPARE(buffers().flashLength(), 300);
            QCOMPARE(flashAt(0, 300), data);
            QCOMPARE(f->FlashSize->text(), caption);
        };
        for (int language = 0; language < 3; ++language) {
            (f->*kLanguageItems[size_t(language)])();
            fill([&](TForm4& d) {
                d.Edit1->setText(QStringLiteral("00"));
                setFields(d, "20", "1F");
                refused(d, Msg::FillRangeInvalid, language);
                setFields(d, "0", "4000000");
                refused(d, Msg::FillRangeInvalid, language);
                setFields(d, "FFFFFFFF", "FFFFFFFF");
                refused(d, Msg::FillRangeInvalid, language);
                setFields(d, "0", "");
                refused(d, Msg::FillFieldEmpty, language);
                setFields(d, "0", "1F");
                d.Edit2->clear();  // a field of the kind not chosen counts too
                refused(d, Msg::FillFieldEmpty, language);
                d.Edit2->setText(QStringLiteral("FFFF"));
                d.BitBtn2->click();
                QVERIFY(!d.isVisible());
            });
        }
        QCOMPARE(flashAt(0, 300), data);

        // The buffer's last byte is inside.
        fill([&](TForm4& d) {
            setFields(d, "3FFFFFF", "3FFFFFF");
            d.BitBtn1->click();
            QVERIFY(!d.isVisible());
        });
        QCOMPARE(buffers().flash()[kFlash - 1], 0x00);
        QCOMPARE(buffers().flashLength(), int(kFlash));
    }

    void mergeCopiesFilesAtTheSerialAddress()
    {
        QVERIFY(!f->BitBtn1->isEnabled());
        rig->boxes->openNames << file("a.bin", patternBytes(100));
        f->BitBtn1Click();  // the serial-number mode is chosen: no merge
        QCOMPARE(rig->boxes->openNames.size(), 1);
        rig->boxes->openNames.clear();

        const QString a = file("a.bin", patternBytes(100));
        const QString b = file("b.bin", patternBytes(50, 2));
        pickMergeAddress("0");
        QVERIFY(f->BitBtn1->isEnabled());
        rig->boxes->openNames << a;
        f->BitBtn1->click();
        QCOMPARE(rig->boxes->openFilters, openNameFilters());
        QCOMPARE(f->Edit2->text(), a);
        QCOMPARE(buffers().flashLength(), 100);
        f->Edit1->setText(QStringLiteral("800"));
        rig->boxes->openNames << b;
        f->BitBtn1->click();
        QCOMPARE(f->Edit2->text(), b);
        QCOMPARE(buffers().flashLength(), 0x832);
        QCOMPARE(flashAt(0, 100), patternBytes(100));
        QCOMPARE(flashAt(100, 0x800 - 100), QByteArray(0x800 - 100, '\xFF'));
        QCOMPARE(flashAt(0x800, 50), patternBytes(50, 2));
        QCOMPARE(viewBytes(f->FlashEditor).mid(0x800, 51), patternBytes(50, 2) + '\xFF');
        QCOMPARE(f->FlashEditor->byteCount(), qint64(kChipBytes));
        QVERIFY(errors().isEmpty());

        // HEX addresses count from the merge address; a file inside the data keeps the length.
        f->Edit1->setText(QStringLiteral("10"));
        rig->boxes->openNames << file("c.hex", hexRecord(4, "\xC0\xC1") + kHexEnd);
        f->BitBtn1->click();
        QCOMPARE(flashAt(0x10, 8), patternBytes(100).mid(0x10, 4) + "\xC0\xC1" + patternBytes(100).mid(0x16, 2));
        QCOMPARE(buffers().flashLength(), 0x832);
        QVERIFY(rig->logLines().filter(QStringLiteral("c.hex")).isEmpty());
    }

    void mergesThatWouldNotFitChangeNothing()
    {
        open(file("in.bin", patternBytes(300)));
        const QString caption = f->FlashSize->text();
        std::fill_n(buffers().flash() + kFlash - 0x100, 0x100, 0x5A);
        const auto unchanged = [&] {
            QCOMPARE(buffers().flashLength(), 300);
            QCOMPARE(flashAt(kFlash - 0x100, 0x100), QByteArray(0x100, '\x5A'));
            QCOMPARE(flashAt(0, 300), patternBytes(300));
            QCOMPARE(f->FlashSize->text(), caption);
        };
        pickMergeAddress("3FFFF00");
        const QString big = file("big.bin", patternBytes(0x101));
        for (int language = 0; language < 3; ++language) {
            (f->*kLanguageItems[size_t(language)])();
            rig->boxes->boxes.clear();
            rig->boxes->openNames << big;
            f->BitBtn1->click();
            QCOMPARE(f->Edit2->text(), big);
            QCOMPARE(errors(), QStringList{messageText(Msg::MergeTooLarge, language)});
            unchanged();
            if (QTest::currentTestFailed())
                return;
        }

        // Exactly the room left fits.
        rig->boxes->boxes.clear();
        rig->boxes->openNames << file("fits.bin", patternBytes(0x100, 4));
        f->BitBtn1->click();
        QVERIFY(errors().isEmpty());
        QCOMPARE(flashAt(kFlash - 0x100, 0x100), patternBytes(0x100, 4));
        QCOMPARE(buffers().flashLength(), int(kFlash));

        std::fill_n(buffers().flash() + kFlash - 0x100, 0x100, 0x5A);
        buffers().setFlashLength(300);
        f->fantiClick();
        rig->boxes->boxes.clear();
        f->Edit1->setText(QStringLiteral("4000000"));
        rig->boxes->openNames << big;
        f->BitBtn1->click();
        QCOMPARE(errors(), QStringList{messageText(Msg::SerialAddressOutOfRange, 1)});
        unchanged();
        if (QTest::currentTestFailed())
            return;
    }
};

QTEST_MAIN(MainWindowFilesTest)
#include "mainwindow_files_test.moc"
