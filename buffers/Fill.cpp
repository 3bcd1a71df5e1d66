#include "buffers/Fill.h"

#include "app/IntegerText.h"
#include "app/UserInterface.h"
#include "buffers/Buffers.h"

#include <QDateTime>

#include <cstring>

bool FillFlash(Buffers& buffers, FillKind kind, const FillFields& fields, uint32_t seed, UserInterface& ui,
               ByteView* view)
{
    const auto byteValue = parseHexField(fields.byteValue);
    const auto wordValue = parseHexField(fields.wordValue);
    const auto startValue = parseHexField(fields.start);
    const auto endValue = parseHexField(fields.end);
    if (!byteValue || !wordValue || !startValue || !endValue) {
        ui.showError(ui.message(Msg::FillFieldEmpty));
        return false;
    }
    // Eight digits read as 32 bits; above the buffer either way.
    const uint32_t s = uint32_t(*startValue);
    const uint32_t e = uint32_t(*endValue);
    if (s > e || e >= uint64_t(Buffers::kFlashCapacity)) {
        ui.showError(ui.message(Msg::FillRangeInvalid));
        return false;
    }
    // Words start at even addresses; an odd start backs up one byte.
    const uint32_t first = kind == FillKind::Word ? s & ~1u : s;
    buffers.flashAboutToChange(first, qint64(e) + 1 - first);
    uint8_t* const flash = buffers.flashArea().span(0, qint64(e) + 1);
    switch (kind) {
    case FillKind::Byte:
        std::memset(flash + s, uint8_t(*byteValue), size_t(e - s) + 1);
        break;
    case FillKind::Word: {
        // An odd-sized range leaves its last byte as it was.
        uint32_t p = first;
        for (uint32_t words = (e - s + 1) / 2; words > 0; --words, p += 2) {
            flash[p] = uint8_t(*wordValue);
            flash[p + 1] = uint8_t(uint32_t(*wordValue) >> 8);
        }
        break;
    }
    case FillKind::Random: {
        FillRandom random(seed);
        for (uint64_t a = s; a <= e; ++a)
            flash[a] = uint8_t(random.next());
        break;
    }
    }
    if (view)
        view->loadArea(buffers.flashArea(), qint64(e) + 1);
    buffers.setFlashLength(int32_t(e + 1));
    return true;
}

bool FillFlash(Buffers& buffers, FillKind kind, const FillFields& fields, UserInterface& ui, ByteView* view)
{
    const auto seed = uint32_t(QDateTime::currentSecsSinceEpoch());
    return FillFlash(buffers, kind, fields, seed, ui, view);
}

QString fillEndText(uint32_t chipFlashBytes)
{
    return QString::number(chipFlashBytes - 1u, 16).toUpper();
}
