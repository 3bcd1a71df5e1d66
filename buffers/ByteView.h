#pragma once
// What the buffers need of a view that shows and edits their bytes.

#include "buffers/ErasedArea.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdint>
#include <vector>

class ByteView {
public:
    virtual ~ByteView() = default;
    // Replaces the whole content and clears the modified flag.
    virtual void loadBytes(const uint8_t* data, qint64 count) = 0;
    // The same with the first `count` bytes of an area (count <= its
    // capacity). A view that keeps erased bytes unstored, as the area does,
    // loads a large chip over a small file without copying its 0xFF bytes.
    virtual void loadArea(const ErasedArea& area, qint64 count)
    {
        std::vector<uint8_t> bytes(size_t(std::max<qint64>(count, 0)));
        area.copyOut(0, qint64(bytes.size()), bytes.data());
        loadBytes(bytes.data(), qint64(bytes.size()));
    }
    // The view shows the first `count` bytes of the area again, of which only
    // [from, from + length) changed: a view that keeps edits of its own may
    // keep those elsewhere, and its history. Others load it all.
    virtual void reloadRange(const ErasedArea& area, qint64 count, qint64 from, qint64 length)
    {
        Q_UNUSED(from);
        Q_UNUSED(length);
        loadArea(area, count);
    }
    virtual qint64 byteCount() const = 0;
    virtual bool isModified() const = 0;
    virtual void clearModified() = 0;
    // Copies the first `count` bytes out (count <= byteCount()).
    virtual void copyOut(uint8_t* destination, qint64 count) const = 0;
};
