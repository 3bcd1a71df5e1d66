#include "chipdb/ChipKey.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

namespace {

using Fields = QList<QByteArray>;

TEST(SplitChipKey, PlainKeysAndTheAssociationField)
{
    EXPECT_EQ(SplitChipKey("SPI_FLASH,WINBOND,W25Q64"), (Fields{"SPI_FLASH", "WINBOND", "W25Q64"}));
    EXPECT_EQ(SplitChipKey("24_EEPROM,ATMEL,AT24C02,0"), (Fields{"24_EEPROM", "ATMEL", "AT24C02", "0"}));
    EXPECT_EQ(SplitChipKey(""), Fields{});
    EXPECT_EQ(SplitChipKey("   "), Fields{});
    EXPECT_EQ(SplitChipKey("single"), Fields{"single"});
}

TEST(SplitChipKey, BlanksEndUnquotedFields)
{
    // A blank inside a name makes two fields of it.
    EXPECT_EQ(SplitChipKey("SPI_FLASH,EON,EN25 Q64"), (Fields{"SPI_FLASH", "EON", "EN25", "Q64"}));
    EXPECT_EQ(SplitChipKey("  a ,\t b  ,c\t"), (Fields{"a", "b", "c"}));
    // Control characters end a field the way blanks do.
    EXPECT_EQ(SplitChipKey("a\x01" "b,c"), (Fields{"a", "b", "c"}));
    // Bytes above 0x7F belong to the name.
    EXPECT_EQ(SplitChipKey("SPI_FLASH,\xE5\x8D\x8E\xE9\x82\xA6,X"), (Fields{"SPI_FLASH", "\xE5\x8D\x8E\xE9\x82\xA6", "X"}));
}

TEST(SplitChipKey, QuotesKeepBlanksAndDoubledQuotes)
{
    EXPECT_EQ(SplitChipKey("SPI_FLASH,EON,\"EN25 Q64\""), (Fields{"SPI_FLASH", "EON", "EN25 Q64"}));
    EXPECT_EQ(SplitChipKey("\"say \"\"hi\"\"\",x"), (Fields{"say \"hi\"", "x"}));
    EXPECT_EQ(SplitChipKey("\"a,b\",c"), (Fields{"a,b", "c"}));
    EXPECT_EQ(SplitChipKey("\"\",x"), (Fields{"", "x"}));
    // An unclosed quote runs to the end of the key.
    EXPECT_EQ(SplitChipKey("x,\"open end"), (Fields{"x", "open end"}));
    // Text straight after a closing quote starts the next field.
    EXPECT_EQ(SplitChipKey("\"ab\"cd,e"), (Fields{"ab", "cd", "e"}));
}

TEST(SplitChipKey, EmptyFieldsAndTheTrailingComma)
{
    EXPECT_EQ(SplitChipKey("a,,b"), (Fields{"a", "", "b"}));
    EXPECT_EQ(SplitChipKey("a, ,b"), (Fields{"a", "", "b"}));
    EXPECT_EQ(SplitChipKey(",a"), (Fields{"", "a"}));
    EXPECT_EQ(SplitChipKey("a,b,"), (Fields{"a", "b", ""}));
    EXPECT_EQ(SplitChipKey("a,b,,"), (Fields{"a", "b", "", ""}));
    // Blanks after the last comma: no final empty field.
    EXPECT_EQ(SplitChipKey("a,b, "), (Fields{"a", "b"}));
    EXPECT_EQ(SplitChipKey(","), (Fields{"", ""}));
}

TEST(SplitChipKey, TextStopsAtItsNul)
{
    const QByteArray withNul("a,b,c\0d,e", 9);
    EXPECT_EQ(SplitChipKey(withNul), (Fields{"a", "b", "c"}));
    EXPECT_EQ(SplitChipKey(QByteArray("a,\0b", 4)), (Fields{"a", ""}));
}

TEST(SplitChipKey, TabSeparatorSkipsEmptyFields)
{
    // As the import reads lines: every run of tabs and blanks is one separator.
    EXPECT_EQ(SplitChipKey("SPI_FLASH\tWINBOND\tW25Q64\t0xEF4017", '\t'),
              (Fields{"SPI_FLASH", "WINBOND", "W25Q64", "0xEF4017"}));
    EXPECT_EQ(SplitChipKey("a\t\t\tb\t \tc\t\t\t\t", '\t'), (Fields{"a", "b", "c"}));
    EXPECT_EQ(SplitChipKey("a b\tc", '\t'), (Fields{"a", "b", "c"}));
    EXPECT_EQ(SplitChipKey("x,y\tz", '\t'), (Fields{"x,y", "z"})) << "commas are text here";
    EXPECT_EQ(SplitChipKey("\"a b\"\tc", '\t'), (Fields{"a b", "c"}));
    EXPECT_EQ(SplitChipKey("", '\t'), Fields{});
}

TEST(ChipNames, TrimmedFirstThreeFieldsOrEmpty)
{
    const ChipNames n = chipNames(" \"  SPI  \" , WINBOND ,W25Q64,extra");
    EXPECT_EQ(n.type, "SPI");
    EXPECT_EQ(n.manufacturer, "WINBOND");
    EXPECT_EQ(n.model, "W25Q64");

    const ChipNames shortKey = chipNames("AVR,ATMEL");
    EXPECT_EQ(shortKey.type, "AVR");
    EXPECT_EQ(shortKey.manufacturer, "ATMEL");
    EXPECT_TRUE(shortKey.model.isEmpty()) << "a missing field reads as empty";

    EXPECT_TRUE(chipNames("").type.isEmpty());
    EXPECT_EQ(trimControl(QByteArray("\x01\t x y \x1F\0", 9)), "x y");
    EXPECT_EQ(trimControl("   "), "");
}

} // namespace
