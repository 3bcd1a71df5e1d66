#include "buffers/DataFile.h"

#include "app/FileWrite.h"
#include "app/UserInterface.h"
#include "buffers/ErasedArea.h"
#include "buffers/IntelHex.h"
#include "buffers/SRecord.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kCapsuleHeader = 2048;

enum class Format { Raw, Capsule, IntelHex, SRecord, ByFirstChar };

// The extension is what follows the file name's last dot, in any case.
QString extensionOf(const QString& path)
{
    return QFileInfo(path).suffix().toLower();
}

Format openFormat(const QString& extension)
{
    if (extension == QLatin1String("hex"))
        return Format::IntelHex;
    if (extension == QLatin1String("eep"))
        return Format::ByFirstChar;
    if (extension == QLatin1String("cap"))
        return Format::Capsule;
    return Format::Raw;
}

// Raw and capsule images: the whole file must fit the capacity, header
// included; a capsule shorter than its header holds nothing.
int32_t loadImage(const QString& path, qint64 skip, ErasedArea& destination, UserInterface& ui)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui.showError(ui.message(Msg::CantOpenFile));
        return 0;
    }
    const qint64 size = file.size();
    if (size > destination.capacity()) {
        ui.showError(ui.message(Msg::FileTooBig));
        return 0;
    }
    if (size <= skip || (skip > 0 && !file.seek(skip)))
        return 0;
    char* const into = reinterpret_cast<char*>(destination.span(0, size - skip));
    qint64 total = 0;
    while (total < size - skip) {
        const qint64 got = file.read(into + total, size - skip - total);
        if (got <= 0)
            break;
        total += got;
    }
    return int32_t(total);
}

} // namespace

int32_t LoadFileIntoBuffer(const QString& path, ErasedArea& destination, UserInterface& ui)
{
    Format format = openFormat(extensionOf(path));
    if (format == Format::ByFirstChar) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            ui.showError(ui.message(Msg::CantOpenFile));
            return 0;
        }
        char first = 0;
        const bool any = file.getChar(&first);
        format = !any ? Format::Raw : first == ':' ? Format::IntelHex : first == 'S' ? Format::SRecord : Format::Raw;
    }
    switch (format) {
    case Format::IntelHex: return ReadIntelHex(path, destination, ui);
    case Format::SRecord: return ReadSRecord(path, destination, ui);
    case Format::Capsule: return loadImage(path, kCapsuleHeader, destination, ui);
    default: return loadImage(path, 0, destination, ui);
    }
}

int32_t LoadFileIntoBuffer(const QString& path, uint8_t* destination, qint64 capacity, UserInterface& ui)
{
    ErasedArea area = ErasedArea::over(destination, capacity);
    return LoadFileIntoBuffer(path, area, ui);
}

bool SaveBufferToFile(const QString& path, const uint8_t* source, qint64 count, UserInterface& ui)
{
    // A FIFO or a device holds nothing that an overwrite could lose.
    if (QFileInfo::exists(path) && !isSpecialFile(path) && !ui.askYesNo(ui.message(Msg::FileExistsOverwrite)))
        return false;
    const QString extension = extensionOf(path);
    if (extension == QLatin1String("src") || extension == QLatin1String("hex")) {
        const bool written = extension == QLatin1String("src") ? WriteSRecord(path, source, count)
                                                               : WriteIntelHex(path, source, count);
        if (!written)
            ui.showError(ui.message(Msg::ErrorWritingFile));
        return written;
    }
    const FileWrite written = writeFileSafely(path, [&](QIODevice& file) {
        return file.write(reinterpret_cast<const char*>(source), count) == count;
    });
    if (written != FileWrite::Written)
        ui.showError(ui.message(written == FileWrite::NotOpened ? Msg::CreateFileFailed : Msg::ErrorWritingFile));
    return written == FileWrite::Written;
}
