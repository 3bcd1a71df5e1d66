#include "chipdb/ChipGrid.h"

#include "app/FileWrite.h"
#include "app/IntegerText.h"
#include "chipdb/ChipKey.h"

#include <QFile>

#include <memory>

namespace {

QString u8(const QByteArray& b) { return QString::fromUtf8(b); }

QString fileNamePart(const QString& text)
{
    const int cut = std::max(text.lastIndexOf(QLatin1Char('\\')), text.lastIndexOf(QLatin1Char(':')));
    return text.mid(cut + 1);
}

} // namespace

QStringList ChipGrid::headings()
{
    return {QStringLiteral("芯片类型"), QStringLiteral("芯片厂家"), QStringLiteral("芯片型号"),
            QStringLiteral("芯片ID"), QStringLiteral("FLASH"), QStringLiteral("FLASH页"),
            QStringLiteral("类型"), QStringLiteral("子类型"), QStringLiteral("擦除延时"),
            QStringLiteral("工作电压"), QStringLiteral("EEPROM"), QStringLiteral("EEPROM页"),
            QStringLiteral("写入延时"), QStringLiteral("接口"), QStringLiteral("关联XML")};
}

std::array<int, ChipGrid::kVisibleColumns> ChipGrid::columnWidths()
{
    return {75, 75, 75, 60, 60, 60, 70, 110, 60, 60, 75, 60, 60, 80, 80};
}

ChipGrid::ChipGrid()
{
    setRowCount(2);
    const QStringList h = headings();
    for (int c = 0; c < kVisibleColumns; ++c)
        rows_[0][static_cast<std::size_t>(c)] = h[c];
}

void ChipGrid::setRowCount(int rows)
{
    rowCount_ = std::max(rows, 1);
    if (rows_.size() < static_cast<std::size_t>(rowCount_))
        rows_.resize(static_cast<std::size_t>(rowCount_));
}

QString ChipGrid::cell(int col, int row) const
{
    if (col < 0 || col >= kColumns || row < 0 || row >= rowCount_)
        return {};
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void ChipGrid::setCell(int col, int row, const QString& text)
{
    if (col < 0 || col >= kColumns || row < 0 || row >= rowCount_)
        return;
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = text;
}

QString ChipGrid::trimmedCell(int col, int row) const
{
    return u8(trimControl(cell(col, row).toUtf8()));
}

void ChipGrid::writeRow(int row, const ChipEntry& e, bool subtypeInHex)
{
    const ChipNames names = chipNames(e.keyText());
    setCell(ColType, row, u8(names.type));
    setCell(ColManufacturer, row, u8(names.manufacturer));
    setCell(ColModel, row, u8(names.model));
    setCell(ColId, row, QString::asprintf("0x%X", static_cast<unsigned>(e.chipId())));
    setCell(ColFlash, row, QString::number(e.flashBytes()));
    setCell(ColFlashPage, row, QString::number(e.flashPage()));
    setCell(ColClass, row, QString::number(e.chipClass));
    setCell(ColSubtype, row, subtypeInHex ? QString::asprintf("0x%X", e.subtype) : QString::number(e.subtype));
    setCell(ColEraseDelayShown, row, QString::number(e.eraseDelayValue()));
    setCell(ColVoltage, row, QString::number(e.voltageCode));
    setCell(ColEeprom, row, QString::number(e.eepromBytes()));
    setCell(ColEepromPage, row, QString::number(e.eepromPageSize));
    setCell(ColEraseDelay, row, QString::number(e.eraseDelayValue()));
    setCell(ColInterface, row, QString::number(e.interfaceCode));
    setCell(ColAssociation, row, QStringLiteral("0"));
}

void ChipGrid::fillFrom(const ChipTable& table)
{
    setRowCount(2);
    int row = 1;
    for (int i = 0; i < ChipTable::kCapacity && !table[i].isEnd(); ++i, ++row) {
        writeRow(row, table[i], true);
        setRowCount(rowCount_ + 1);
    }
    setRowCount(rowCount_ - 1);
}

void ChipGrid::addRowFromFirstEntry(const ChipTable& table)
{
    setRowCount(rowCount_ + 1);
    const int row = rowCount_ - 1;
    // The editor shows a copied row's subtype in decimal.
    writeRow(row, table[0], false);
}

void ChipGrid::deleteRow(int row)
{
    if (rowCount_ < 2 || row < 1 || row >= rowCount_)
        return;
    for (int r = row; r + 1 < rowCount_; ++r)
        rows_[static_cast<std::size_t>(r)] = rows_[static_cast<std::size_t>(r + 1)];
    setRowCount(rowCount_ - 1);
}

void ChipGrid::importLines(const QList<QByteArray>& lines)
{
    setRowCount(2);
    for (int i = 0; i < lines.size(); ++i) {
        const QList<QByteArray> fields = SplitChipKey(lines[i], '\t');
        for (int j = 0; j < fields.size() && j < kColumns; ++j)
            setCell(j, i + 1, u8(trimControl(fields[j])));
        setRowCount(rowCount_ + 1);
    }
    setRowCount(rowCount_ - 1);
}

QStringList ChipGrid::exportLines() const
{
    QStringList lines;
    for (int r = 1; r < rowCount_; ++r) {
        QString line = trimmedCell(0, r);
        for (int c = 1; c < kColumns; ++c)
            line += QLatin1Char('\t') + trimmedCell(c, r);
        lines << line;
    }
    return lines;
}

std::optional<ChipGrid::SaveError> ChipGrid::saveInto(ChipTable& table) const
{
    const int entries = rowCount_ - 1;
    if (entries > ChipTable::kCapacity - 1)
        return SaveError{Msg::ChipListTooManyRows, QString::number(entries)};
    // Everything is converted into a copy first, so a refusal changes nothing.
    auto work = std::make_unique<ChipTable>();
    for (int i = 0; i < ChipTable::kCapacity; ++i)
        (*work)[i] = table[i];
    for (int r = 1; r < rowCount_; ++r) {
        ChipEntry& e = (*work)[r - 1];
        const QByteArray key = (trimmedCell(ColType, r) + QLatin1Char(',') + trimmedCell(ColManufacturer, r)
                                + QLatin1Char(',') + trimmedCell(ColModel, r) + QLatin1Char(',')
                                + fileNamePart(trimmedCell(ColAssociation, r))).toUtf8();
        if (!e.setKeyText(key))
            return SaveError{Msg::ChipKeyTooLong, QString::fromUtf8(key)};
        const int columns[] = {ColId, ColFlash, ColFlashPage, ColClass, ColSubtype, ColVoltage,
                               ColEeprom, ColEepromPage, ColEraseDelay, ColInterface};
        int32_t v[std::size(columns)];
        for (std::size_t k = 0; k < std::size(columns); ++k) {
            const QString text = cell(columns[k], r);
            const std::optional<int32_t> value = parseInteger(text);
            if (!value)
                return SaveError{Msg::ChipListCellNotInteger, text};
            v[k] = *value;
        }
        e.setChipId(v[0]);
        e.setFlashBytes(static_cast<uint32_t>(v[1]));
        e.setFlashPage(static_cast<uint16_t>(v[2]));
        e.chipClass = static_cast<uint8_t>(v[3]);
        e.subtype = static_cast<uint8_t>(v[4]);
        e.voltageCode = static_cast<uint8_t>(v[5]);
        e.setEepromBytes(static_cast<uint16_t>(v[6]));
        e.eepromPageSize = static_cast<uint8_t>(v[7]);
        e.setEraseDelay(static_cast<uint16_t>(v[8]));
        e.interfaceCode = static_cast<uint8_t>(v[9]);
    }
    std::memset(&(*work)[entries], 0, 20);
    for (int i = 0; i < ChipTable::kCapacity; ++i)
        table[i] = (*work)[i];
    return std::nullopt;
}

QStringList ChipGrid::microwireLabels()
{
    QStringList labels;
    for (const char* pe : {"PE=0", "PE=1"})
        for (const char* org : {"8", "16"})
            for (const char* part : {"93C46", "93C56", "93C66", "93C76", "93C86"})
                labels << QStringLiteral("%1@%2 %3").arg(QLatin1String(part), QLatin1String(org), QLatin1String(pe));
    // Left column (PE=0: @8 then @16), then the right column (PE=1: @8 then @16).
    return labels;
}

int ChipGrid::microwirePositionOfCode(int code)
{
    int pos;
    if (code & 0x20) {
        const int rest = code & ~0x20;
        pos = rest > 79 ? rest - 71 : rest + 3;
    } else {
        pos = code > 79 ? code - 81 : code - 7;
    }
    return (pos >= 0 && pos < 20 && microwireCodeOfPosition(pos) == code) ? pos : -1;
}

int ChipGrid::microwireCodeOfPosition(int position)
{
    if (position < 0 || position >= 20)
        return -1;
    if (position < 5) return 7 + position;
    if (position < 10) return position + 81;
    if (position < 15) return position + 29;
    return position + 103;
}

QString ChipGrid::SaveError::text(int languageIndex) const
{
    const QString text = messageText(message, languageIndex);
    switch (message) {
    case Msg::ChipListCellNotInteger: return text.arg(detail);
    case Msg::ChipKeyTooLong: return text + detail;
    default: return text;
    }
}

QList<QByteArray> readLines(const QByteArray& content)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = content.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = content[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(content.mid(start, i - start));
        if (c == '\r' && i + 1 < n && content[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    // A final line end does not start another line.
    if (start < n)
        lines.append(content.mid(start));
    return lines;
}

std::optional<QList<QByteArray>> readLinesOfFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return readLines(file.readAll());
}

QByteArray textOfLines(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + '\n';
    return bytes;
}

bool writeLinesToFile(const QString& path, const QStringList& lines, QString& error)
{
    const QByteArray bytes = textOfLines(lines);
    return writeFileSafely(path, [&](QIODevice& file) { return writeAll(file, bytes.constData(), bytes.size()); }, &error)
           == FileWrite::Written;
}
