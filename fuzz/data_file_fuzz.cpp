// The loader on arbitrary files: the first input byte picks the extension
// and the capacity, the rest is the file.
#include "SilentUi.h"

#include "buffers/DataFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Memory-backed when there is one: a file a run is slow on disk.
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/ktr-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/ktr-fuzz-XXXXXX"));
    static const char* const kNames[] = {"f.bin", "f.HEX", "f.eep", "f.cap", "f.rom", "f.src", "f", "f.hex.eep"};
    if (size == 0)
        return 0;
    const QString path = QDir(dir.path()).filePath(QString::fromLatin1(kNames[data[0] & 7]));
    const qint64 capacity = qint64(data[0] >> 3) * 211;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    }
    constexpr size_t kGuard = 64;
    std::vector<uint8_t> area(size_t(capacity) + 2 * kGuard, 0xA5);
    SilentUi ui;
    const int32_t n = LoadFileIntoBuffer(path, area.data() + kGuard, capacity, ui);
    if (n < 0 || n > capacity || (n > 0 && ui.errors != 0))
        std::abort();
    for (size_t i = 0; i < kGuard; ++i)
        if (area[i] != 0xA5 || area[size_t(capacity) + kGuard + i] != 0xA5)
            std::abort();
    return 0;
}
