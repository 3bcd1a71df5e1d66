#include "cli/FileArgs.h"

#include "cli/CliSession.h"

#include <QFileDevice>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// "-" and the names of the program's own standard input or output: the
// streams themselves, never a file to replace.
bool isStandardInput(const QString& path)
{
    return path == QLatin1String("-") || ownStreamOf(path) == 0;
}

bool isStandardOutput(const QString& path)
{
    return path == QLatin1String("-") || ownStreamOf(path) == 1;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool refuse(CliSession& s, Msg what, const QString& path, const QString& reason)
{
    s.ui().showError(s.message(what) + path + QLatin1Char('\n') + reason);
    return false;
}

// 0 when the program may write there, else the reason's errno.
int writeAccess(const QString& path, int mode = W_OK)
{
    return ::access(QFile::encodeName(path).constData(), mode) == 0 ? 0 : errno;
}

} // namespace

std::optional<DataFormat> formatOption(CliSession& s, const QString& option)
{
    if (!s.isSet(option))
        return DataFormat::ByName;
    if (const FileFormat* f = formatNamed(s.value(option)))
        return f->format;
    s.usageError(QStringLiteral("--%1 takes %2, not '%3'").arg(option, formatWords(), s.value(option)));
    return std::nullopt;
}

bool checkInput(CliSession& s, const QString& path)
{
    if (isStandardInput(path))
        return s.dataIn() ? true : refuse(s, Msg::CliCannotReadFile, path, systemReason(EBADF));
    if (QFileInfo(path).isDir())
        return refuse(s, Msg::CliCannotReadFile, path, systemReason(EISDIR));
    // A trial open of a FIFO would take its writer's data with it, and the
    // real open would then wait for a writer that has gone.
    if (isSpecialFile(path)) {
        const int error = writeAccess(path, R_OK);
        return error == 0 || refuse(s, Msg::CliCannotReadFile, path, systemReason(error));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(s, Msg::CliCannotReadFile, path, file.errorString());
    return true;
}

bool checkOutput(CliSession& s, const QString& path)
{
    if (isStandardOutput(path))
        return s.dataOut() ? true : refuse(s, Msg::CliCannotWriteFile, path, systemReason(EBADF));
    if (ownStreamOf(path))
        return true;
    const QFileInfo info(path);
    if (info.isDir())
        return refuse(s, Msg::CliCannotWriteFile, path, systemReason(EISDIR));
    // A new file needs its folder; an existing one is replaced through its
    // folder or, where the folder takes no new file, written in place.
    const int folder = writeAccess(info.absolutePath(), W_OK | X_OK);
    if (!info.exists())
        return folder == 0 || refuse(s, Msg::CliCannotWriteFile, path, systemReason(folder));
    const bool special = isSpecialFile(path);
    // A file nobody may write is kept as the user made it, whoever runs the program.
    const bool readOnly = !special && !(info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    const int file = readOnly ? EACCES : writeAccess(path);
    if (file != 0)
        return refuse(s, Msg::CliCannotWriteFile, path, systemReason(file));
    // A FIFO or a device holds nothing that an overwrite could lose.
    return special || s.ui().askYesNo(s.message(Msg::FileExistsOverwrite));
}

bool loadInput(CliSession& s, const QString& path, MemoryPage page, DataFormat format)
{
    if (!checkInput(s, path))
        return false;
    Buffers& b = s.state().buffers();
    TerminalUi& ui = s.ui();
    const int before = ui.failureCount();
    const bool eeprom = page == MemoryPage::Eeprom;
    eeprom ? b.fillEeprom() : b.fillFlash();
    ErasedArea& area = eeprom ? b.eepromArea() : b.flashArea();
    const bool stream = isStandardInput(path);
    const int32_t length = stream ? LoadStreamIntoBuffer(*s.dataIn(), area, ui, format, path)
                                  : LoadFileIntoBuffer(path, area, ui, format);
    eeprom ? b.setEepromLength(length) : b.setFlashLength(length);
    ui.log(s.message(Msg::Open) + (stream ? path : QFileInfo(path).absoluteFilePath()));
    return ui.failureCount() == before;
}

std::optional<QByteArray> readInputFile(CliSession& s, const QString& path)
{
    if (!checkInput(s, path))
        return std::nullopt;
    // A record file of a whole buffer is a few times its size.
    const auto bytes = readInputBytes(s, path, kInputFileLimit);
    if (bytes)
        s.ui().log(s.message(Msg::Open) + (isStandardInput(path) ? path : QFileInfo(path).absoluteFilePath()));
    return bytes;
}

std::optional<QString> standardOutputFault(QTextStream& text, QIODevice* data)
{
    text.flush();
    auto* file = qobject_cast<QFileDevice*>(data);
    if (text.status() == QTextStream::Ok && (!file || file->flush()))
        return std::nullopt;
    return file ? file->errorString() : systemReason(EIO);
}

bool writeOutput(CliSession& s, const QString& path, const uint8_t* data, qint64 count, DataFormat format)
{
    if (isStandardOutput(path)) {
        QIODevice& out = *s.dataOut();
        s.out().flush();
        if (!WriteBufferToStream(out, data, count, format == DataFormat::ByName ? DataFormat::Raw : format))
            return refuse(s, Msg::CliCannotWriteFile, path, out.errorString());
        const std::optional<QString> fault = standardOutputFault(s.out(), &out);
        return !fault || refuse(s, Msg::CliCannotWriteFile, path, *fault);
    }
    QString reason;
    if (WriteBufferToFile(path, data, count, format, &reason) != FileWrite::Written)
        return refuse(s, Msg::CliCannotWriteFile, path, reason);
    return true;
}

bool writeOutputBytes(CliSession& s, const QString& path, const QByteArray& bytes)
{
    return writeOutput(s, path, reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size(), DataFormat::Raw);
}

std::optional<QByteArray> readInputBytes(CliSession& s, const QString& path, qint64 limit)
{
    QFile file;
    QIODevice* in = s.dataIn();
    if (!isStandardInput(path)) {
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly)) {
            refuse(s, Msg::CliCannotReadFile, path, file.errorString());
            return std::nullopt;
        }
        in = &file;
    }
    // A pipe gives what its writer has written so far: read on to its end.
    QByteArray bytes;
    while (bytes.size() <= limit) {
        // Bounded: a read asks for room for all it may return.
        const QByteArray part = in->read(std::min<qint64>(limit + 1 - bytes.size(), qint64(1) << 20));
        if (part.isEmpty())
            break;
        bytes += part;
    }
    if (bytes.size() > limit) {
        refuse(s, Msg::CliCannotReadFile, path, s.message(Msg::FileTooBig));
        return std::nullopt;
    }
    return bytes;
}
