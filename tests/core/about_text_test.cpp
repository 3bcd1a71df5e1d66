#include "app/AboutText.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const MakerLines kMaker{QStringLiteral("(C) Maker"), QStringLiteral("版权 Maker"), QStringLiteral("www.maker.example")};

} // namespace

TEST(AboutText, ChineseForSimplifiedEnglishForTheOthers)
{
    const QString time = QStringLiteral("12:34:56");
    const QString date = QStringLiteral("Jan  5 2026");
    EXPECT_EQ(aboutText(0, time, date, kMaker),
              QStringLiteral("KTR4180(Ver 1.2)\n\n编译时间 : 12:34:56 , Jan  5 2026\n\n版权 Maker\n\nwww.maker.example\n"));
    const QString english =
        QStringLiteral("KTR4180(Ver 1.2)\n\nCompiled at : 12:34:56 , Jan  5 2026\n\n(C) Maker\n\nwww.maker.example\n");
    EXPECT_EQ(aboutText(1, time, date, kMaker), english);
    EXPECT_EQ(aboutText(2, time, date, kMaker), english);
}

TEST(AboutText, PercentSignsInTheLinesAreShownAsTheyAre)
{
    const MakerLines maker{QStringLiteral("100% %1 ours"), QString(), QStringLiteral("a%2b")};
    EXPECT_EQ(aboutText(2, QStringLiteral("%3"), QStringLiteral("d"), maker),
              QStringLiteral("KTR4180(Ver 1.2)\n\nCompiled at : %3 , d\n\n100% %1 ours\n\na%2b\n"));
}

TEST(AboutText, BuildStampsHaveTheCompilersForm)
{
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(buildTime()).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z][a-z]{2} [ \\d]\\d \\d{4}$")).match(buildDate()).hasMatch())
        << buildDate().toStdString();
}

TEST(AboutText, MakerLinesComeFromTheBuild)
{
    const MakerLines m = makerLines();
    EXPECT_FALSE(m.copyrightEnglish.isEmpty());
    EXPECT_FALSE(m.copyrightChinese.isEmpty());
    EXPECT_FALSE(m.webAddress.isEmpty());
    EXPECT_FALSE(m.webAddress.contains(QStringLiteral("://")));
}
