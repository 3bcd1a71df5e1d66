#include "app/IniFile.h"

#include "app/FileWrite.h"
#include "app/IntegerText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The file as lines of bytes: lines the program does not write (comments in
// another code page, foreign keys) go back to disk exactly as they came.
struct Lines {
    QList<QByteArray> lines;
    QByteArray newline = "\n";
    QByteArray byteOrderMark;  // a UTF-8 mark before the first line, kept for the rewrite
};

Lines readLines(const QString& path)
{
    static const QByteArray kUtf8Mark = "\xEF\xBB\xBF";
    Lines out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    QByteArray text = file.readAll();
    // Editors on other systems start a UTF-8 file with the mark; left on
    // the first line it would hide that line's section header.
    if (text.startsWith(kUtf8Mark)) {
        out.byteOrderMark = kUtf8Mark;
        text.remove(0, kUtf8Mark.size());
    }
    if (text.contains("\r\n"))
        out.newline = "\r\n";
    out.lines = text.split('\n');
    for (QByteArray& line : out.lines)
        if (line.endsWith('\r'))
            line.chop(1);
    // A final newline leaves one empty piece that is no line of the file.
    if (!out.lines.isEmpty() && out.lines.last().isEmpty())
        out.lines.removeLast();
    return out;
}

// The name of a "[name]" line, or nullopt for any other line.
std::optional<QByteArray> sectionName(const QByteArray& line)
{
    const QByteArray t = line.trimmed();
    if (t.size() < 2 || !t.startsWith('['))
        return std::nullopt;
    const int close = int(t.indexOf(']'));
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

bool isComment(const QByteArray& line)
{
    return line.trimmed().startsWith(';');
}

// Key of a "key=value" line, or nullopt.
std::optional<QByteArray> keyName(const QByteArray& line)
{
    if (isComment(line))
        return std::nullopt;
    const int eq = int(line.indexOf('='));
    if (eq < 0)
        return std::nullopt;
    return line.left(eq).trimmed();
}

bool sameName(const QByteArray& a, const QString& b)
{
    return QString::fromUtf8(a).compare(b, Qt::CaseInsensitive) == 0;
}

// Where a section starts (its header line) and ends (one past its last line).
struct SectionSpan {
    int header = -1;
    int end = -1;
};

SectionSpan findSection(const QList<QByteArray>& lines, const QString& section)
{
    SectionSpan span;
    for (int i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i]);
        if (!name)
            continue;
        if (span.header >= 0) {
            span.end = i;
            return span;
        }
        if (sameName(*name, section))
            span.header = i;
    }
    if (span.header >= 0)
        span.end = int(lines.size());
    return span;
}

int findKey(const QList<QByteArray>& lines, const SectionSpan& span, const QString& key)
{
    for (int i = span.header + 1; i < span.end; ++i) {
        const auto name = keyName(lines[i]);
        if (name && sameName(*name, key))
            return i;
    }
    return -1;
}

QString unquoted(QString value)
{
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
        && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

std::optional<QString> IniFile::readString(const QString& section, const QString& key) const
{
    const Lines file = readLines(path_);
    const SectionSpan span = findSection(file.lines, section);
    if (span.header < 0)
        return std::nullopt;
    const int at = findKey(file.lines, span, key);
    if (at < 0)
        return std::nullopt;
    const QByteArray& line = file.lines[at];
    return unquoted(QString::fromUtf8(line.mid(line.indexOf('=') + 1)).trimmed());
}

QString IniFile::readString(const QString& section, const QString& key, const QString& fallback) const
{
    return readString(section, key).value_or(fallback);
}

int32_t IniFile::readInteger(const QString& section, const QString& key, int32_t fallback) const
{
    const auto text = readString(section, key);
    return text ? parseIntegerOr(*text, fallback) : fallback;
}

bool IniFile::readBool(const QString& section, const QString& key, bool fallback) const
{
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    Lines file = readLines(path_);
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray entry = (key + QLatin1Char('=') + clean).toUtf8();

    const SectionSpan span = findSection(file.lines, section);
    if (span.header < 0) {
        file.lines << (QLatin1Char('[') + section + QLatin1Char(']')).toUtf8() << entry;
    } else if (const int at = findKey(file.lines, span, key); at >= 0) {
        file.lines[at] = entry;
    } else {
        // After the section's last non-blank line, so blank lines that part
        // it from the next section stay where they are.
        int insertAt = span.end;
        while (insertAt > span.header + 1 && file.lines[insertAt - 1].trimmed().isEmpty())
            --insertAt;
        file.lines.insert(insertAt, entry);
    }

    const QFileInfo info(path_);
    if (!info.dir().exists() && !QDir().mkpath(info.absolutePath()))
        return false;
    const QByteArray bytes = file.byteOrderMark + file.lines.join(file.newline) + file.newline;
    return writeFileSafely(path_, [&](QIODevice& out) { return out.write(bytes) == bytes.size(); })
           == FileWrite::Written;
}

bool IniFile::writeInteger(const QString& section, const QString& key, int32_t value)
{
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString IniFile::writeError() const
{
    return QStringLiteral("Unable to write to %1").arg(path_);
}
