#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/FileArgs.h"

#include <algorithm>

// convert IN OUT: an Open of IN into the buffer, then a Save of the loader's
// data length to OUT, each with the window's messages.
int cmdConvert(CliSession& s, const QStringList& words)
{
    const MemoryPage page = s.isSet(QStringLiteral("eeprom")) ? MemoryPage::Eeprom : MemoryPage::Flash;
    const auto inFormat = formatOption(s, QStringLiteral("in-format"));
    const auto outFormat = formatOption(s, QStringLiteral("format"));
    if (!inFormat || !outFormat)
        return kExitUsage;
    if (!checkInput(s, words[0]) || !checkOutput(s, words[1]) || !loadInput(s, words[0], page, *inFormat))
        return kExitFailed;
    if (s.stopRequested()) {
        s.ui().showError(s.message(Msg::StoppedByUser));
        return kExitStopped;
    }
    const Buffers& b = s.state().buffers();
    const bool eeprom = page == MemoryPage::Eeprom;
    const qint64 length = std::clamp<qint64>(eeprom ? b.eepromLength() : b.flashLength(), 0,
                                             eeprom ? Buffers::kEepromCapacity : Buffers::kFlashCapacity);
    const ErasedArea& area = eeprom ? b.eepromArea() : b.flashArea();
    return writeOutput(s, words[1], area.bytes(0, length), length, *outFormat) ? kExitOk : kExitFailed;
}
