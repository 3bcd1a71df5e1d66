#include "buffers/DataFile.h"

#include "app/UserInterface.h"
#include "buffers/ErasedArea.h"
#include "buffers/IntelHex.h"
#include "buffers/SRecord.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 kCapsuleHeader = 2048;

// The extension is what follows the file name's last dot, in any case.
QString extensionOf(const QString& path)
{
    return QFileInfo(path).suffix().toLower();
}

DataFormat openFormat(const QString& extension)
{
    if (extension == QLatin1String("hex"))
        return DataFormat::IntelHex;
    if (extension == QLatin1String("eep"))
        return DataFormat::ByName;  // decided by the first character
    if (extension == QLatin1String("cap"))
        return DataFormat::Capsule;
    return DataFormat::Raw;
}

DataFormat saveFormat(const QString& path, DataFormat format)
{
    if (format != DataFormat::ByName)
        return format;
    const QString extension = extensionOf(path);
    return extension == QLatin1String("src") ? DataFormat::SRecord
           : extension == QLatin1String("hex") ? DataFormat::IntelHex
                                                : DataFormat::Raw;
}

DataFormat byFirstCharacter(char first, bool any)
{
    return !any ? DataFormat::Raw : first == ':' ? DataFormat::IntelHex : first == 'S' ? DataFormat::SRecord
                                                                                       : DataFormat::Raw;
}

// Raw and capsule images: the whole file must fit the capacity, header
// included; a capsule shorter than its header holds nothing.
int32_t loadImage(QIODevice& file, qint64 skip, ErasedArea& destination, UserInterface& ui)
{
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

int32_t loadOpened(QIODevice& in, DataFormat format, ErasedArea& destination, UserInterface& ui)
{
    switch (format) {
    case DataFormat::IntelHex: return ReadIntelHex(in, destination, ui);
    case DataFormat::SRecord: return ReadSRecord(in, destination, ui);
    case DataFormat::Capsule: return loadImage(in, kCapsuleHeader, destination, ui);
    default: return loadImage(in, 0, destination, ui);
    }
}

} // namespace

DataFormat OpenFormatOf(const QString& path)
{
    return openFormat(extensionOf(path));
}

int32_t LoadFileIntoBuffer(const QString& path, ErasedArea& destination, UserInterface& ui, DataFormat format)
{
    if (format == DataFormat::ByName)
        format = OpenFormatOf(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui.showError(ui.message(Msg::CantOpenFile));
        return 0;
    }
    // A FIFO (a process substitution) tells no size either.
    if (file.isSequential())
        return LoadStreamIntoBuffer(file, destination, ui, format);
    if (format == DataFormat::ByName) {
        char first = 0;
        const bool any = file.getChar(&first);
        format = byFirstCharacter(first, any);
        file.seek(0);
    }
    return loadOpened(file, format, destination, ui);
}

int32_t LoadFileIntoBuffer(const QString& path, uint8_t* destination, qint64 capacity, UserInterface& ui,
                           DataFormat format)
{
    ErasedArea area = ErasedArea::over(destination, capacity);
    return LoadFileIntoBuffer(path, area, ui, format);
}

int32_t LoadStreamIntoBuffer(QIODevice& in, ErasedArea& destination, UserInterface& ui, DataFormat format)
{
    // A pipe tells no size and cannot go back: the loaders read a copy.
    QByteArray bytes = in.readAll();
    QBuffer copy(&bytes);
    copy.open(QIODevice::ReadOnly);
    if (format == DataFormat::ByName)
        format = byFirstCharacter(bytes.isEmpty() ? 0 : bytes[0], !bytes.isEmpty());
    return loadOpened(copy, format, destination, ui);
}

bool WriteBufferToStream(QIODevice& out, const uint8_t* source, qint64 count, DataFormat format)
{
    switch (format) {
    case DataFormat::IntelHex: return WriteIntelHex(out, source, count);
    case DataFormat::SRecord: return WriteSRecord(out, source, count);
    default: return out.write(reinterpret_cast<const char*>(source), count) == count;
    }
}

FileWrite WriteBufferToFile(const QString& path, const uint8_t* source, qint64 count, DataFormat format,
                            QString* error)
{
    format = saveFormat(path, format);
    return writeFileSafely(path, [&](QIODevice& file) { return WriteBufferToStream(file, source, count, format); },
                           error);
}

bool SaveBufferToFile(const QString& path, const uint8_t* source, qint64 count, UserInterface& ui, DataFormat format)
{
    // A FIFO or a device holds nothing that an overwrite could lose.
    if (QFileInfo::exists(path) && !isSpecialFile(path) && !ui.askYesNo(ui.message(Msg::FileExistsOverwrite)))
        return false;
    const DataFormat chosen = saveFormat(path, format);
    const FileWrite written = WriteBufferToFile(path, source, count, chosen);
    if (written == FileWrite::Written)
        return true;
    // The record writers fail as one; a raw file that cannot be created says so.
    const bool records = chosen == DataFormat::IntelHex || chosen == DataFormat::SRecord;
    ui.showError(ui.message(written == FileWrite::NotOpened && !records ? Msg::CreateFileFailed : Msg::ErrorWritingFile));
    return false;
}
