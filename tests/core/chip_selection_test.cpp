#include "app/ProgramState.h"
#include "chipdb/ChipTable.h"
#include "device/SimulatedProgrammer.h"
#include "support/RecordingUi.h"
#include "support/TestChipEntry.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Names = QList<QByteArray>;

class Watcher final : public ChipSelectionObserver {
public:
    std::vector<int> became;
    int rebuilt = 0;
    void chipBecameCurrent(int index) override { became.push_back(index); }
    void listsRebuilt() override { ++rebuilt; }
};

class ChipSelectionTest : public ::testing::Test {
protected:
    SimulatedProgrammer sim;
    RecordingUi ui;
    ProgramState state{sim, ui};
    ChipSelection& sel = state.selection();
    Watcher watcher;

    ChipSelectionTest()
    {
        sel.setObserver(&watcher);
        fillTable(state.chips(),
                  {
                      chip("SPI_FLASH,WINBOND,W25Q32", 0xEF4016, 4194304),   // 0
                      chip("SPI_FLASH,WINBOND,W25Q64", 0xEF4017, 8388608),   // 1
                      chip("SPI_FLASH,MXIC,MX25L6405D", 0xC22017, 8388608),  // 2
                      chip("24_EEPROM,ATMEL,AT24C02", 0x1F0001, 256, 1),     // 3
                      chip("SPI_FLASH,WINBOND,W25Q64", 0xEF4099, 1),         // 4 same names as 1
                      chip("SPI_FLASH,winbond,W25Q80", 0xEF4014, 1048576),   // 5 other spelling
                      chip("SPI_FLASH,MXIC,", 0xC2FFFF, 1),                  // 6 no model
                      chip(",NOBODY,X", 0, 1, 3),                            // 7 no type
                      chip("SPI_FLASH,MXIC,MX25L1606E", 0xC22015, 2097152),  // 8
                      chip("24_EEPROM,ATMEL,AT24C04", 0x1F0002, 512, 1),     // 9
                      chip("24_EEPROM,ATMEL,AT24C08", 0xEF4016, 1024, 1),    // 10 id of 0 again
                      chip("SPI_FLASH,,ORPHAN", 0xEF4015, 1),                // 11 no manufacturer
                  });
    }

    static ChipEntry chip(const char* key, int32_t id, uint32_t flash, uint8_t chipClass = 0)
    {
        return makeChip({.key = key, .id = id, .flash = flash, .page = 256, .chipClass = chipClass});
    }
    int current() const { return state.currentChipIndex(); }
    QByteArray shownModel() const { return ChipSelection::textAt(sel.models(), sel.modelPosition()); }
    std::vector<int> saved() const { return {sel.savedPosition(0), sel.savedPosition(1), sel.savedPosition(2)}; }
};

TEST_F(ChipSelectionTest, ListsFollowTheTableInOrderOfFirstAppearance)
{
    EXPECT_EQ(sel.apply(0, 0, 0), 0);
    EXPECT_EQ(sel.types(), (Names{"SPI_FLASH", "24_EEPROM", ""})) << "an empty type name is an item too";
    // The other spelling of a manufacturer is not listed again.
    EXPECT_EQ(sel.manufacturers(), (Names{"WINBOND", "MXIC"}));
    EXPECT_EQ(sel.models(), (Names{"W25Q32", "W25Q64"}));
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(watcher.became, std::vector<int>{0});
    EXPECT_EQ(watcher.rebuilt, 1);

    EXPECT_EQ(sel.apply(0, 1, 0), 2);
    EXPECT_EQ(sel.models(), (Names{"MX25L6405D", "MX25L1606E"})) << "an empty model is never listed";
    EXPECT_EQ(sel.apply(0, 1, 1), 8);
    EXPECT_EQ(sel.apply(2, 0, 0), 7);
    EXPECT_EQ(sel.manufacturers(), Names{"NOBODY"});
}

TEST_F(ChipSelectionTest, OnlyTheFirstOfEqualNamesCanBecomeCurrent)
{
    EXPECT_EQ(sel.apply(0, 0, 1), 1);
    EXPECT_EQ(sel.apply(0, 0, 2), -1) << "neither the duplicate nor the other spelling";
    EXPECT_EQ(current(), 1) << "no match keeps the current chip";

    sel.selectByNames("SPI_FLASH", "WINBOND", "W25Q64");
    EXPECT_EQ(current(), 1);
    sel.selectByNames("SPI_FLASH", "winbond", "W25Q80");
    EXPECT_EQ(current(), 1) << "a name only the other spelling carries";
    EXPECT_TRUE(sel.selectById(0xEF, 0x40, 0x99, 0, 1));
    EXPECT_EQ(current(), 1) << "the duplicate's own identifier lands on the first of its names";
}

TEST_F(ChipSelectionTest, SelectingSetsTheSpeedForTheClass)
{
    state.programmer().setSpeedIndex(5);
    sel.apply(1, 0, 0);
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(state.programmer().speedIndex(), 2);
    sel.apply(0, 0, 0);
    EXPECT_EQ(state.programmer().speedIndex(), 0);
    state.programmer().setSpeedIndex(5);
    sel.apply(0, 0, 9);
    EXPECT_EQ(state.programmer().speedIndex(), 5) << "no match, no change";
    EXPECT_EQ(state.programmer().chip(), &state.chips()[0]);
}

TEST_F(ChipSelectionTest, PositionsOutsideTheListsSelectNothing)
{
    sel.apply(0, 0, 1);
    watcher.became.clear();
    // Entry 7 has an empty type name and entry 11 an empty manufacturer:
    // neither answers to a position past its list.
    EXPECT_EQ(sel.apply(99, 0, 0), -1);
    EXPECT_EQ(sel.typePosition(), 99);
    EXPECT_TRUE(ChipSelection::textAt(sel.types(), sel.typePosition()).isEmpty());
    EXPECT_TRUE(sel.manufacturers().isEmpty());
    EXPECT_TRUE(sel.models().isEmpty());
    EXPECT_EQ(current(), 1);
    EXPECT_TRUE(watcher.became.empty());
    EXPECT_EQ(sel.apply(-1, -1, -1), -1);
    EXPECT_EQ(sel.apply(0, 5, 0), -1);
    EXPECT_EQ(sel.apply(0, -1, 0), -1);
    EXPECT_EQ(sel.manufacturers().size(), 2) << "the manufacturer list is still built";
    EXPECT_TRUE(sel.models().isEmpty());
    EXPECT_TRUE(watcher.became.empty());
}

TEST_F(ChipSelectionTest, TypeListOnlyGrows)
{
    sel.apply(0, 0, 0);
    state.chips().clear();
    state.chips()[0] = chip("AVR,ATMEL,ATmega8", 0x1E9307, 8192);
    EXPECT_EQ(sel.apply(3, 0, 0), 0);
    EXPECT_EQ(sel.types(), (Names{"SPI_FLASH", "24_EEPROM", "", "AVR"}));
}

TEST_F(ChipSelectionTest, ChangeHandlersStoreThePositions)
{
    EXPECT_EQ(sel.typeChanged(1), 3);
    EXPECT_EQ(saved(), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(sel.modelChanged(1), 9);
    EXPECT_EQ(saved(), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(sel.typeChanged(0), 0) << "a type choice starts at its first manufacturer and model";
    EXPECT_EQ(sel.manufacturerChanged(1), 2);
    EXPECT_EQ(saved(), (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(sel.modelChanged(1), 8);
    EXPECT_EQ(saved(), (std::vector<int>{0, 1, 1}));
}

TEST_F(ChipSelectionTest, SelectByNamesIgnoresCaseAndKeepsTheStoredPositions)
{
    sel.typeChanged(1);
    sel.selectByNames("spi_flash", "mxic", "mx25l1606e");
    EXPECT_EQ(current(), 8);
    EXPECT_EQ(sel.typePosition(), 0);
    EXPECT_EQ(sel.manufacturerPosition(), 1);
    EXPECT_EQ(sel.modelPosition(), 1);
    EXPECT_EQ(saved(), (std::vector<int>{1, 0, 0}));

    sel.selectByNames("SPI_FLASH", "MXIC", "NO_SUCH_MODEL");
    EXPECT_EQ(current(), 8);
    EXPECT_EQ(sel.modelPosition(), -1);
}

TEST_F(ChipSelectionTest, SelectByIdFindsTheFirstCarrierAndSaysSo)
{
    // No selection has built the lists yet: identification still finds its chip.
    ASSERT_TRUE(sel.types().isEmpty());
    EXPECT_TRUE(sel.selectById(0xEF, 0x40, 0x17, 0, 1));
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(saved(), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(ui.texts(RecordingUi::Event::Information),
              QStringList{"The chip was detected:W25Q64\n\n Chip typeSPI_FLASH"});
    EXPECT_TRUE(ui.errors().isEmpty());

    // Two entries carry EF 40 16: the first one wins.
    ui.clear();
    EXPECT_TRUE(sel.selectById(0xEF, 0x40, 0x16, 0, 1));
    EXPECT_EQ(current(), 0);

    ui.clear();
    ui.language = 0;
    EXPECT_TRUE(sel.selectById(0xC2, 0x20, 0x15, 0, 1));
    EXPECT_EQ(current(), 8);
    EXPECT_EQ(ui.texts(RecordingUi::Event::Information),
              QStringList{QStringLiteral("检测到芯片：MX25L1606E\n\n芯片类型 ：SPI_FLASH")});
}

TEST_F(ChipSelectionTest, VariantFlagClearTakesTheNextModelAfterTheFirstType)
{
    // Type position 0: the flag does not matter.
    EXPECT_TRUE(sel.selectById(0xEF, 0x40, 0x16, 0, 0));
    EXPECT_EQ(current(), 0);

    EXPECT_TRUE(sel.selectById(0x1F, 0x00, 0x01, 1, 1));
    EXPECT_EQ(current(), 3);
    EXPECT_TRUE(sel.selectById(0x1F, 0x00, 0x01, 1, 0x02));  // bit 0 clear
    EXPECT_EQ(current(), 9);
    EXPECT_EQ(saved(), (std::vector<int>{1, 0, 1}));

    // The rule looks at the found entry's type, not at the detected class.
    EXPECT_TRUE(sel.selectById(0xEF, 0x40, 0x16, 1, 0));
    EXPECT_EQ(current(), 0);

    // The found model is the last: no model follows it.
    ui.clear();
    state.chips()[12] = chip("24_EEPROM,ATMEL,AT24C16", 0x1F0003, 2048, 1);
    EXPECT_TRUE(sel.selectById(0x1F, 0x00, 0x03, 1, 0));
    EXPECT_EQ(sel.modelPosition(), 4);
    EXPECT_TRUE(shownModel().isEmpty());
    EXPECT_EQ(ui.texts(RecordingUi::Event::Information),
              QStringList{"The chip was detected:\n\n Chip type24_EEPROM"});
}

TEST_F(ChipSelectionTest, UnknownIdentifierFallsBackToTheDetectedClass)
{
    sel.setSavedPositions(0, 1, 1);
    EXPECT_FALSE(sel.selectById(0x12, 0x0A, 0x05, 1, 1));
    EXPECT_EQ(current(), 3) << "the class code picks the type list position";
    EXPECT_EQ(sel.typePosition(), 1);
    EXPECT_EQ(saved(), (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(ui.errors(), QStringList{"Unknown chip ID =12 0A 05Please choose the compatibility type manually."});
    EXPECT_TRUE(ui.texts(RecordingUi::Event::Information).isEmpty());

    // An identifier of 0 is never looked up, though entries carry 0.
    ui.clear();
    ui.language = 1;
    EXPECT_FALSE(sel.selectById(0, 0, 0, 2, 1));
    EXPECT_EQ(current(), 7);
    EXPECT_EQ(ui.errors(), QStringList{QStringLiteral("未知型號芯片ID =00 00 00請手動選擇兼容型號。")});
}

TEST(ChipSelectionText, CapacityAndCaseRules)
{
    EXPECT_EQ(capacityText(1048576), "1024KB");
    EXPECT_EQ(capacityText(1048577), "1MB");
    EXPECT_EQ(capacityText(1024), "1024");
    EXPECT_EQ(capacityText(1025), "1KB");
    EXPECT_EQ(capacityText(0), "0");
    EXPECT_EQ(capacityText(2047), "1KB");
    EXPECT_EQ(capacityText(67108864), "64MB");
    EXPECT_EQ(capacityText(0xFFFFFFFFu), "4095MB");

    const Names list{"Winbond", "\xC3\x89" "ON", ""};
    EXPECT_EQ(ChipSelection::positionOf(list, "WINBOND"), 0);
    EXPECT_EQ(ChipSelection::positionOf(list, "\xC3\x89" "on"), 1);
    EXPECT_EQ(ChipSelection::positionOf(list, "\xC3\xA9" "ON"), -1) << "only ASCII letters fold";
    EXPECT_EQ(ChipSelection::positionOf(list, ""), 2);
    EXPECT_EQ(ChipSelection::positionOf(list, "Winbond "), -1);
    EXPECT_EQ(ChipSelection::textAt(list, 3), "");
    EXPECT_EQ(ChipSelection::textAt(list, -1), "");
}

// The selection on its own parts: what a choice sets beyond the lists reaches
// the target, in this order, and only when an entry becomes current.
class EffectLog final : public ChipSelectionTarget, public ChipSelectionObserver {
public:
    const ChipTable& table;
    QStringList events;
    explicit EffectLog(const ChipTable& t) : table(t) {}
    void currentChipChanged(const ChipEntry& chip) override { events << QString("current %1").arg(&chip - &table[0]); }
    void speedChosen(int speedIndex) override { events << QString("speed %1").arg(speedIndex); }
    void reloadFlashView(const ChipEntry& chip) override { events << QString("view %1").arg(&chip - &table[0]); }
    void chipBecameCurrent(int index) override { events << QString("became %1").arg(index); }
    void listsRebuilt() override { events << "rebuilt"; }
};

TEST(ChipSelectionParts, ChoiceReachesTheTargetInOrder)
{
    ChipTable table;
    fillTable(table, {makeChip({.key = "SPI_FLASH,WINBOND,W25Q32", .id = 0xEF4016, .flash = 4096, .page = 256}),
                      makeChip({.key = "24_EEPROM,ATMEL,AT24C02", .id = 0x1F0001, .flash = 256, .page = 8,
                                .chipClass = 1})});
    RecordingUi ui;
    EffectLog log(table);
    ChipSelection sel(table, log, ui);
    sel.setObserver(&log);
    const struct {
        const char* what;
        std::function<void()> act;
        QStringList events;
        int current;
    } cases[] = {
        {"a flash", [&] { sel.apply(0, 0, 0); }, {"current 0", "speed 0", "became 0", "view 0", "rebuilt"}, 0},
        {"an EEPROM", [&] { sel.apply(1, 0, 0); }, {"current 1", "speed 2", "became 1", "view 1", "rebuilt"}, 1},
        {"no match keeps the chip", [&] { sel.apply(1, 0, 5); }, {"view 1", "rebuilt"}, 1},
        {"an index", [&] { sel.setCurrentChipIndex(0); }, {"current 0"}, 0},
        {"past the table", [&] { sel.setCurrentChipIndex(ChipTable::kCapacity); }, {}, 0},
        {"below it", [&] { sel.setCurrentChipIndex(-1); }, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        log.events.clear();
        c.act();
        EXPECT_EQ(log.events, c.events);
        EXPECT_EQ(sel.currentChipIndex(), c.current);
        EXPECT_EQ(&sel.currentChip(), &table[c.current]);
    }
    EXPECT_TRUE(ui.errors().isEmpty());
}

} // namespace
