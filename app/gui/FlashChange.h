#pragma once
// A fill or a merge of the Flash buffer, kept in the Flash view's history so
// that undo takes it back as it takes back a typed byte. It keeps the bytes
// it changed in the buffer and in the view (which may hold edits not yet
// taken in) and the data length before it; undo and redo swap them with the
// present ones.

#include "hexview/EditHistory.h"

#include <QByteArray>

#include <cstdint>
#include <functional>

class Buffers;
class HexView;

class FlashChange final : public HexChange {
public:
    // Keeps the Flash bytes [from, from + count), what `view` shows of them
    // and the data length as they are now, before the change. `shown` runs
    // after every swap, for the captions.
    FlashChange(Buffers& buffers, HexView& view, qint64 from, qint64 count, std::function<void()> shown);

    void undo() override { swap(); }
    void redo() override { swap(); }
    qint64 address() const override { return from_; }
    qint64 length() const override { return buffer_.size(); }
    qint64 cost() const override { return buffer_.size() + shown_.size() + qint64(sizeof *this); }
    // The buffer and the view change alike.
    bool keepsClean() const override { return true; }

private:
    void swap();

    Buffers& buffers_;
    HexView& view_;
    qint64 from_;
    QByteArray buffer_;  // the buffer's bytes
    QByteArray shown_;   // the view's, cut where the view ends
    int32_t length_;
    std::function<void()> showSwap_;
};
