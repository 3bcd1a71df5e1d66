#pragma once
// What the buffers need of a view that shows and edits their bytes.

#include <QtGlobal>
#include <cstdint>

class ByteView {
public:
    virtual ~ByteView() = default;
    // Replaces the whole content and clears the modified flag.
    virtual void loadBytes(const uint8_t* data, qint64 count) = 0;
    virtual qint64 byteCount() const = 0;
    virtual bool isModified() const = 0;
    virtual void clearModified() = 0;
    // Copies the first `count` bytes out (count <= byteCount()).
    virtual void copyOut(uint8_t* destination, qint64 count) const = 0;
};
