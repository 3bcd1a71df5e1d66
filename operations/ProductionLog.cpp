#include "operations/ProductionLog.h"

#include "app/FileWrite.h"
#include "app/MessageTable.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

// Rows end as RFC 4180 has them; spreadsheets read either ending.
constexpr char kRowEnd[] = "\r\n";

QString csvRow(const QStringList& fields)
{
    QStringList quoted;
    for (const QString& f : fields)
        quoted << csvField(f);
    return quoted.join(QLatin1Char(',')) + QLatin1String(kRowEnd);
}

// Local time with its offset, so rows from both sides of a clock change sort.
QString isoDateTime(const QDateTime& when)
{
    return when.toOffsetFromUtc(when.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

QString csvField(const QString& text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return special.contains(c); }))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString ProductionLog::headerRow()
{
    return csvRow({QStringLiteral("date"), QStringLiteral("manufacturer"), QStringLiteral("model"),
                   QStringLiteral("chip id"), QStringLiteral("serial number"), QStringLiteral("steps"),
                   QStringLiteral("result"), QStringLiteral("seconds"), QStringLiteral("flash crc32"),
                   QStringLiteral("text")});
}

namespace {

constexpr int kKeywordLanguage = 2;

QString stepList(const std::vector<AutoStep>& steps, int languageIndex)
{
    QStringList names;
    for (const AutoStep step : steps)
        names << autoStepCaption(step, languageIndex);
    return names.join(QStringLiteral(" + "));
}

QString resultOf(const ProductionRecord& r, int languageIndex)
{
    return r.failedStep ? messageText(Msg::ProductionFailedAt, languageIndex)
                              .arg(autoStepCaption(*r.failedStep, languageIndex))
                        : messageText(Msg::ProductionPassed, languageIndex);
}

} // namespace

QString ProductionLog::row(const ProductionRecord& r)
{
    const QString text = stepList(r.steps, r.languageIndex) + QStringLiteral(": ") + resultOf(r, r.languageIndex);
    return csvRow({isoDateTime(r.started), r.manufacturer, r.model, r.chipAnswer,
                   r.serial ? QString::number(*r.serial) : QString(), stepList(r.steps, kKeywordLanguage),
                   resultOf(r, kKeywordLanguage), QString::number(double(r.elapsedMs) / 1000.0, 'f', 2),
                   r.flashCrc ? QString::asprintf("0x%08X", *r.flashCrc) : QString(), text});
}

ProductionLog::ProductionLog() = default;
ProductionLog::~ProductionLog() = default;

void ProductionLog::setPath(const QString& path)
{
    close();
    path_ = path;
}

bool ProductionLog::open(QString* reason)
{
    close();
    auto file = std::make_unique<QFile>(path_);
    // A pipe or a device is written where it is: it has no end to seek to.
    if (!file->open(appendsAtEnd(path_) ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::WriteOnly)) {
        *reason = file->errorString();
        return false;
    }
    file_ = std::move(file);
    return true;
}

bool ProductionLog::append(const ProductionRecord& record, QString* reason)
{
    if (!file_ && !open(reason))
        return false;
    QByteArray bytes;
    if (file_->isSequential() || file_->size() == 0)
        bytes = headerRow().toUtf8();
    bytes += row(record).toUtf8();
    bool written = file_->write(bytes) == bytes.size() && file_->flush();
    if (!written)
        *reason = file_->errorString();
    // On disk before the next chip, not only in the system's cache; a pipe
    // or a device has no disk behind it (EINVAL, EROFS).
    if (written && ::fsync(file_->handle()) != 0 && errno != EINVAL && errno != EROFS) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        written = false;
    }
    close();
    return written;
}

void ProductionLog::close()
{
    file_.reset();
}
