#include "chipdb/Xmlparser.h"
#include "fuses/FuseState.h"
#include "support/RecordingUi.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString kBundled = QStringLiteral(KTR_SOURCE_DIR "/data/xml/0.xml");

TEST(BundledFuseDescription, ParsesWithoutAnyMessage)
{
    QFile f(kBundled);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.readAll().trimmed().startsWith("<?")) << "no declaration: the reader would take it for an element";
    for (int language : {0, 1, 2}) {
        RecordingUi ui;
        ui.language = language;
        const std::optional<FuseDescription> d = ReadFuseDescription(kBundled, ui);
        ASSERT_TRUE(d);
        EXPECT_TRUE(ui.errors().isEmpty()) << ui.errors().join('\n').toStdString();
        for (const FuseSetting& s : d->settings) {
            EXPECT_FALSE(s.caption.trimmed().isEmpty());
            EXPECT_NE(s.mask, 0) << s.caption.toStdString();
            EXPECT_EQ(s.value & ~s.mask, 0) << "value outside its mask: " << s.caption.toStdString();
        }
    }
}

TEST(BundledFuseDescription, DescribesTheFamilyWithFactoryDefaults)
{
    RecordingUi ui;
    const std::optional<FuseDescription> d = ReadFuseDescription(kBundled, ui);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->fuseByteCount, 3);
    ASSERT_EQ(d->bytes.size(), 4u);
    const uint8_t defaults[] = {0x62, 0xD9, 0xFF, 0xFF};
    const std::array<const char*, 8> bits[] = {
        {"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", "SUT1", "CKOUT", "CKDIV8"},
        {"BOOTRST", "BOOTSZ0", "BOOTSZ1", "EESAVE", "WDTON", "SPIEN", "DWEN", "RSTDISBL"},
        {"BODLEVEL0", "BODLEVEL1", "BODLEVEL2", "", "", "", "", ""},
        {"LB1", "LB2", "BLB01", "BLB02", "BLB11", "BLB12", "", ""},
    };
    for (std::size_t n = 0; n < 4; ++n) {
        EXPECT_EQ(d->bytes[n].defaultValue, defaults[n]) << n;
        for (std::size_t k = 0; k < 8; ++k)
            EXPECT_EQ(d->bytes[n].bits[k], QString::fromLatin1(bits[n][k])) << n << ' ' << k;
    }

    // Every setting of a byte that shares bits with another is a choice:
    // with the defaults exactly one of each group is on.
    FuseState state;
    ASSERT_EQ(ReloadFusesForChipChange(state, kBundled, ui), FuseLoad::Loaded);
    auto onCount = [&](uint8_t byteIndex, uint8_t mask) {
        int on = 0;
        for (std::size_t i = 0; i < state.settings().size(); ++i) {
            const FuseSetting& s = state.settings()[i];
            if (s.byteIndex == byteIndex && s.mask == mask)
                on += state.isChecked(static_cast<int>(i));
        }
        return on;
    };
    EXPECT_EQ(onCount(0, 0x0F) + onCount(0, 0x0E), 1) << "clock source";
    EXPECT_EQ(onCount(0, 0x30), 1) << "start-up time";
    EXPECT_EQ(onCount(1, 0x06), 1) << "boot size";
    EXPECT_EQ(onCount(2, 0x07), 1) << "brown-out level";
    EXPECT_EQ(onCount(3, 0x03), 1) << "lock mode";
    EXPECT_EQ(onCount(1, 0x20), 1) << "SPIEN is programmed by default";
    EXPECT_EQ(onCount(1, 0x80), 0) << "RSTDISBL is not";
    EXPECT_TRUE(ui.errors().isEmpty());
}

} // namespace
