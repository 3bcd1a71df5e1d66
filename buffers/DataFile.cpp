#include "buffers/DataFile.h"

#include "app/UserInterface.h"
#include "buffers/ErasedArea.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The row that reads the file: the one named, else the one of its
// extension, else the one its content shows (said in the log).
const FileFormat& openingRow(QIODevice& in, const QString& name, DataFormat format, UserInterface& ui)
{
    if (format != DataFormat::ByName)
        return formatRow(format);
    if (const FileFormat* row = formatOfName(name); row && row->read)
        return *row;
    // A pipe's first read holds only what its writer has written so far: the
    // content decides on as much as a file of the same bytes would show.
    QByteArray head = in.peek(kRecognitionBytes);
    while (in.isSequential() && head.size() < kRecognitionBytes) {
        const QByteArray more = in.peek(kRecognitionBytes);
        if (more.size() <= head.size())
            break;
        head = more;
    }
    const DataFormat content = formatOfContent(head);
    ui.log(ui.message(Msg::ReadByContent).arg(QFileInfo(name).fileName(), formatTitle(content)));
    return formatRow(content);
}

} // namespace

int32_t LoadFileIntoBuffer(const QString& path, ErasedArea& destination, UserInterface& ui, DataFormat format)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui.showError(ui.message(Msg::CantOpenFile));
        return 0;
    }
    // A FIFO (a process substitution) tells no size either.
    if (file.isSequential())
        return LoadStreamIntoBuffer(file, destination, ui, format, path);
    return openingRow(file, path, format, ui).read(file, destination, ui);
}

int32_t LoadFileIntoBuffer(const QString& path, uint8_t* destination, qint64 capacity, UserInterface& ui,
                           DataFormat format)
{
    ErasedArea area = ErasedArea::over(destination, capacity);
    return LoadFileIntoBuffer(path, area, ui, format);
}

int32_t LoadStreamIntoBuffer(QIODevice& in, ErasedArea& destination, UserInterface& ui, DataFormat format,
                             const QString& name)
{
    return openingRow(in, name, format, ui).read(in, destination, ui);
}

bool WriteBufferToStream(QIODevice& out, const uint8_t* source, qint64 count, DataFormat format)
{
    return formatRow(saveFormatFor(QString(), format)).write(out, source, count);
}

FileWrite WriteBufferToFile(const QString& path, const uint8_t* source, qint64 count, DataFormat format,
                            QString* error)
{
    const FormatWriter write = formatRow(saveFormatFor(path, format)).write;
    return writeFileSafely(path, [&](QIODevice& file) { return write(file, source, count); }, error);
}

bool SaveBufferToFile(const QString& path, const uint8_t* source, qint64 count, UserInterface& ui, DataFormat format)
{
    // A FIFO, a device or an open stream holds nothing that an overwrite could lose.
    if (QFileInfo::exists(path) && !isSpecialFile(path) && !ui.askYesNo(ui.message(Msg::FileExistsOverwrite)))
        return false;
    const DataFormat chosen = saveFormatFor(path, format);
    QString reason;
    const FileWrite written = WriteBufferToFile(path, source, count, chosen, &reason);
    if (written == FileWrite::Written)
        return true;
    // The record writers fail as one; a raw file that cannot be created says so.
    const bool records = chosen == DataFormat::IntelHex || chosen == DataFormat::SRecord;
    const QString text =
        ui.message(written == FileWrite::NotOpened && !records ? Msg::CreateFileFailed : Msg::ErrorWritingFile);
    ui.showError(reason.isEmpty() ? text : text + QLatin1Char('\n') + reason);
    return false;
}
