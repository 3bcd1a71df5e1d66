#include "buffers/HexField.h"

#include "buffers/RecordLines.h"

std::optional<uint32_t> hexFieldFailure(bool beyondLine, std::size_t column, const RecordPlace& place)
{
    place.fail(beyondLine ? QStringLiteral("Illegal Line found (the record is shorter than its fields)")
                          : QStringLiteral("Illegal Char in File (column %1)").arg(column));
    return std::nullopt;
}
