#include "app/Captions.h"

#include <QSet>
#include <cstring>
#include <gtest/gtest.h>

namespace {

QString text(const char* window, const char* control, int language)
{
    return captionFor(window, control, language);
}

} // namespace

TEST(CaptionTable, EachWindowControlPairAppearsOnceAndHasThreeTexts)
{
    QSet<QString> seen;
    int perWindow[4] = {};
    for (const CaptionEntry& e : captionTable()) {
        const QString key = QLatin1String(e.window) + QLatin1Char('/') + QLatin1String(e.control);
        EXPECT_FALSE(seen.contains(key)) << key.toStdString();
        seen.insert(key);
        for (int l = 0; l < 3; ++l)
            EXPECT_FALSE(captionText(e, l).isEmpty()) << key.toStdString() << " " << l;
        ASSERT_EQ(std::strncmp(e.window, "TForm", 5), 0);
        ++perWindow[e.window[5] - '1'];
    }
    // Main window: 66 rows, the auto button and the four items of compare,
    // Unprotect and the production log; 4 editor, 4 search, 10 fill rows.
    EXPECT_EQ(perWindow[0], 71);
    EXPECT_EQ(perWindow[1], 4);
    EXPECT_EQ(perWindow[2], 4);
    EXPECT_EQ(perWindow[3], 10);
}

TEST(CaptionTable, TraditionalUsesEnglishWordsForTheSizeLabels)
{
    EXPECT_EQ(text("TForm1", "lblCapcity", 0), QStringLiteral("容量"));
    EXPECT_EQ(text("TForm1", "lblCapcity", 1), QStringLiteral("Capcity"));
    EXPECT_EQ(text("TForm1", "lblPageSize", 1), QStringLiteral("PageSize"));
    EXPECT_EQ(text("TForm1", "lblPageSize", 2), QStringLiteral("PageSize"));
}

TEST(CaptionTable, PlainCaptionsDropTheAccelerator)
{
    const struct {
        const char* control;
        int language;
        const char* plain;
    } rows[] = {
        {"UnprotectChip", 2, "Unprotect"},
        {"CompareChip", 0, "与芯片比较"},
        {"ProdLog", 2, "Production log…"},
        {"CheckBoxFUSE", 2, "FUse&Lock"},
        {"O1", 1, "文件"},
        {"CheckBoxErase", 2, "Erase"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(plainCaptionFor("TForm1", r.control, r.language), QString::fromUtf8(r.plain)) << r.control;
}

TEST(CaptionTable, LanguageItemsKeepTheirOwnNames)
{
    for (int l = 0; l < 3; ++l) {
        EXPECT_EQ(text("TForm1", "China", l), QStringLiteral("中文简体"));
        EXPECT_EQ(text("TForm1", "fanti", l), QStringLiteral("中文繁體"));
        EXPECT_EQ(text("TForm1", "Enlish", l), QStringLiteral("English"));
    }
}

TEST(CaptionTable, SameControlNameInTwoWindowsHasEachWindowsText)
{
    EXPECT_EQ(text("TForm1", "BitBtn1", 2), QStringLiteral("Fill the load file into the buffer"));
    EXPECT_EQ(text("TForm3", "BitBtn1", 2), QStringLiteral("Select"));
    EXPECT_EQ(text("TForm4", "BitBtn1", 2), QStringLiteral("OK"));
    EXPECT_EQ(text("TForm4", "BitBtn2", 2), QStringLiteral("Cance"));
    EXPECT_EQ(text("TForm1", "GroupBox1", 2), QStringLiteral("Chip"));
    EXPECT_EQ(text("TForm4", "GroupBox1", 2), QStringLiteral("Data"));
    // The editor's buttons read the same in both Chinese sets.
    EXPECT_EQ(text("TForm2", "BtnDelete", 1), QStringLiteral("删除"));
    EXPECT_EQ(text("TForm2", "BtnExit", 2), QStringLiteral("Quit"));
}

TEST(CaptionTable, WindowCaptionsAndStatusPanels)
{
    EXPECT_EQ(text("TForm1", "", 0), QStringLiteral("Quibex电子—KTR4180(Ver 1.2)"));
    EXPECT_EQ(text("TForm1", "", 2), QStringLiteral("Quibex—KTR4180(Ver 1.2)"));
    EXPECT_EQ(text("TForm3", "", 1), QStringLiteral("芯片選擇"));
    EXPECT_TRUE(text("TForm2", "", 0).isEmpty());  // the editor keeps its own caption
    EXPECT_EQ(text("TForm1", "StatusBar1[0]", 1), QStringLiteral("狀態"));
    EXPECT_EQ(text("TForm1", "StatusBar1[2]", 2), QStringLiteral("Use time"));
    EXPECT_EQ(statusPanelOf("StatusBar1[0]"), 0);
    EXPECT_EQ(statusPanelOf("StatusBar1[2]"), 2);
    EXPECT_EQ(statusPanelOf("StatusBar1"), -1);
    EXPECT_EQ(statusPanelOf("StatusBar1[x]"), -1);
}

TEST(CaptionTable, AccelerantsAndAmpersandsAreKeptAsWritten)
{
    EXPECT_EQ(text("TForm1", "CheckBoxFUSE", 2), QStringLiteral("FUse&&Lock"));
    EXPECT_EQ(text("TForm1", "O1", 1), QStringLiteral("文件(&F)"));
    EXPECT_EQ(text("TForm1", "N3", 2), QStringLiteral("Device(&Y)"));
}

TEST(CaptionTable, AutoButtonHasOurEnglishCaptionAndTheToolButtonsChinese)
{
    for (int l = 0; l < 2; ++l)
        EXPECT_EQ(text("TForm1", "btnAutoProg", l), text("TForm1", "ToolAuto", l));
    EXPECT_EQ(text("TForm1", "btnAutoProg", 2), QStringLiteral("AUTO"));
}

TEST(CaptionTable, LanguageOutsideTheThreeReadsAsSimplified)
{
    EXPECT_EQ(text("TForm1", "BtnCheck", 7), QStringLiteral("智能检测"));
    EXPECT_EQ(text("TForm1", "BtnCheck", -1), QStringLiteral("智能检测"));
    EXPECT_TRUE(text("TForm1", "NoSuchControl", 0).isEmpty());
}
