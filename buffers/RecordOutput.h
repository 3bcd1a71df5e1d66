#pragma once
// What both text writers share: lines gathered into large slices before
// they go to the file, the test for records that are all erased bytes, and
// the replacement of a file only once its successor is complete.

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <memory>

class QIODevice;

class RecordOutput {
public:
    // `expectedBytes`: about how much will be written, to size the slice.
    RecordOutput(QIODevice& out, qint64 expectedBytes);
    ~RecordOutput();
    RecordOutput(const RecordOutput&) = delete;
    RecordOutput& operator=(const RecordOutput&) = delete;

    // Room for one line of at most `bytes` (up to kLineRoom); give the bytes
    // actually put there to advance().
    static constexpr int kLineRoom = 128;
    char* room();
    void advance(int used) { used_ += used; }
    void put(const char* text, int length);

    // Writes what is gathered; true when every byte reached the device.
    bool finish();

private:
    void flush();

    QIODevice& out_;
    const qint64 size_;
    std::unique_ptr<char[]> slice_;
    qint64 used_ = 0;
    bool failed_ = false;
};

// True when all `count` bytes are 0xFF: such records are not written.
bool allErased(const uint8_t* bytes, qint64 count);

// Writes `path` through `write` (writeFileSafely): an existing regular file
// stays as it was unless `write` succeeded.
bool writeReplacing(const QString& path, const std::function<bool(QIODevice&)>& write);
