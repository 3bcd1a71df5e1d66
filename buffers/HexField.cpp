#include "buffers/HexField.h"

#include "app/UserInterface.h"

std::optional<uint32_t> hexFieldFailure(bool beyondLine, UserInterface& ui)
{
    ui.showError(beyondLine ? QStringLiteral("Illegal Line found") : QStringLiteral("Illegal Char in File"));
    return std::nullopt;
}
