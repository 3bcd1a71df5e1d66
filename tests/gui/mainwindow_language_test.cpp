// Captions of the four windows after each language switch.

#include "WindowRig.h"

#include "app/AidTexts.h"
#include "app/Captions.h"
#include "app/MessageTable.h"
#include "app/gui/ClickPanel.h"
#include "app/gui/FindDialog.h"
#include "app/gui/PanelStatusBar.h"
#include "buffers/gui/Unit4.h"
#include "chipdb/gui/Unit2.h"
#include "chipdb/gui/Unit3.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <cstring>

namespace {

// The caption a control shows, whatever kind it is.
QString captionOf(const QObject* c)
{
    if (auto* b = qobject_cast<const QAbstractButton*>(c))
        return b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(c))
        return g->title();
    if (auto* l = qobject_cast<const QLabel*>(c))
        return l->text();
    if (auto* a = qobject_cast<const QAction*>(c))
        return a->text();
    if (auto* m = qobject_cast<const QMenu*>(c))
        return m->title();
    return QStringLiteral("<no caption>");
}

const ChipEntry kChip = makeChip({.key = "SPI_FLASH,TEST,T4K", .id = 0xEF3012, .flash = 4096, .page = 256});

} // namespace

class MainWindowLanguageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowRig> rig;
    TForm1* f = nullptr;

    QWidget* window(const char* name) const
    {
        if (std::strcmp(name, "TForm2") == 0)
            return f->form2();
        if (std::strcmp(name, "TForm3") == 0)
            return f->form3();
        if (std::strcmp(name, "TForm4") == 0)
            return f->form4();
        return f;
    }

    // Every entry of the caption table shows in its window's control.
    void checkAllCaptions(int language)
    {
        for (const CaptionEntry& e : captionTable()) {
            const QString expected = captionText(e, language);
            QWidget* w = window(e.window);
            QString shown;
            if (e.control[0] == 0)
                shown = w->windowTitle();
            else if (const int panel = statusPanelOf(e.control); panel >= 0)
                shown = f->StatusBar1->panelText(panel);
            else if (w == f)
                shown = captionOf(f->control(QLatin1String(e.control)));
            else
                shown = captionOf(w->findChild<QObject*>(QLatin1String(e.control)));
            QVERIFY2(shown == expected, qPrintable(QStringLiteral("%1/%2: %3 instead of %4")
                                                       .arg(QLatin1String(e.window), QLatin1String(e.control), shown, expected)));
        }
    }

private slots:
    void init()
    {
        rig = std::make_unique<WindowRig>();
        QVERIFY(rig->useChipList({kChip}));
        f = &rig->start();
    }

    void cleanup() { rig.reset(); }

    void startShowsTheStoredLanguage() { checkAllCaptions(0); }

    void eachMenuItemSwitchesEveryWindow_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("traditional") << 1;
        QTest::newRow("english") << 2;
        QTest::newRow("simplified") << 0;
    }

    void eachMenuItemSwitchesEveryWindow()
    {
        QFETCH(int, language);
        QAction* items[] = {f->China, f->fanti, f->Enlish};
        items[language]->trigger();
        QCOMPARE(f->languageIndex(), language);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(items[i]->isChecked(), i == language);
        checkAllCaptions(language);
        QCOMPARE(f->Panel8->text(), messageText(Msg::BatchWrite, language));
        // Captions outside the table keep their design texts.
        QCOMPARE(f->Label8->text(), QStringLiteral("类型"));
        QCOMPARE(f->Label10->text(), QStringLiteral("名称"));
        QCOMPARE(f->PageControl1->tabText(f->PageControl1->indexOf(f->TabSheet3)), QStringLiteral("FUSE&&LOCK"));
        QCOMPARE(f->PageControl1->tabText(f->PageControl1->indexOf(f->TabSheet4)), QStringLiteral("Extend(SN)"));
        QCOMPARE(f->form2()->windowTitle(), QStringLiteral("芯片编辑"));
        QCOMPARE(f->form2()->BitBtn1->text(), QStringLiteral("导入"));
        QCOMPARE(f->StatusBar1->panelText(3), QStringLiteral("00:00:00"));
        QCOMPARE(f->StatusBar1->toolTip(), QStringLiteral("点击了解更多..."));
        QCOMPARE(f->cmbProgSpeed->itemText(5), QStringLiteral("375Khz"));

        // The added menu items, the find dialog and the tool tips follow too;
        // a tool button's tip names its key.
        for (const CaptionEntry& e : aidCaptionTable())
            if (QObject* c = e.control[0] == 0 ? nullptr
                             : std::strcmp(e.window, "TForm1") == 0 ? f->control(QLatin1String(e.control))
                             : std::strcmp(e.window, "FindDialog") == 0 ? f->findDialog()->findChild<QObject*>(QLatin1String(e.control))
                                                                        : nullptr)
                QCOMPARE(captionOf(c), captionText(e, language));
        QCOMPARE(f->findDialog()->windowTitle(), aidCaptionFor("FindDialog", "", language));
        for (const CaptionEntry& e : toolTipTable())
            QVERIFY(f->control<QWidget>(QLatin1String(e.control))->toolTip().startsWith(captionText(e, language)));
        QCOMPARE(f->ToolRead->toolTip(), toolTipFor("TForm1", "ToolRead", language) + QStringLiteral(" (F4)"));
        QCOMPARE(f->ToolOpen->toolTip(), toolTipFor("TForm1", "ToolOpen", language) + QStringLiteral(" (Ctrl+O)"));
        QList<QWidget*> hinted;
        for (QToolButton* b : f->ToolBar1->findChildren<QToolButton*>())
            if (b->objectName().startsWith(QLatin1String("Tool")))  // not Qt's overflow arrow
                hinted << b;
        for (QCheckBox* b : f->findChildren<QCheckBox*>())
            hinted << b;
        QVERIFY(hinted.size() >= 9 + 11);
        for (const QWidget* w : hinted)
            QVERIFY2(!w->toolTip().isEmpty(), qPrintable(w->objectName()));

        // Qt's own buttons and dialogs speak the language as well.
        const QString yes = QCoreApplication::translate("QPlatformTheme", "&Yes");
        const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
        if (language == 2) {
            QCOMPARE(yes, QStringLiteral("&Yes"));
        } else {
            QVERIFY2(yes.contains(QStringLiteral("是")), qPrintable(yes));
            QCOMPARE(cancel, QStringLiteral("取消"));
        }
    }

    void namesThatDifferFromTheLanguageSet()
    {
        f->fantiClick();
        QCOMPARE(f->lblCapcity->text(), QStringLiteral("Capcity"));
        QCOMPARE(f->lblPageSize->text(), QStringLiteral("PageSize"));
        QCOMPARE(f->form2()->BtnDelete->text(), QStringLiteral("删除"));
        QCOMPARE(f->China->text(), QStringLiteral("中文简体"));
        QCOMPARE(f->fanti->text(), QStringLiteral("中文繁體"));
        QCOMPARE(f->Enlish->text(), QStringLiteral("English"));
        f->EnlishClick();
        QCOMPARE(f->btnAutoProg->text(), QStringLiteral("AUTO"));
        QCOMPARE(f->CheckBoxFUSE->text(), QStringLiteral("FUse&&Lock"));
        QCOMPARE(f->form4()->BitBtn2->text(), QStringLiteral("Cance"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Quibex—KTR4180(Ver 1.2)"));
        // Choosing the current language again changes nothing.
        f->EnlishClick();
        checkAllCaptions(2);
        QVERIFY(f->Enlish->isChecked() && !f->China->isChecked());
    }

    void textsAlreadyShownKeepTheirLanguage()
    {
        const QString firstLine = rig->logLines().first();
        QVERIFY(firstLine.contains(messageText(Msg::ProgrammerDetected, 0)));
        f->EnlishClick();
        QCOMPARE(rig->logLines().first(), firstLine);
        QCOMPARE(f->StatusBar1->panelText(1), messageText(Msg::Ready, 0));
        // New messages come in the new language.
        f->deviceChanged();
        QVERIFY(rig->logLines().first().contains(messageText(Msg::ProgrammerDetected, 2)));
        QCOMPARE(f->StatusBar1->panelText(1), QStringLiteral("Ready"));
    }

    void batchPanelNamesWhatAClickDoesNext()
    {
        f->state().buffers().setFlashLength(1);
        f->CheckBoxWriteFlash->setChecked(true);
        f->Panel8Click();
        f->EnlishClick();
        QCOMPARE(f->Panel8->text(), QStringLiteral("Stop batch write "));
        f->Panel8Click();
        QCOMPARE(f->Panel8->text(), QStringLiteral("Batch write "));
    }

    void languageIsSavedAtClose()
    {
        f->fantiClick();
        QVERIFY(f->close());
        QVERIFY(rig->ini().contains(QStringLiteral("LANGU=1\n")));
    }
};

QTEST_MAIN(MainWindowLanguageTest)
#include "mainwindow_language_test.moc"
