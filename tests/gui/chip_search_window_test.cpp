// The chip search window: its opening list, the search over whole keys, the
// column headings by language and the choice handed to the main window.

#include "WindowRig.h"

#include "chipdb/gui/Unit3.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

// 1500 entries: a few named ones up front, numbered ones after them, and
// one near the end that only a search reaches.
QByteArray searchList()
{
    std::vector<ChipEntry> entries = {
        makeChip({.key = "SPI_FLASH,WINBOND,W25Q80", .flash = 1048576, .page = 256}),
        makeChip({.key = "SPI_FLASH,WINBOND,W25Q16", .flash = 2097152, .page = 256}),
        makeChip({.key = "24_EEPROM,ATMEL,AT24C02", .flash = 256, .page = 8, .chipClass = 1}),
        makeChip({.key = "93_EEPROM,ATMEL,AT93C46", .flash = 128, .page = 2, .chipClass = 2}),
        makeChip({.key = "SPI_FLASH,MXIC,MX25L1606,EEPROM.xml", .flash = 2097152, .page = 256}),
        makeChip({.key = "24_EEPROM,ST,M24C02", .flash = 256, .page = 8, .chipClass = 1}),
        makeChip({.key = "24_EEPROM,ST,M24C02", .flash = 512, .page = 16, .chipClass = 1}),
    };
    while (entries.size() < 1499)
        entries.push_back(chipNamed(("SPI_FLASH,FILL,PART" + QByteArray::number(int(entries.size()))).constData()));
    entries.push_back(makeChip({.key = "SPI_FLASH,LATE,ZZ999", .flash = 4096, .page = 256}));
    QByteArray bytes;
    for (const ChipEntry& e : entries)
        bytes += entryBytes(e);
    return bytes + QByteArray(sizeof(ChipEntry), '\0');
}

QStringList rowTexts(const QTreeWidget* list, int column)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out << list->topLevelItem(i)->text(column);
    return out;
}

} // namespace

class ChipSearchWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    TForm1* f = nullptr;
    TForm3* s = nullptr;

    void search(const QString& text) { s->ComboBox1->setEditText(text); }

private slots:
    void init()
    {
        rig = std::make_unique<WindowRig>();
        QVERIFY(writeBytes(rig->path(QStringLiteral("ktr4180.Dat")), searchList()));
        f = &rig->start();
        s = f->form3();
    }

    void cleanup() { rig.reset(); }

    void openingListsTheFirstThousandAndASearchReachesAll()
    {
        s->FormShow();
        QCOMPARE(s->ListView1->topLevelItemCount(), 1000);
        const QTreeWidgetItem* first = s->ListView1->topLevelItem(0);
        QCOMPARE((QStringList{first->text(0), first->text(1), first->text(2), first->text(3)}),
                 (QStringList{"SPI_FLASH", "WINBOND", "W25Q80", "0"}));
        QCOMPARE(s->ListView1->topLevelItem(999)->text(3), QStringLiteral("999"));

        search(QStringLiteral("  ZZ9\t"));
        QCOMPARE(rowTexts(s->ListView1, 2), QStringList{"ZZ999"});
        QCOMPARE(rowTexts(s->ListView1, 3), QStringList{"1499"});

        // The search text stays, the reopened list shows the table all the same.
        s->FormShow();
        QCOMPARE(s->ComboBox1->currentText(), QStringLiteral("  ZZ9\t"));
        QCOMPARE(s->ListView1->topLevelItemCount(), 1000);
        QCOMPARE(s->ComboBox1->count(), 0);
    }

    void searchMatchesWholeKeysInAnyCase()
    {
        // Type, and the association field of the MXIC entry, in either case.
        for (const char* text : {"EEPROM", "eeprom", "EePrOm"}) {
            search(QLatin1String(text));
            QCOMPARE(rowTexts(s->ListView1, 3), (QStringList{"2", "3", "4", "5", "6"}));
            QCOMPARE(rowTexts(s->ListView1, 2)[2], QStringLiteral("MX25L1606"));
        }
        search(QStringLiteral("w25q"));
        QCOMPARE(rowTexts(s->ListView1, 2), (QStringList{"W25Q80", "W25Q16"}));
        search(QStringLiteral("atmel,at9"));  // across the comma
        QCOMPARE(rowTexts(s->ListView1, 2), QStringList{"AT93C46"});
        search(QStringLiteral("   "));
        QCOMPARE(s->ListView1->topLevelItemCount(), 0);
        search(QString());
        QCOMPARE(s->ListView1->topLevelItemCount(), 0);
    }

    void columnsFollowTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("headings");
        QTest::newRow("simplified") << 0 << QStringList{"类型", "厂商", "名称", "pos"};
        QTest::newRow("traditional") << 1 << QStringList{"類型", "廠商", "名稱", "pos"};
        QTest::newRow("english") << 2 << QStringList{"Type", "Manufacturer", "Name", "pos"};
    }

    void columnsFollowTheLanguage()
    {
        QFETCH(int, language);
        QFETCH(QStringList, headings);
        const std::array<void (TForm1::*)(), 3> menu = {&TForm1::ChinaClick, &TForm1::fantiClick, &TForm1::EnlishClick};
        (f->*menu[std::size_t(language)])();
        search(QStringLiteral("W25"));
        QStringList shown;
        for (int c = 0; c < 4; ++c)
            shown << s->ListView1->headerItem()->text(c);
        QCOMPARE(shown, headings);
        // The designed widths, wider only where a heading would be cut.
        const int designed[] = {80, 80, 100, 1};
        for (int c = 0; c < 3; ++c) {
            const int needed = s->ListView1->header()->sectionSizeHint(c);
            QCOMPARE(s->ListView1->columnWidth(c), std::max(designed[c], needed));
        }
        QCOMPARE(s->ListView1->columnWidth(3), 1);
        QVERIFY(s->ListView1->columnWidth(1) > (language == 2 ? 80 : 0));
        QCOMPARE(s->windowTitle(), (QStringList{"芯片选择", "芯片選擇", "Chip Select"}[language]));
    }

    void chosenRowBecomesTheCurrentChip()
    {
        f->ComboBox1->setCurrentIndex(0);
        const int saved[3] = {f->state().selection().savedPosition(0), f->state().selection().savedPosition(1),
                              f->state().selection().savedPosition(2)};
        bool stayedOpen = false;
        rig->boxes->whileShown = [&](QDialog&) {
            QCOMPARE(s->ListView1->topLevelItemCount(), 1000);  // its show event listed the table
            search(QStringLiteral("M24C"));
            QCOMPARE(s->ListView1->topLevelItemCount(), 2);
            s->ListView1->clearSelection();
            s->BitBtn1->click();  // no row selected
            stayedOpen = s->isVisible();
            s->ListView1->setCurrentItem(s->ListView1->topLevelItem(1));
            s->BitBtn1->click();
        };
        f->BtnFind->click();
        QVERIFY(stayedOpen);
        QCOMPARE(rig->boxes->dialogs, QStringList{"TForm3"});
        QVERIFY(!s->isVisible());
        QCOMPARE(s->result(), int(QDialog::Accepted));
        // Two entries with the same names: the first one is chosen.
        QCOMPARE(f->state().currentChipIndex(), 5);
        QCOMPARE(f->ComboBox1->currentText(), QStringLiteral("24_EEPROM"));
        QCOMPARE(f->ComboBox2->currentText(), QStringLiteral("ST"));
        QCOMPARE(f->ComboBox3->currentText(), QStringLiteral("M24C02"));
        QCOMPARE(f->edtCapcity->text(), QStringLiteral("256"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(f->state().selection().savedPosition(i), saved[i]);
    }

    // Opened on the current chip with the search text ready for typing; the
    // first match of what is typed, in any case, is chosen by Enter.
    void keyboardAloneFindsAndChoosesAChip()
    {
        f->state().selection().selectByNames("93_EEPROM", "ATMEL", "AT93C46");
        QCOMPARE(f->state().currentChipIndex(), 3);
        const auto enter = [&](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); };
        rig->boxes->whileShown = [&](QDialog&) {
            QVERIFY(s->focusWidget() == s->ComboBox1 || s->focusWidget() == s->ComboBox1->lineEdit());
            QVERIFY(s->ComboBox1->lineEdit()->hasSelectedText() || s->ComboBox1->currentText().isEmpty());
            QCOMPARE(s->ListView1->currentItem()->text(3), QStringLiteral("3"));
            QTest::keyClicks(s->ComboBox1->lineEdit(), QStringLiteral("w25q"));
            QCOMPARE(rowTexts(s->ListView1, 2), (QStringList{"W25Q80", "W25Q16"}));
            QCOMPARE(s->ListView1->currentItem()->text(2), QStringLiteral("W25Q80"));
            QTest::keyClick(s->ComboBox1->lineEdit(), Qt::Key_Down);  // walks the list
            QCOMPARE(s->ListView1->currentItem()->text(2), QStringLiteral("W25Q16"));
            enter(s->ComboBox1->lineEdit());
        };
        f->BtnFindClick();
        QCOMPARE(s->result(), int(QDialog::Accepted));
        QCOMPARE(f->state().currentChipIndex(), 1);

        // Reopened: the chosen chip is the current row; Enter in the list takes it again.
        rig->boxes->whileShown = [&](QDialog&) {
            QCOMPARE(s->ListView1->currentItem()->text(2), QStringLiteral("W25Q16"));
            enter(s->ListView1);
        };
        f->BtnFindClick();
        QCOMPARE(s->result(), int(QDialog::Accepted));
        QCOMPARE(f->state().currentChipIndex(), 1);
    }

    void doubleClickChoosesAndQuitChoosesNothing()
    {
        rig->boxes->whileShown = [&](QDialog&) {
            search(QStringLiteral("AT24"));
            s->ListView1->clearSelection();
            QWidget* area = s->ListView1->viewport();
            QTest::mouseDClick(area, Qt::LeftButton, {}, QPoint(5, area->height() - 5));  // below the row
            QVERIFY(s->isVisible());
            const QRect row = s->ListView1->visualItemRect(s->ListView1->topLevelItem(0));
            QTest::mouseClick(s->ListView1->viewport(), Qt::LeftButton, {}, row.center());
            QTest::mouseDClick(s->ListView1->viewport(), Qt::LeftButton, {}, row.center());
        };
        f->BtnFindClick();
        QCOMPARE(f->state().currentChipIndex(), 2);

        rig->boxes->whileShown = [&](QDialog&) {
            search(QStringLiteral("W25Q16"));
            s->ListView1->setCurrentItem(s->ListView1->topLevelItem(0));
            s->BitBtn2->click();
        };
        f->BtnFindClick();
        QCOMPARE(s->result(), int(QDialog::Rejected));
        QCOMPARE(f->state().currentChipIndex(), 2);
    }
};

QTEST_MAIN(ChipSearchWindowTest)
#include "chip_search_window_test.moc"
