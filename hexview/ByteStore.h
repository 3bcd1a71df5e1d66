#pragma once
// The view's own copy of its bytes. Storage is kept between loads, so a reload
// is one copy; large stores ask the kernel for huge pages, because faulting in
// 64 MiB page by page costs more than copying it.

#include <QtGlobal>
#include <cstdint>
#include <cstdlib>
#include <memory>

class ByteStore {
public:
    // Replaces the content with `count` bytes from `data` (count >= 0); false,
    // and empty, when the memory for them cannot be had.
    bool assign(const uint8_t* data, qint64 count);
    uint8_t* data() { return bytes_.get(); }
    const uint8_t* data() const { return bytes_.get(); }
    qint64 size() const { return size_; }

private:
    struct Free {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<uint8_t[], Free> bytes_;
    qint64 capacity_ = 0;
    qint64 size_ = 0;
};
