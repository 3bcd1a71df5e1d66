#include "buffers/OpenSave.h"

#include "app/UserInterface.h"
#include "buffers/Buffers.h"
#include "buffers/DataFile.h"
#include "chipdb/ChipEntry.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

SaveChoice saveChoice(const QString& path, const QString& filter)
{
    const FileFormat* chosen = formatOfFilter(filter);
    if (!chosen)
        return {path, DataFormat::ByName};
    const QFileInfo info(path);
    if (info.suffix().isEmpty() && !info.fileName().isEmpty()) {
        const QString extension = QString::fromLatin1(chosen->extensions).section(QLatin1Char(' '), 0, 0);
        return {path + QLatin1Char('.') + extension, saveFormatFor(QString(), chosen->format)};
    }
    return {path, formatOfName(path) ? DataFormat::ByName : saveFormatFor(QString(), chosen->format)};
}

bool pageTakesFiles(const ChipEntry& chip, MemoryPage page)
{
    return page == MemoryPage::Flash || (page == MemoryPage::Eeprom && chip.eepromBytes() != 0);
}

namespace {

// Passes everything on and notes whether an error box was shown: a load
// reports every failure that way, while a result of 0 may also be a file
// that holds nothing.
class FailureWatch final : public UserInterface {
public:
    explicit FailureWatch(UserInterface& ui) : ui_(ui) {}
    bool failed() const { return failed_; }

    void showError(const QString& text) override
    {
        failed_ = true;
        ui_.showError(text);
    }
    bool askYesNo(const QString& text) override { return ui_.askYesNo(text); }
    void showInformation(const QString& text) override { ui_.showInformation(text); }
    void showMessage(const QString& caption, const QString& text) override { ui_.showMessage(caption, text); }
    void setStatus(const QString& text) override { ui_.setStatus(text); }
    void setElapsed(const QString& hhmmss) override { ui_.setElapsed(hhmmss); }
    void progressStart(qint64 maximum, ProgressKind kind) override { ui_.progressStart(maximum, kind); }
    void progressSet(qint64 position) override { ui_.progressSet(position); }
    void progressEnd() override { ui_.progressEnd(); }
    void log(const QString& text) override { ui_.log(text); }
    void pumpEvents() override { ui_.pumpEvents(); }
    bool stopRequested() const override { return ui_.stopRequested(); }
    bool askChipMismatch(const QString& text) override { return ui_.askChipMismatch(text); }
    void pause(int milliseconds) override { ui_.pause(milliseconds); }
    void beep() override { ui_.beep(); }
    void setControlsEnabled(bool enabled) override { ui_.setControlsEnabled(enabled); }
    int languageIndex() const override { return ui_.languageIndex(); }
    QString message(Msg id) const override { return ui_.message(id); }

private:
    UserInterface& ui_;
    bool failed_ = false;
};

// Loads into a blank work area, which takes the buffer's place only when the
// load went through: a faulty or oversized file costs nothing. The work area
// stores only what the file reaches. A buffer that holds nothing has nothing
// to lose and takes the file itself.
bool loadReplacing(const QString& path, ErasedArea& buffer, int32_t& length, UserInterface& ui)
{
    const bool blank = buffer.stored() == 0;
    ErasedArea scratch(blank ? 0 : buffer.capacity());
    ErasedArea& target = blank ? buffer : scratch;
    FailureWatch watch(ui);
    const int32_t n = LoadFileIntoBuffer(path, target, watch);
    if (watch.failed()) {
        if (blank)
            buffer.erase();
        return false;
    }
    if (!blank)
        std::swap(buffer, scratch);
    length = n;
    return true;
}

} // namespace

OpenOutcome loadIntoBuffer(Buffers& buffers, MemoryPage page, const QString& path, UserInterface& ui,
                           const ChipEntry* viewChip)
{
    if (page == MemoryPage::Other)
        return OpenOutcome::Ignored;
    const QString logText = ui.message(Msg::Open) + QFileInfo(path).absoluteFilePath();
    const bool flash = page == MemoryPage::Flash;
    int32_t length = 0;
    const bool loaded = loadReplacing(path, flash ? buffers.flashArea() : buffers.eepromArea(), length, ui);
    if (loaded && flash) {
        buffers.setFlashLength(length);
        if (viewChip)
            buffers.reloadFlashView(*viewChip);
    } else if (loaded) {
        buffers.setEepromLength(length);
        if (viewChip)
            buffers.reloadEepromView(*viewChip);
    }
    ui.log(logText);
    return loaded ? OpenOutcome::Loaded : OpenOutcome::Failed;
}

OpenOutcome openIntoPage(Buffers& buffers, const ChipEntry& chip, MemoryPage page, const QString& path,
                         UserInterface& ui)
{
    if (!pageTakesFiles(chip, page))
        return OpenOutcome::Ignored;
    return loadIntoBuffer(buffers, page, path, ui, &chip);
}

bool saveFromBuffer(const Buffers& buffers, MemoryPage page, const QString& path, UserInterface& ui,
                    DataFormat format)
{
    if (page == MemoryPage::Other)
        return false;
    // A data length beyond the buffer (a page-rounded write on an oversized
    // chip) saves the whole buffer, never what lies after it.
    const bool flash = page == MemoryPage::Flash;
    const ErasedArea& area = flash ? buffers.flashArea() : buffers.eepromArea();
    const qint64 n = std::clamp<qint64>(flash ? buffers.flashLength() : buffers.eepromLength(), 0, area.capacity());
    return SaveBufferToFile(path, area.bytes(0, n), n, ui, format);
}

bool saveFromPage(const Buffers& buffers, const ChipEntry& chip, MemoryPage page, const QString& path,
                  UserInterface& ui, DataFormat format)
{
    return pageTakesFiles(chip, page) && saveFromBuffer(buffers, page, path, ui, format);
}
