// write --preserve: the chip keeps every byte the file does not cover.

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/FileArgs.h"

#include "app/FileWrite.h"
#include "app/IntegerText.h"
#include "chipdb/ChipKey.h"
#include "operations/ChipOperations.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

std::optional<qint64> atOption(CliSession& s)
{
    if (!s.isSet(QStringLiteral("at")))
        return 0;
    const auto address = parseInteger(s.value(QStringLiteral("at")));
    if (!address || *address < 0) {
        s.usageError(
            QStringLiteral("--at takes an address such as 0x10000, not '%1'").arg(s.value(QStringLiteral("at"))));
        return std::nullopt;
    }
    return *address;
}

// A new file in the current folder, named after the chip and the time.
QString defaultBackupPath(const QString& model)
{
    QString name = model;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    const QString stem = name + QStringLiteral("-before-write-")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = QDir::current().absoluteFilePath(stem + QStringLiteral(".bin"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir::current().absoluteFilePath(stem + QStringLiteral("-%1.bin").arg(n));
    return path;
}

bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo x(a), y(b);
    return x.exists() && y.exists() && x.canonicalFilePath() == y.canonicalFilePath();
}

} // namespace

int preparePreservingWrite(CliSession& s, const QStringList& words)
{
    const bool preserve = s.isSet(QStringLiteral("preserve"));
    if (!preserve && (s.isSet(QStringLiteral("at")) || s.isSet(QStringLiteral("backup"))))
        return s.usageError(QStringLiteral("--at and --backup go with --preserve"));
    if (!preserve)
        return kExitOk;
    // The round is the Flash's, and only a verified image is proof that
    // every byte went back.
    if (s.isSet(QStringLiteral("eeprom")) || s.isSet(QStringLiteral("no-verify")))
        return s.usageError(QStringLiteral("--preserve keeps the Flash's bytes and verifies them; it does not go "
                                           "with --eeprom or --no-verify"));
    if (!atOption(s))
        return kExitUsage;
    const QString backup = s.value(QStringLiteral("backup"));
    if (!backup.isEmpty() && (backup == QLatin1String("-") || sameFile(backup, words[0])))
        return s.usageError(QStringLiteral("--backup names a file of its own, neither IN nor standard output"));
    // The copy is what restores the chip: a pipe or a device keeps nothing to restore from.
    if (!backup.isEmpty() && isSpecialFile(backup))
        return s.usageError(QStringLiteral("--backup names a regular file, not a pipe or a device"));
    // Where the chip's contents will go is settled before the chip is touched.
    return checkOutput(s, backup.isEmpty() ? defaultBackupPath(QStringLiteral("chip")) : backup) ? kExitOk
                                                                                               : kExitFailed;
}

int cmdWritePreserving(CliSession& s, const QStringList& words)
{
    const auto format = formatOption(s, QStringLiteral("format"));
    const auto address = atOption(s);
    if (!format || !address)
        return kExitUsage;
    const auto data = readInputFile(s, words[0]);
    if (!data)
        return kExitFailed;
    PreserveRequest request;
    request.data = *data;
    request.format = *format;
    request.name = words[0];
    request.address = *address;
    const QString backup = s.value(QStringLiteral("backup"));
    request.keepBackup = !backup.isEmpty();
    // The message names the copy so that it can be found from anywhere.
    request.backupPath = backup.isEmpty()
                             ? defaultBackupPath(QString::fromUtf8(chipNames(s.state().currentChip().keyText()).model))
                             : QFileInfo(backup).absoluteFilePath();
    ChipOperations ops = s.state().chipOperations();
    ops.writePreserving(request);
    if (ops.lastOutcome() == Outcome::Done)
        return kExitOk;
    return s.stopRequested() ? kExitStopped : kExitFailed;
}
