#pragma once
// A fill or a merge of the Flash buffer, kept in the Flash view's history so
// that undo takes it back as it takes back a typed byte: the bytes it changed
// and the data length before it, which undo and redo swap with the buffer's.

#include "hexview/EditHistory.h"

#include <QByteArray>

#include <cstdint>
#include <functional>

class Buffers;

class FlashChange final : public HexChange {
public:
    // Keeps the Flash bytes [from, from + count) and the data length as they
    // are now, before the change. `settle` runs around every swap: first
    // with false (the view's edits go into the buffer, so that none is lost),
    // then with true (the view and captions show the swapped buffer).
    FlashChange(Buffers& buffers, qint64 from, qint64 count, std::function<void(bool swapped)> settle);

    void undo() override { swap(); }
    void redo() override { swap(); }
    qint64 address() const override { return from_; }
    qint64 length() const override { return bytes_.size(); }
    qint64 cost() const override { return bytes_.size() + qint64(sizeof *this); }

private:
    void swap();

    Buffers& buffers_;
    qint64 from_;
    QByteArray bytes_;
    int32_t length_;
    std::function<void(bool)> settle_;
};
