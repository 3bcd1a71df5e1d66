#include "app/LogLine.h"
#include "app/MessageTable.h"
#include "app/ProgressText.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

namespace {

bool carriesNoMessage(int n) { return n == 22 || n == 29 || n == 30 || n == 32; }

TEST(MessageTable, EveryUsedNumberSpeaksAllThreeLanguages)
{
    for (int n = 0; n < kMessageCount; ++n) {
        SCOPED_TRACE(n);
        const Msg m = static_cast<Msg>(n);
        const QString zh = messageText(m, 0);
        const QString tw = messageText(m, 1);
        const QString en = messageText(m, 2);
        if (carriesNoMessage(n)) {
            EXPECT_TRUE(zh.isEmpty() && tw.isEmpty() && en.isEmpty());
            continue;
        }
        EXPECT_FALSE(zh.isEmpty());
        EXPECT_FALSE(tw.isEmpty());
        EXPECT_FALSE(en.isEmpty());
        // The English variant is plain ASCII (the Chinese-only texts aside).
        if (n != 50 && n != 51) {
            for (const QChar c : en)
                EXPECT_LT(c.unicode(), 0x80) << en.toStdString();
        }
    }
    EXPECT_TRUE(messageText(static_cast<Msg>(kMessageCount), 2).isEmpty());
    EXPECT_TRUE(messageText(static_cast<Msg>(-1), 2).isEmpty());
}

TEST(MessageTable, TextsAreKeptExactlyWithTheirBlanks)
{
    EXPECT_EQ(messageText(Msg::FileExistsOverwrite, 2), "File already exists. Is it covered? ");
    EXPECT_EQ(messageText(Msg::FlashCheckErrorAddress, 0), QStringLiteral("Flash 校验错误地址: "));
    EXPECT_EQ(messageText(Msg::FlashCheckErrorAddress, 1), QStringLiteral("Flash 校驗錯誤地址: "));
    EXPECT_EQ(messageText(Msg::FlashCheckErrorAddress, 2), "Flash check error address:");
    EXPECT_EQ(messageText(Msg::PlaceChip, 2), "Please place the chip ");
    EXPECT_EQ(messageText(Msg::BatchWrite, 2), "Batch write ");
    EXPECT_EQ(messageText(Msg::StopBatchWrite, 2), "Stop batch write ");
    EXPECT_EQ(messageText(Msg::WriteFlash, 1), QStringLiteral("編程 Flash ... "));
    EXPECT_EQ(messageText(Msg::WriteFlash, 2), "Write Flash ...");
    EXPECT_EQ(messageText(Msg::ChipType, 2), "\n\n Chip type");
    EXPECT_EQ(messageText(Msg::ChipType, 0), QStringLiteral("\n\n芯片类型 ："));
    EXPECT_EQ(messageText(Msg::ChipType, 1), QStringLiteral("\n\n芯片類型 ："));
    EXPECT_EQ(messageText(Msg::BufferEmpty, 2), "The buffer data is empty. Please load the data file..");
    for (int language = 0; language < 3; ++language)
        EXPECT_TRUE(messageText(Msg::ProgrammerDetected, language).contains(QStringLiteral("KTR4180")));
    EXPECT_EQ(messageText(Msg::NoChipDetected, 0), QStringLiteral("没有检测到芯片，请放置芯片再试！"));
    EXPECT_EQ(messageText(Msg::ConfigDestroyed, 1), QStringLiteral("配置文件被破壞！"));
}

TEST(MessageTable, LanguageOutsideTheThreeReadsAsSimplifiedChinese)
{
    for (const int bad : {-1, 3, 4, 100, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(clampLanguage(bad), 0);
        EXPECT_EQ(messageText(Msg::Ready, bad), QStringLiteral("准备好"));
    }
    EXPECT_EQ(clampLanguage(1), 1);
    EXPECT_EQ(clampLanguage(2), 2);
    EXPECT_EQ(messageText(Msg::Ready, 1), QStringLiteral("準備好"));
    EXPECT_EQ(messageText(Msg::Ready, 2), "Ready");
}

TEST(LogLine, CounterPrefixAndLineShape)
{
    LogCounter counter;
    EXPECT_EQ(counter.prefix(), "001:");
    EXPECT_EQ(counter.prefix(), "002:");
    for (int i = 3; i < 1000; ++i)
        counter.prefix();
    EXPECT_EQ(counter.prefix(), "1000:") << "the counter simply grows past three digits";
    EXPECT_EQ(counter.next(), 1001);

    const QDateTime when(QDate(2024, 3, 9), QTime(7, 5, 4));
    const QString line = logLine(QStringLiteral("004:"), QStringLiteral("Read Complete!"), when);
    EXPECT_TRUE(line.startsWith(QStringLiteral("004:Read Complete! (")));
    EXPECT_TRUE(line.endsWith(QStringLiteral(" 07:05:04)")));
    EXPECT_EQ(line, QStringLiteral("004:Read Complete! (") + logDateTime(when) + QLatin1Char(')'));
}


// What the front ends show beside a running transfer or erase.
TEST(ProgressText, RateTimeLeftAndDuration)
{
    EXPECT_FALSE(readProgress(1000, 4000, 100)) << "too early to tell";
    EXPECT_FALSE(readProgress(0, 4000, 1000)) << "nothing moved yet";
    const auto half = readProgress(2 * 1024 * 1024, 4 * 1024 * 1024, 2000);
    ASSERT_TRUE(half);
    EXPECT_DOUBLE_EQ(half->bytesPerSecond, 1024.0 * 1024.0);
    EXPECT_EQ(half->msLeft, 2000);
    EXPECT_EQ(readProgress(4000, 4000, 1000)->msLeft, 0);

    for (const auto& [rate, text] : {std::pair{512.0, "512 B"}, {1023.9, "1023 B"}, {1024.0, "1 KiB"},
                                     {870400.0, "850 KiB"}, {1572864.0, "1.5 MiB"}})
        EXPECT_EQ(rateText(rate), QString::fromLatin1(text)) << rate;
    for (const auto& [ms, text] : {std::pair{0ll, "0:00"}, {1ll, "0:01"}, {7000ll, "0:07"}, {725000ll, "12:05"},
                                   {3723000ll, "1:02:03"}})
        EXPECT_EQ(durationText(ms), QString::fromLatin1(text)) << ms;
    EXPECT_EQ(messageText(Msg::ProgressRateLeft, 2).arg(rateText(870400.0), durationText(7000)),
              "850 KiB/s, 0:07 left");
}

} // namespace
