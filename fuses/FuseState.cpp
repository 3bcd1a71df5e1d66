#include "fuses/FuseState.h"

#include "app/IntegerText.h"

#include <QFile>
#include <bit>

namespace {

const QString kSixSpaces = QStringLiteral("      ");

QString hexValue(uint32_t value)
{
    return QString::asprintf("0x%x", value);
}

// A value cell's text as a number: trimmed, inner blanks read as zeros.
std::optional<int32_t> cellNumber(const QString& text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    return parseInteger(t.replace(QLatin1Char(' '), QLatin1Char('0')));
}

// The grid never offers these two bits: toggling them by a stray click can
// lock the chip out of serial programming.
bool isProtectedBit(const QString& name)
{
    return name == QLatin1String("SPIEN") || name == QLatin1String("RSTDISBL");
}

} // namespace

bool FuseState::isChecked(int line) const
{
    return line >= 0 && line < static_cast<int>(checked_.size()) && checked_[static_cast<std::size_t>(line)];
}

int FuseState::bitImage(int column, int row) const
{
    if (column < 1 || column >= grid_.columnCount() || !FuseGrid::isBitRow(row))
        return -1;
    const std::optional<int32_t> value = cellNumber(grid_.cell(column, FuseGrid::kValueRow));
    if (!value)
        return -1;
    return (static_cast<uint32_t>(*value) >> (row - FuseGrid::kFirstBitRow)) & 1u;
}

void FuseState::applyDescription(const FuseDescription& d)
{
    fuseByteCount_ = d.fuseByteCount;
    descriptionLoaded_ = true;
    settings_ = d.settings;
    checked_.assign(settings_.size(), false);
    grid_.setColumnCount(2);
    for (int k = 0; k < FuseGrid::kRowCount; ++k)
        grid_.setCell(1, k, QString());
    for (std::size_t n = 0; n < d.bytes.size() && n < current_.size(); ++n) {
        const FuseByteDescription& b = d.bytes[n];
        const int column = static_cast<int>(n) + 1;
        grid_.setColumnCount(column + 1);
        defaults_[n] = current_[n] = b.defaultValue;
        grid_.setCell(column, 0, QStringLiteral("    ") + b.name);
        grid_.setCell(column, FuseGrid::kValueRow, kSixSpaces + hexValue(current_[n]));
        for (int k = 0; k < 8; ++k) {
            const QString& bit = b.bits[static_cast<std::size_t>(k)];
            grid_.setCell(column, FuseGrid::kFirstBitRow + k, bit.isEmpty() ? QString() : kSixSpaces + bit);
        }
    }
    calibration_ = d.calibration;
    calibrationMask_ = d.calibrationMask;
}

void RefreshSettingChecks(FuseState& state)
{
    state.checked_.resize(state.settings_.size());
    for (std::size_t i = 0; i < state.settings_.size(); ++i) {
        const FuseSetting& s = state.settings_[i];
        state.checked_[i] = (state.current_[s.byteIndex % FuseState::kMaxBytes] & s.mask) == s.value;
    }
}

void FuseState::showValues(int firstColumn, int lastColumn)
{
    for (int column = std::max(firstColumn, 1); column <= lastColumn && column < grid_.columnCount(); ++column)
        grid_.setCell(column, FuseGrid::kValueRow, hexValue(current_[static_cast<std::size_t>(column - 1)]));
}

void FuseState::clickSetting(int line, bool ticked)
{
    if (line < 0 || line >= static_cast<int>(settings_.size()))
        return;
    const FuseSetting& s = settings_[static_cast<std::size_t>(line)];
    uint8_t& byte = current_[s.byteIndex % kMaxBytes];
    if (ticked)
        byte = static_cast<uint8_t>((byte & ~s.mask) | s.value);
    else if (std::popcount(s.mask) <= 1)
        byte |= s.mask;
    RefreshSettingChecks(*this);
    showValues(1, byteColumnCount());
}

std::optional<QString> FuseState::clickCell(int column, int row)
{
    if (column < 1 || column >= grid_.columnCount())
        return std::nullopt;
    if (row == FuseGrid::kValueRow) {
        editColumn_ = column;
        editRow_ = row;
        return grid_.cell(column, row).trimmed().replace(QLatin1Char(' '), QLatin1Char('0'));
    }
    if (FuseGrid::isBitRow(row))
        toggleBit(column, row);
    return std::nullopt;
}

void FuseState::toggleBit(int column, int row)
{
    if (grid_.cell(column, FuseGrid::kValueRow).trimmed().isEmpty())
        return;
    const QString name = grid_.cell(column, row).trimmed();
    if (name.isEmpty() || isProtectedBit(name))
        return;
    const std::optional<int32_t> number = cellNumber(grid_.cell(column, FuseGrid::kValueRow));
    if (!number)
        return;
    const uint32_t value = static_cast<uint32_t>(*number) ^ (1u << (row - FuseGrid::kFirstBitRow));
    grid_.setCell(column, FuseGrid::kValueRow, hexValue(value));
    current_[static_cast<std::size_t>(column - 1)] = static_cast<uint8_t>(value);
    RefreshSettingChecks(*this);
}

bool FuseState::finishValueEdit(const QString& editorText)
{
    QString text = editorText.trimmed();
    if (text == QLatin1String("0x"))
        return false;
    text.replace(QLatin1Char(' '), QLatin1Char('0'));
    const std::optional<int32_t> number = parseInteger(text);
    if (!number)
        return false;
    if (editColumn_ >= 1 && editColumn_ < grid_.columnCount()) {
        grid_.setCell(editColumn_, editRow_, text);
        current_[static_cast<std::size_t>(editColumn_ - 1)] = static_cast<uint8_t>(*number);
    }
    RefreshSettingChecks(*this);
    return true;
}

bool FuseState::acceptsValueKey(QChar key)
{
    return isHexFieldKey(key);
}

void FuseState::resetFusesToDefaults()
{
    for (int i = 0; i < fuseByteCount_ && i < kMaxBytes; ++i)
        current_[static_cast<std::size_t>(i)] = defaults_[static_cast<std::size_t>(i)];
    RefreshSettingChecks(*this);
    showValues(1, byteColumnCount());
}

void FuseState::fuseBytesRead()
{
    RefreshSettingChecks(*this);
    showValues(1, fuseByteCount_);
}

void FuseState::lockByteRead()
{
    RefreshSettingChecks(*this);
    showValues(1, byteColumnCount());
}

void FuseState::setFuseByte(int index, uint8_t value)
{
    if (index < 0 || index >= kMaxBytes)
        return;
    current_[static_cast<std::size_t>(index)] = value;
    RefreshSettingChecks(*this);
    showValues(index + 1, index + 1);
}

bool LoadFuseDescription(FuseState& state, const QString& path, UserInterface& ui)
{
    const std::optional<FuseDescription> description = ReadFuseDescription(path, ui);
    if (!description)
        return false;
    state.applyDescription(*description);
    return true;
}

FuseLoad ReloadFusesForChipChange(FuseState& state, const QString& path, UserInterface& ui)
{
    if (!QFile::exists(path))
        return FuseLoad::NoFile;
    if (!LoadFuseDescription(state, path, ui))
        return FuseLoad::Refused;
    RefreshSettingChecks(state);
    return FuseLoad::Loaded;
}
