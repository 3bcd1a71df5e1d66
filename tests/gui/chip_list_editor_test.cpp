// The chip-list editor window over the main window: reloading the list, the
// drop-downs and what they write, add and delete, save with its refusals,
// export and import, and the main window's lists after the next selection.

#include "WindowRig.h"

#include "app/MessageTable.h"
#include "chipdb/gui/Unit2.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

const ChipEntry kFlash = makeChip({.key = "SPI_FLASH,WINBOND,W25Q80", .id = 0xEF4014, .flash = 1048576, .page = 256,
                                   .eraseDelay = 250});
const ChipEntry kI2c = makeChip({.key = "24_EEPROM,ATMEL,AT24C02", .flash = 256, .page = 8, .chipClass = 1,
                                 .subtype = 1, .eraseDelay = 10});
const ChipEntry kWire = makeChip({.key = "93_EEPROM,ATMEL,AT93C56", .flash = 256, .page = 2, .chipClass = 2,
                                  .subtype = 0x77, .eraseDelay = 10, .voltage = 1});
const ChipEntry kAvr = makeChip({.key = "AVR,ATMEL,ATmega8", .id = 0x1E9307, .flash = 8192, .page = 64,
                                 .chipClass = 7, .eeprom = 512, .eepromPage = 4, .interfaceCode = 2});

QString shown(const QTableWidget* grid, int column, int gridRow)
{
    const QTableWidgetItem* item = grid->item(gridRow - 1, column);
    return item ? item->text() : QStringLiteral("<none>");
}

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ChipEntry entryAt(const QByteArray& file, int index)
{
    ChipEntry e{};
    std::memcpy(&e, file.constData() + index * int(sizeof e), sizeof e);
    return e;
}

} // namespace

class ChipListEditorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    TForm1* f = nullptr;
    TForm2* e = nullptr;

    QString listPath() const { return rig->path(QStringLiteral("ktr4180.Dat")); }

    // As the user types into a cell.
    void type(int column, int gridRow, const QString& text) { e->StringGrid1->item(gridRow - 1, column)->setText(text); }
    void select(int column, int gridRow) { e->StringGrid1->setCurrentCell(gridRow - 1, column); }
    void pick(const QString& item)
    {
        const int index = e->box->findText(item);
        QVERIFY2(index >= 0, qPrintable(item));
        e->box->setCurrentIndex(index);
        emit e->box->activated(index);
    }
    QStringList errors() const { return rig->boxes->texts(BoxPresenter::Icon::Error); }

private slots:
    void init()
    {
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->useChipList({kFlash, kI2c, kWire, kAvr}));
        QVERIFY(rig->writeIni("[DEVICE]\nCONFIG=1\n"));
        f = &rig->start();
        e = f->form2();
        e->FormShow();
    }

    void cleanup() { rig.reset(); }

    void showingReloadsTheListIntoTheGrid()
    {
        QCOMPARE(e->StringGrid1->rowCount(), 4);
        QCOMPARE(e->Label1->text(), QStringLiteral("5"));
        QCOMPARE(e->StringGrid1->horizontalHeaderItem(0)->text(), QStringLiteral("芯片类型"));
        QCOMPARE(e->StringGrid1->horizontalHeaderItem(14)->text(), QStringLiteral("关联XML"));
        QCOMPARE(e->StringGrid1->columnWidth(7), 110);
        // No cell or heading is cut: each column as wide as its texts need.
        QStyleOptionViewItem option;
        option.initFrom(e->StringGrid1->viewport());
        option.widget = e->StringGrid1;
        for (int c = 0; c < 15; ++c) {
            QVERIFY(e->StringGrid1->columnWidth(c) >= e->StringGrid1->horizontalHeader()->sectionSizeHint(c));
            for (int r = 0; r < e->StringGrid1->rowCount(); ++r) {
                const QSize needed = e->StringGrid1->itemDelegate()->sizeHint(option, e->StringGrid1->model()->index(r, c));
                QVERIFY2(e->StringGrid1->columnWidth(c) >= needed.width() && e->StringGrid1->rowHeight(r) >= needed.height(),
                         qPrintable(QStringLiteral("%1,%2").arg(c).arg(r)));
            }
        }
        QStringList row1;
        for (int c = 0; c < 15; ++c)
            row1 << shown(e->StringGrid1, c, 1);
        QCOMPARE(row1, (QStringList{"SPI_FLASH", "WINBOND", "W25Q80", "0xEF4014", "1048576", "256", "0", "0x0", "250",
                                    "0", "0", "0", "250", "1", "0"}));
        QCOMPARE(shown(e->StringGrid1, 7, 3), QStringLiteral("0x77"));
        // The fixed column is not typed into.
        QVERIFY(!(e->StringGrid1->item(0, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(e->StringGrid1->item(0, 1)->flags() & Qt::ItemIsEditable);

        // Unsaved edits are dropped by the next opening, which reads the file again.
        type(2, 1, QStringLiteral("CHANGED"));
        f->state().chips()[0].setKeyText("X,Y,Z");
        e->FormShow();
        QCOMPARE(shown(e->StringGrid1, 2, 1), QStringLiteral("W25Q80"));
        QCOMPARE(f->state().chips()[0].keyText(), kFlash.keyText());

        // A damaged file: the fixed message; table and grid stay as they were.
        QVERIFY(writeBytes(listPath(), QByteArray(69, 'A')));
        e->FormShow();
        QCOMPARE(rig->boxes->boxes.size(), std::size_t(1));
        QCOMPARE(rig->boxes->boxes[0].text, QStringLiteral("配置文件被破坏！"));
        QCOMPARE(rig->boxes->boxes[0].icon, BoxPresenter::Icon::None);
        QCOMPARE(f->state().chips().count(), 4);
        QCOMPARE(e->StringGrid1->rowCount(), 4);
    }

    void dropDownsOfferTheColumnsValues()
    {
        select(5, 1);
        QVERIFY(!e->box->isHidden());
        QCOMPARE(items(e->box).size(), 11);
        QCOMPARE(e->box->currentText(), QStringLiteral("256"));
        QCOMPARE(e->box->geometry().left(), e->StringGrid1->visualItemRect(e->StringGrid1->item(0, 5)).left());
        QCOMPARE(e->box->width(), e->StringGrid1->columnWidth(5));
        select(6, 2);
        QCOMPARE(items(e->box), (QStringList{"SPI_FLASH", "24_EEPROM", "93_EEPROM", "95_EEPROM", "25_EEPROM"}));
        QCOMPARE(e->box->currentIndex(), 1);
        select(7, 2);
        QCOMPARE(items(e->box), (QStringList{"小于4KB", "大于等于4KB", "大于64KB"}));
        QCOMPARE(e->box->currentIndex(), 1);
        select(7, 1);
        QCOMPARE(items(e->box), (QStringList{"非SST flash", "SST flash", "大于16M"}));
        QCOMPARE(e->box->currentIndex(), 0);
        select(7, 3);  // Microwire: the code 0x77 stands at its label
        QCOMPARE(items(e->box).size(), 20);
        QCOMPARE(e->box->currentText(), QStringLiteral("93C56@16 PE=1"));
        select(9, 3);
        QCOMPARE(items(e->box), (QStringList{"3.3V", "5.0V"}));
        QCOMPARE(e->box->currentText(), QStringLiteral("5.0V"));
        select(13, 1);
        QCOMPARE(items(e->box), QStringList{"SOCK"});
        QCOMPARE(e->box->currentIndex(), 0);
        select(13, 4);  // interface 2 has no item
        QCOMPARE(e->box->currentIndex(), -1);
        select(7, 4);  // class 7 offers no subtype
        QVERIFY(e->box->isHidden());
        select(4, 4);
        QVERIFY(e->box->isHidden());
        QCOMPARE(e->editedColumn(), 4);
        QCOMPARE(e->editedRow(), 4);
        QVERIFY(errors().isEmpty());

        // The heading row is fixed: clicking a heading selects nothing.
        e->show();
        QVERIFY(QTest::qWaitForWindowExposed(e));
        select(4, 2);
        QHeaderView* headings = e->StringGrid1->horizontalHeader();
        QTest::mouseClick(headings->viewport(), Qt::LeftButton, {},
                          QPoint(headings->sectionViewportPosition(6) + 5, headings->height() / 2));
        QCOMPARE(e->StringGrid1->currentColumn(), 4);
        QCOMPARE(e->StringGrid1->currentRow(), 1);
        QVERIFY(e->box->isHidden());
        e->hide();

        // A click on the current cell offers its drop-down again, after a scroll hid it.
        e->show();
        QVERIFY(QTest::qWaitForWindowExposed(e));
        select(5, 1);
        e->box->hide();
        const QPoint cell = e->StringGrid1->visualItemRect(e->StringGrid1->item(0, 5)).center();
        QTest::mouseClick(e->StringGrid1->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(e->box->isVisible());
        QVERIFY(e->box->view()->isVisible());
        e->box->hidePopup();
        // A click on another cell only makes it current.
        QTest::mouseClick(e->StringGrid1->viewport(), Qt::LeftButton, {},
                          e->StringGrid1->visualItemRect(e->StringGrid1->item(1, 5)).center());
        QCOMPARE(e->StringGrid1->currentRow(), 1);
        QVERIFY(!e->box->view()->isVisible());
        e->hide();

        type(6, 1, QStringLiteral("abc"));
        select(6, 1);
        QCOMPARE(errors(), QStringList{"'abc' is not a valid integer value"});
        QCOMPARE(e->box->currentIndex(), -1);
    }

    void choicesWriteTheCellsAndAreSaved()
    {
        select(6, 1);
        pick(QStringLiteral("93_EEPROM"));
        QCOMPARE(shown(e->StringGrid1, 6, 1), QStringLiteral("2"));
        QCOMPARE(shown(e->StringGrid1, 0, 1), QStringLiteral("93_EEPROM"));
        select(7, 1);
        pick(QStringLiteral("93C56@16 PE=1"));
        QCOMPARE(shown(e->StringGrid1, 7, 1), QStringLiteral("0x77"));
        select(7, 2);
        pick(QStringLiteral("大于64KB"));
        QCOMPARE(shown(e->StringGrid1, 7, 2), QStringLiteral("2"));
        select(11, 1);
        pick(QStringLiteral("1024"));
        QCOMPARE(shown(e->StringGrid1, 11, 1), QStringLiteral("1024"));
        select(9, 2);
        pick(QStringLiteral("5.0V"));
        select(13, 4);
        pick(QStringLiteral("SOCK"));
        QCOMPARE(shown(e->StringGrid1, 13, 4), QStringLiteral("1"));
        type(8, 1, QStringLiteral("999"));  // the shown copy of the delay is never saved
        type(12, 2, QStringLiteral("$20"));
        type(14, 1, QStringLiteral("C:\\parts\\w25.xml"));

        e->BtnSave->click();
        QVERIFY(errors().isEmpty());
        const QByteArray file = fileBytes(listPath());
        QCOMPARE(file.size(), 5 * 68);
        const ChipEntry first = entryAt(file, 0);
        QCOMPARE(first.keyText(), QByteArray("93_EEPROM,WINBOND,W25Q80,w25.xml"));
        QCOMPARE(int(first.chipClass), 2);
        QCOMPARE(int(first.subtype), 0x77);
        QCOMPARE(int(first.eepromPageSize), 0);  // 1024 does not fit the byte
        QCOMPARE(int(first.eraseDelayValue()), 250);
        QCOMPARE(first.chipId(), 0xEF4014);
        QCOMPARE(int(entryAt(file, 1).subtype), 2);
        QCOMPARE(int(entryAt(file, 1).voltageCode), 1);
        QCOMPARE(int(entryAt(file, 1).eraseDelayValue()), 0x20);
        QCOMPARE(int(entryAt(file, 3).interfaceCode), 1);
        QCOMPARE(QByteArray(file.constData() + 4 * 68, 20), QByteArray(20, '\0'));
        // The shared table took the same.
        QCOMPARE(f->state().chips()[0].keyText(), first.keyText());
        QCOMPARE(int(f->state().chips()[1].subtype), 2);
    }

    void addAndDelete()
    {
        select(3, 2);
        e->BtnAdd->click();
        QCOMPARE(e->StringGrid1->rowCount(), 5);
        QCOMPARE(e->StringGrid1->currentRow(), 4);
        QCOMPARE(e->StringGrid1->currentColumn(), 3);
        QCOMPARE(shown(e->StringGrid1, 2, 5), QStringLiteral("W25Q80"));
        QCOMPARE(shown(e->StringGrid1, 3, 5), QStringLiteral("0xEF4014"));
        // The copy shows its subtype in decimal.
        QCOMPARE(shown(e->StringGrid1, 7, 5), QStringLiteral("0"));
        QCOMPARE(e->Label1->text(), QStringLiteral("5"));  // not updated by edits

        select(1, 2);
        e->BtnDelete->click();
        QCOMPARE(e->StringGrid1->rowCount(), 4);
        QCOMPARE(shown(e->StringGrid1, 2, 2), QStringLiteral("AT93C56"));
        QCOMPARE(shown(e->StringGrid1, 2, 4), QStringLiteral("W25Q80"));

        for (int i = 0; i < 4; ++i) {
            select(1, 1);
            e->BtnDelete->click();
        }
        QCOMPARE(e->StringGrid1->rowCount(), 0);
        e->BtnDelete->click();  // only the heading row is left
        QCOMPARE(e->grid().rowCount(), 1);
        e->BtnSave->click();
        QCOMPARE(fileBytes(listPath()).size(), 68);
        QCOMPARE(f->state().chips().count(), 0);
    }

    void refusedSavesLeaveTableAndFileAsTheyWere()
    {
        const QByteArray before = fileBytes(listPath());
        type(10, 2, QStringLiteral("12k"));
        type(2, 1, QStringLiteral("NEWNAME"));
        e->BtnSave->click();
        QCOMPARE(errors(), QStringList{"'12k' is not a valid integer value"});
        QCOMPARE(fileBytes(listPath()), before);
        QCOMPARE(f->state().chips()[0].keyText(), kFlash.keyText());

        type(10, 2, QStringLiteral("0"));
        type(2, 3, QStringLiteral("A-MODEL-NAME-THAT-IS-FAR-TOO-LONG-FOR-IT"));
        e->BtnSave->click();
        QCOMPARE(errors().size(), 2);
        QVERIFY(errors()[1].startsWith(messageText(Msg::ChipKeyTooLong, 0)));
        QVERIFY(errors()[1].endsWith(QStringLiteral("A-MODEL-NAME-THAT-IS-FAR-TOO-LONG-FOR-IT,0")));
        QCOMPARE(fileBytes(listPath()), before);

        // 2000 rows do not fit beside the end entry.
        const QString text = rig->path(QStringLiteral("many.txt"));
        QByteArray lines;
        for (int i = 0; i < 2000; ++i)
            lines += "SPI_FLASH\tM\tP" + QByteArray::number(i) + "\t0x0\t1024\t256\t0\t0\t1\t0\t0\t0\t1\t1\t0\n";
        QVERIFY(putFile(text, lines));
        rig->boxes->openNames << text;
        e->BitBtn1->click();
        QCOMPARE(e->StringGrid1->rowCount(), 2000);
        e->BtnSave->click();
        QCOMPARE(errors().size(), 3);
        QCOMPARE(errors()[2], messageText(Msg::ChipListTooManyRows, 0));
        QCOMPARE(fileBytes(listPath()), before);
        QCOMPARE(f->state().chips().count(), 4);

        // A file that cannot be replaced: the table is kept as well.
        e->FormShow();
        type(2, 1, QStringLiteral("NEWNAME"));
        QVERIFY(QFile::remove(listPath()));
        QVERIFY(QDir(rig->dir.path()).mkdir(QStringLiteral("ktr4180.Dat")));
        e->BtnSave->click();
        QCOMPARE(errors().size(), 4);
        QVERIFY(errors()[3].startsWith(listPath()));
        QCOMPARE(f->state().chips()[0].keyText(), kFlash.keyText());
    }

    void exportAndImport()
    {
        f->log(QStringLiteral("an older line"));
        e->BitBtn2->click();
        const QString textPath = rig->path(QStringLiteral("ktr4180.txt"));
        const QStringList written = fileText(textPath).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(written.size(), 4);
        QCOMPARE(written[0], QStringLiteral("SPI_FLASH\tWINBOND\tW25Q80\t0xEF4014\t1048576\t256\t0\t0x0\t250\t0\t0\t0\t250\t1\t0")
                                 + QString(12, QLatin1Char('\t')));
        // The log pane holds the exported lines and nothing else.
        QCOMPARE(f->RichEdit1->toPlainText().split(QLatin1Char('\n')), written);
        QCOMPARE(rig->boxes->boxes.size(), std::size_t(1));
        QCOMPARE(rig->boxes->boxes[0].caption, QStringLiteral("Info"));
        QCOMPARE(rig->boxes->boxes[0].text, QStringLiteral("配置导出成功！"));
        QCOMPARE(rig->boxes->boxes[0].icon, BoxPresenter::Icon::None);

        e->BitBtn1->click();  // cancelled
        QCOMPARE(rig->boxes->openFilters, QStringList{"txt (*.txt)"});
        QCOMPARE(e->StringGrid1->rowCount(), 4);

        // The exported list comes back as the same grid.
        QStringList before;
        for (int r = 1; r <= 4; ++r)
            for (int c = 0; c < 15; ++c)
                before << shown(e->StringGrid1, c, r);
        QVERIFY(putFile(textPath, "SPI_FLASH  ONE\tTWO\n\n"));
        rig->boxes->openNames << textPath;
        e->BitBtn1Click();
        // A blank separates fields too; an empty line is a row; cells the lines miss stay.
        QCOMPARE(e->StringGrid1->rowCount(), 2);
        QCOMPARE(shown(e->StringGrid1, 1, 1), QStringLiteral("ONE"));
        QCOMPARE(shown(e->StringGrid1, 2, 1), QStringLiteral("TWO"));
        QCOMPARE(shown(e->StringGrid1, 3, 1), QStringLiteral("0xEF4014"));
        QCOMPARE(shown(e->StringGrid1, 1, 2), QStringLiteral("ATMEL"));
        QVERIFY(putFile(textPath, (written.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()));
        rig->boxes->openNames << textPath;
        e->BitBtn1Click();
        QStringList after;
        for (int r = 1; r <= 4; ++r)
            for (int c = 0; c < 15; ++c)
                after << shown(e->StringGrid1, c, r);
        QCOMPARE(after, before);

        // A text file that cannot be written is an error, not a success.
        QVERIFY(QFile::remove(textPath));
        QVERIFY(QDir(rig->dir.path()).mkdir(QStringLiteral("ktr4180.txt")));
        e->BitBtn2->click();
        QCOMPARE(errors().size(), 1);
        QVERIFY(errors()[0].startsWith(textPath));
        QCOMPARE(rig->boxes->boxes.size(), std::size_t(2));
    }

    void savedEditsReachTheMainWindowAtTheNextSelection()
    {
        QVERIFY(f->N3->isVisible());
        rig->boxes->whileShown = [&](QDialog& dialog) {
            QCOMPARE(dialog.objectName(), QStringLiteral("TForm2"));
            QCOMPARE(e->StringGrid1->rowCount(), 4);  // its show event read the file
            type(2, 2, QStringLiteral("AT24C02B"));
            type(1, 4, QStringLiteral("MICROCHIP"));
            e->BtnSave->click();
            e->BtnExit->click();
        };
        f->N3->trigger();
        QCOMPARE(rig->boxes->dialogs, QStringList{"TForm2"});
        QVERIFY(!e->isVisible());
        QVERIFY(errors().isEmpty());
        // Nothing is refreshed at once.
        QCOMPARE(f->ComboBox1->currentText(), QStringLiteral("SPI_FLASH"));
        QVERIFY(f->ComboBox2->findText(QStringLiteral("MICROCHIP")) < 0);

        f->ComboBox1->setCurrentIndex(f->ComboBox1->findText(QStringLiteral("24_EEPROM")));
        emit f->ComboBox1->activated(f->ComboBox1->currentIndex());
        QCOMPARE(f->ComboBox3->currentText(), QStringLiteral("AT24C02B"));
        f->ComboBox1->setCurrentIndex(f->ComboBox1->findText(QStringLiteral("AVR")));
        emit f->ComboBox1->activated(f->ComboBox1->currentIndex());
        QCOMPARE(f->ComboBox2->currentText(), QStringLiteral("MICROCHIP"));
        QCOMPARE(f->state().currentChip().keyText(), QByteArray("AVR,MICROCHIP,ATmega8,0"));

        // A restart reads the saved list.
        rig->form.reset();
        f = &rig->start();
        QCOMPARE(f->state().chips()[1].keyText(), QByteArray("24_EEPROM,ATMEL,AT24C02B,0"));
    }
};

QTEST_MAIN(ChipListEditorTest)
#include "chip_list_editor_test.moc"
