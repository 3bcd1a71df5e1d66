#pragma once
// Files for the data-file tests: a scratch folder, whole-file reads and
// writes, patterned images, and the external converter when it is there.

#include "support/RecordingUi.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class Scratch {
public:
    QString path(const QString& name) const { return QDir(dir_.path()).filePath(name); }

    QString write(const QString& name, const QByteArray& bytes) const
    {
        const QString p = path(name);
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return p;
    }

    QByteArray read(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
};

// A pipe as the loaders meet it: it tells no size and cannot go back. It
// gives `bytes`, then ends, or with `endless` starts over for ever.
class PipeDevice : public QIODevice {
public:
    explicit PipeDevice(QByteArray bytes, bool endless = false) : bytes_(std::move(bytes)), endless_(endless)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 given() const { return given_; }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        qint64 n = 0;
        while (n < max && (endless_ || given_ < bytes_.size())) {
            data[n++] = bytes_[qsizetype(given_ % bytes_.size())];
            ++given_;
        }
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes_;
    bool endless_;
    qint64 given_ = 0;
};

// A FIFO made at `path` with a reader at its far end, as the program a user
// pipes into: it reads on a thread of its own until the writer closes.
class FifoReader {
public:
    explicit FifoReader(const QString& path)
        : path_(path), created_(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0)
    {
        thread_ = std::thread([this] {
            QFile f(path_);
            if (f.open(QIODevice::ReadOnly))
                received_ = f.readAll();
        });
    }
    ~FifoReader() { received(); }
    FifoReader(const FifoReader&) = delete;
    FifoReader& operator=(const FifoReader&) = delete;

    bool created() const { return created_; }
    // What came through; a writer that never came leaves it empty instead of
    // leaving the reader waiting.
    const QByteArray& received()
    {
        if (thread_.joinable()) {
            if (const int fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_NONBLOCK); fd >= 0)
                ::close(fd);
            thread_.join();
        }
        return received_;
    }

private:
    QString path_;
    bool created_;
    QByteArray received_;
    std::thread thread_;
};

// Bytes that never run into a record of erased bytes, from a small
// generator so every run sees the same image.
inline QByteArray patternBytes(qint64 count, uint32_t seed = 1)
{
    QByteArray bytes(qsizetype(count), '\0');
    uint32_t x = seed;
    for (qint64 i = 0; i < count; ++i) {
        x = x * 1103515245u + 12345u;
        bytes[qsizetype(i)] = char((x >> 16) % 255);  // never 0xFF
    }
    return bytes;
}

// A capsule's header as the UEFI capsule header lays it out: the header
// size at offset 16, the capsule's size with its header at offset 24.
inline QByteArray capsuleHeader(uint32_t headerSize, uint32_t imageSize)
{
    QByteArray header = patternBytes(2048, 3);
    for (int i = 0; i < 4; ++i) {
        header[16 + i] = char(headerSize >> (8 * i));
        header[24 + i] = char(imageSize >> (8 * i));
    }
    return header;
}

inline const uint8_t* bytesOf(const QByteArray& b) { return reinterpret_cast<const uint8_t*>(b.constData()); }

// One record line in upper case: `head` (":", "S1", ...), two digits for each
// byte of `fields`, then the checksum of those bytes, the two's complement
// of their sum (Intel HEX) or its ones' complement (S-records).
inline QByteArray recordLine(const char* head, const QByteArray& fields, bool onesComplement)
{
    uint32_t sum = 0;
    for (char b : fields)
        sum += uint8_t(b);
    const uint8_t check = onesComplement ? uint8_t(0xFF - (sum & 0xFF)) : uint8_t(0x100 - (sum & 0xFF));
    return head + (fields + char(check)).toHex().toUpper();
}

// The converter of the srecord package and the binary tools' copier, for
// cross-checks; empty when absent.
inline QString srecCat() { return QStandardPaths::findExecutable(QStringLiteral("srec_cat")); }
inline QString objcopy() { return QStandardPaths::findExecutable(QStringLiteral("objcopy")); }

inline bool runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

inline bool runSrecCat(const QStringList& args) { return runTool(srecCat(), args); }

// One read of text through a reader taking (device, destination, capacity,
// ui); the destination has 16 bytes of 0xEE past the capacity to show
// stray writes.
struct TextRead {
    int32_t value = 0;
    std::vector<uint8_t> area;
    QStringList errors;
};

template <typename Reader>
TextRead readText(Reader read, const QByteArray& text, qint64 capacity)
{
    TextRead r{0, std::vector<uint8_t>(size_t(capacity) + 16, 0xEE), {}};
    QByteArray copy = text;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    RecordingUi ui;
    r.value = read(in, r.area.data(), capacity, ui);
    r.errors = ui.errors();
    return r;
}

// Records of 0 to 40 bytes one after another from address 0, each line made
// by `line`(count, address, bytes), odd counts in lower case after the first
// character: digit runs that end inside and on the readers' 16-digit blocks.
// Gives the text and the image it stands for.
template <typename Line>
std::pair<QByteArray, QByteArray> recordsOfEveryLength(Line line)
{
    QByteArray text;
    QByteArray image;
    for (int n = 0; n <= 40; ++n) {
        const QByteArray bytes = patternBytes(n, uint32_t(n) + 1);
        const QByteArray record = line(n, int(image.size()), bytes);
        text += (n % 2 ? record.left(1) + record.mid(1).toLower() : record) + "\r\n";
        image += bytes;
    }
    return {text, image};
}

// A read that went through and stored exactly `image` from address 0.
inline bool readsAs(const TextRead& r, const QByteArray& image)
{
    return r.errors.isEmpty() && r.value == image.size()
           && QByteArray(reinterpret_cast<const char*>(r.area.data()), image.size()) == image;
}

// Reads `good`, a record of `bytes`, with a bad digit put in each place from
// `firstData` on, followed by `end`: each read must say "Illegal Char in
// File" with the line and column and have stored the data bytes before the bad digit, none after it.
// Gives the first place where that fails, -1 when none does.
template <typename Reader>
int firstWrongStopAtABadDigit(Reader read, const QByteArray& good, int firstData, const QByteArray& bytes,
                              const QByteArray& end)
{
    for (int at = firstData; at < good.size(); ++at) {
        QByteArray bad = good;
        bad[at] = 'g';
        const TextRead r = readText(read, bad + end, 0x100);
        const qsizetype stored = std::min<qsizetype>((at - firstData) / 2, bytes.size());
        if (r.errors != QStringList{QStringLiteral("line 1: Illegal Char in File (column %1)").arg(at + 1)}
            || QByteArray(reinterpret_cast<const char*>(r.area.data()), stored) != bytes.left(stored)
            || r.area[size_t(stored)] != 0xEE)
            return at;
    }
    return -1;
}

// Bytes through a writer taking (device, source, count); empty on failure.
template <typename Writer>
QByteArray writeText(Writer write, const QByteArray& bytes)
{
    QByteArray text;
    QBuffer out(&text);
    out.open(QIODevice::WriteOnly);
    return write(out, bytesOf(bytes), bytes.size()) ? text : QByteArray();
}
