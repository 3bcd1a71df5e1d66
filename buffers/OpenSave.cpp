#include "buffers/OpenSave.h"

#include "app/ProgramState.h"
#include "app/UserInterface.h"
#include "buffers/DataFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

QStringList nameFilters(const char* filter)
{
    const QStringList parts = QString::fromLatin1(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString pattern = QLatin1Char('(') + parts[i + 1] + QLatin1Char(')');
        filters << (description.endsWith(pattern) ? description : description + QLatin1Char(' ') + pattern);
    }
    return filters;
}

bool pageTakesFiles(const ProgramState& state, MemoryPage page)
{
    return page == MemoryPage::Flash || (page == MemoryPage::Eeprom && state.currentChip().eepromBytes() != 0);
}

OpenOutcome loadIntoBuffer(Buffers& buffers, MemoryPage page, const QString& path, UserInterface& ui,
                           const ChipEntry* viewChip)
{
    if (page == MemoryPage::Other)
        return OpenOutcome::Ignored;
    const QString logText = ui.message(Msg::Open) + QFileInfo(path).absoluteFilePath();
    // A file that cannot be opened must not cost the buffer its contents.
    if (QFile probe(path); !probe.open(QIODevice::ReadOnly)) {
        ui.showError(ui.message(Msg::CantOpenFile));
        ui.log(logText);
        return OpenOutcome::Unopened;
    }
    if (page == MemoryPage::Flash) {
        buffers.fillFlash();
        buffers.setFlashLength(LoadFileIntoBuffer(path, buffers.flash(), Buffers::kFlashCapacity, ui));
        if (viewChip)
            buffers.reloadFlashView(*viewChip);
    } else {
        buffers.fillEeprom();
        buffers.setEepromLength(LoadFileIntoBuffer(path, buffers.eeprom(), Buffers::kEepromCapacity, ui));
        if (viewChip)
            buffers.reloadEepromView(*viewChip);
    }
    ui.log(logText);
    return OpenOutcome::Loaded;
}

OpenOutcome openIntoPage(ProgramState& state, MemoryPage page, const QString& path)
{
    if (!pageTakesFiles(state, page))
        return OpenOutcome::Ignored;
    return loadIntoBuffer(state.buffers(), page, path, state.ui(), &state.currentChip());
}

bool saveFromBuffer(const Buffers& buffers, MemoryPage page, const QString& path, UserInterface& ui)
{
    // A data length beyond the buffer (a page-rounded write on an oversized
    // chip) saves the whole buffer, never what lies after it.
    switch (page) {
    case MemoryPage::Flash:
        return SaveBufferToFile(path, buffers.flash(), std::clamp<qint64>(buffers.flashLength(), 0, Buffers::kFlashCapacity), ui);
    case MemoryPage::Eeprom:
        return SaveBufferToFile(path, buffers.eeprom(),
                                std::clamp<qint64>(buffers.eepromLength(), 0, Buffers::kEepromCapacity), ui);
    default:
        return false;
    }
}

bool saveFromPage(ProgramState& state, MemoryPage page, const QString& path)
{
    return pageTakesFiles(state, page) && saveFromBuffer(state.buffers(), page, path, state.ui());
}
