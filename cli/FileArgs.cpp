#include "cli/FileArgs.h"

#include "cli/CliSession.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

bool isStream(const QString& path)
{
    return path == QLatin1String("-");
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
    const QString name = s.value(option).toLower();
    if (name == QLatin1String("bin") || name == QLatin1String("raw"))
        return DataFormat::Raw;
    if (name == QLatin1String("hex") || name == QLatin1String("ihex"))
        return DataFormat::IntelHex;
    if (name == QLatin1String("srec") || name == QLatin1String("s19"))
        return DataFormat::SRecord;
    if (name == QLatin1String("cap"))
        return DataFormat::Capsule;
    s.usageError(QStringLiteral("--%1 takes bin, hex, srec or cap, not '%2'").arg(option, s.value(option)));
    return std::nullopt;
}

bool checkInput(CliSession& s, const QString& path)
{
    if (isStream(path))
        return s.dataIn() ? true : refuse(s, Msg::CliCannotReadFile, path, systemReason(EBADF));
    if (QFileInfo(path).isDir())
        return refuse(s, Msg::CliCannotReadFile, path, systemReason(EISDIR));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(s, Msg::CliCannotReadFile, path, file.errorString());
    return true;
}

bool checkOutput(CliSession& s, const QString& path)
{
    if (isStream(path))
        return s.dataOut() ? true : refuse(s, Msg::CliCannotWriteFile, path, systemReason(EBADF));
    const QFileInfo info(path);
    if (info.isDir())
        return refuse(s, Msg::CliCannotWriteFile, path, systemReason(EISDIR));
    // A new file needs its folder; an existing one is replaced through its
    // folder or, where the folder takes no new file, written in place.
    const int folder = writeAccess(info.absolutePath(), W_OK | X_OK);
    if (!info.exists())
        return folder == 0 || refuse(s, Msg::CliCannotWriteFile, path, systemReason(folder));
    const int file = writeAccess(path);
    const bool special = isSpecialFile(path);
    if (file != 0 && (special || folder != 0))
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
    const int32_t length = isStream(path) ? LoadStreamIntoBuffer(*s.dataIn(), area, ui, format)
                                          : LoadFileIntoBuffer(path, area, ui, format);
    eeprom ? b.setEepromLength(length) : b.setFlashLength(length);
    ui.log(s.message(Msg::Open) + (isStream(path) ? path : QFileInfo(path).absoluteFilePath()));
    return ui.failureCount() == before;
}

std::optional<QByteArray> readInputBytes(CliSession& s, const QString& path)
{
    if (!checkInput(s, path))
        return std::nullopt;
    QByteArray bytes;
    if (isStream(path)) {
        bytes = s.dataIn()->readAll();
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            refuse(s, Msg::CliCannotReadFile, path, file.errorString());
            return std::nullopt;
        }
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            refuse(s, Msg::CliCannotReadFile, path, file.errorString());
            return std::nullopt;
        }
    }
    s.ui().log(s.message(Msg::Open) + (isStream(path) ? path : QFileInfo(path).absoluteFilePath()));
    return bytes;
}

bool writeOutput(CliSession& s, const QString& path, const uint8_t* data, qint64 count, DataFormat format)
{
    if (isStream(path)) {
        QIODevice& out = *s.dataOut();
        s.out().flush();
        if (!WriteBufferToStream(out, data, count, format == DataFormat::ByName ? DataFormat::Raw : format))
            return refuse(s, Msg::CliCannotWriteFile, path, out.errorString());
        return true;
    }
    QString reason;
    if (WriteBufferToFile(path, data, count, format, &reason) != FileWrite::Written)
        return refuse(s, Msg::CliCannotWriteFile, path, reason);
    return true;
}
