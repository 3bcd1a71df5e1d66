#include "fuses/FuseGrid.h"

FuseGrid::FuseGrid()
{
    std::array<QString, kRowCount> labels;
    labels[0] = QStringLiteral("Name");
    labels[kValueRow] = QStringLiteral("Vale");
    for (int k = 0; k < 8; ++k)
        labels[static_cast<std::size_t>(kFirstBitRow + k)] = QStringLiteral("Bit %1").arg(k);
    columns_.push_back(labels);
    setColumnCount(2);
}

void FuseGrid::setColumnCount(int count)
{
    columns_.resize(static_cast<std::size_t>(count < 1 ? 1 : count));
}

QString FuseGrid::cell(int column, int row) const
{
    if (column < 0 || column >= columnCount() || row < 0 || row >= kRowCount)
        return {};
    return columns_[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

void FuseGrid::setCell(int column, int row, const QString& text)
{
    if (column < 0 || column >= columnCount() || row < 0 || row >= kRowCount)
        return;
    columns_[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)] = text;
}
