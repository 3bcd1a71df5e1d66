#pragma once
// A byte view for tests: keeps what it was loaded with.

#include "buffers/ByteView.h"

#include <QByteArray>
#include <cstring>

class RecordingView : public ByteView {
public:
    void loadBytes(const uint8_t* data, qint64 count) override
    {
        bytes = QByteArray(reinterpret_cast<const char*>(data), qsizetype(count));
        modified = false;
        ++loads;
    }
    qint64 byteCount() const override { return bytes.size(); }
    bool isModified() const override { return modified; }
    void clearModified() override { modified = false; }
    void copyOut(uint8_t* destination, qint64 count) const override { std::memcpy(destination, bytes.constData(), size_t(count)); }

    QByteArray bytes;
    bool modified = false;
    int loads = 0;
};
