#include "buffers/FileFormats.h"

#include "buffers/IntelHex.h"
#include "buffers/RawImage.h"
#include "buffers/SRecord.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

int32_t readIntelHex(QIODevice& in, ErasedArea& destination, UserInterface& ui)
{
    return ReadIntelHex(in, destination, ui);
}

int32_t readSRecord(QIODevice& in, ErasedArea& destination, UserInterface& ui)
{
    return ReadSRecord(in, destination, ui);
}

bool writeIntelHex(QIODevice& out, const uint8_t* source, qint64 count)
{
    return WriteIntelHex(out, source, count);
}

bool writeSRecord(QIODevice& out, const uint8_t* source, qint64 count)
{
    return WriteSRecord(out, source, count);
}

// In the order of the file dialogs; the content is tried against the rows
// that recognise one in this order too.
const FileFormat kFormats[] = {
    {DataFormat::Raw, "bin raw", "Binary", "bin", nullptr, ReadRawImage, WriteRawImage, true},
    {DataFormat::IntelHex, "hex ihex", "Intel Hex", "hex ihx ihex h86 mcs", isIntelHexRecord, readIntelHex,
     writeIntelHex, true},
    {DataFormat::SRecord, "srec s19", "S-records", "srec s19 s28 s37 src mot s sx", isSRecord, readSRecord,
     writeSRecord, true},
    {DataFormat::Raw, nullptr, "Bios Rom", "rom", nullptr, ReadRawImage, WriteRawImage, true},
    // A raw image saved under this name opens back as itself: only a file
    // that begins with a real capsule header loses its first 2048 bytes.
    {DataFormat::Capsule, "cap", "Asus Rom", "cap", nullptr, ReadCapsuleImage, WriteRawImage, false},
    // Saved raw; a raw image may well begin with ':' or 'S', so the content decides.
    {DataFormat::ByName, nullptr, "EEPROM data", "eep", nullptr, nullptr, WriteRawImage, false},
};

QStringList wordsOf(const char* text)
{
    return text ? QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts) : QStringList();
}

QString filterOf(const FileFormat& f)
{
    QStringList patterns;
    for (const QString& extension : wordsOf(f.extensions))
        patterns << QStringLiteral("*.") + extension;
    return QString::fromLatin1(f.description) + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
           + QLatin1Char(')');
}

const QString kAllFiles = QStringLiteral("All files (*)");

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isText(char c)
{
    return c == '\n' || isBlank(c) || (c >= 0x20 && c < 0x7F);
}

} // namespace

const FileFormat* fileFormatsBegin()
{
    return std::begin(kFormats);
}

const FileFormat* fileFormatsEnd()
{
    return std::end(kFormats);
}

const FileFormat* formatNamed(const QString& word)
{
    for (const FileFormat& f : kFormats)
        if (wordsOf(f.words).contains(word.toLower()))
            return &f;
    return nullptr;
}

QString formatWords()
{
    QStringList words;
    for (const FileFormat& f : kFormats)
        if (f.words)
            words << wordsOf(f.words).first();
    const QString last = words.takeLast();
    return words.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

const FileFormat* formatOfName(const QString& path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension.isEmpty())
        return nullptr;
    for (const FileFormat& f : kFormats)
        if (wordsOf(f.extensions).contains(extension))
            return &f;
    return nullptr;
}

const FileFormat& formatRow(DataFormat format)
{
    for (const FileFormat& f : kFormats)
        if (f.format == format)
            return f;
    return kFormats[0];
}

QString formatTitle(DataFormat format)
{
    switch (format) {
    case DataFormat::IntelHex: return QStringLiteral("Intel HEX");
    case DataFormat::SRecord: return QStringLiteral("S-records");
    case DataFormat::Capsule: return QStringLiteral("capsule");
    default: return QStringLiteral("raw");
    }
}

DataFormat formatOfContent(const QByteArray& head)
{
    const char* p = head.constData();
    const char* const end = p + head.size();
    if (head.startsWith("\xEF\xBB\xBF"))
        p += 3;
    while (p < end) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* lineEnd = lf ? lf : end;
        const char* last = lineEnd;
        while (last > p && isBlank(last[-1]))
            --last;
        if (last == p) {
            p = lf ? lf + 1 : end;
            continue;
        }
        const std::string_view line(p, size_t(last - p));
        // Record files are text: an image that merely begins with a record stays raw.
        if (!std::all_of(p, end, isText))
            return DataFormat::Raw;
        for (const FileFormat& f : kFormats)
            if (f.recognise && f.recognise(line))
                return f.format;
        return DataFormat::Raw;
    }
    return DataFormat::Raw;
}

DataFormat saveFormatFor(const QString& path, DataFormat given)
{
    const FileFormat* f = given != DataFormat::ByName ? &formatRow(given) : formatOfName(path);
    return !f || f->write == WriteRawImage ? DataFormat::Raw : f->format;
}

QStringList openNameFilters()
{
    QStringList filters;
    for (const FileFormat& f : kFormats)
        filters << filterOf(f);
    return filters << kAllFiles;
}

QStringList saveNameFilters()
{
    QStringList filters;
    for (const FileFormat& f : kFormats)
        if (f.offeredBySave)
            filters << filterOf(f);
    return filters << kAllFiles;
}

const FileFormat* formatOfFilter(const QString& filter)
{
    for (const FileFormat& f : kFormats)
        if (filterOf(f) == filter)
            return &f;
    return nullptr;
}
