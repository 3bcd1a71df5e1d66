#pragma once
// What a hex view shows and edits, apart from how it is shown: its copy of
// the bytes, the marks of the bytes the user changed, and the history of
// those changes. A load replaces the bytes and makes them the clean state
// again; the history stays, so a change of the bytes behind the view (a fill
// of the buffer, which reloads the view) can be taken back as well.

#include "hexview/ByteStore.h"
#include "hexview/EditHistory.h"
#include "hexview/EditMarks.h"

#include <QByteArray>

class HexDocument {
public:
    // False, and empty, when the memory for the bytes cannot be had.
    bool assign(const uint8_t* data, qint64 count);
    bool assign(const ErasedArea& area, qint64 count);

    qint64 count() const { return count_; }
    uint8_t at(qint64 address) const { return bytes_.at(address); }
    const uint8_t* read(qint64 address, qint64 count, uint8_t* room) const { return bytes_.read(address, count, room); }
    const uint8_t* contiguous() const { return bytes_.contiguous(); }
    void copyOut(uint8_t* destination, qint64 count) const;
    // Up to `count` bytes from `address`, as far as the document reaches.
    QByteArray bytesAt(qint64 address, qint64 count) const;
    const EditMarks& marks() const { return marks_; }

    // Which hex digit of a byte a typed change is: the second digit typed
    // into a byte joins the change the first one made.
    enum class Digit { None, First, Second };
    // The user's change of the bytes from `address` (cut at the end), kept for undo.
    void edit(qint64 address, const QByteArray& bytes, Digit digit = Digit::None);
    // The same without a history entry: what undo and redo write.
    void put(qint64 address, const QByteArray& bytes);

    // Edited since the last load or markClean, unless undone back to it.
    bool isModified() const { return !history_.atClean(); }
    void markClean();

    // Bytes the view was loaded with, changed where they came from: shown
    // as loaded, unmarked and without a history entry.
    void reload(qint64 address, const QByteArray& bytes);

    // A change of someone else's that is already made (see the file comment).
    void record(std::unique_ptr<HexChange> change);
    // Undo (back) or redo: the change taken back or done again, or null.
    HexChange* step(bool back);
    const EditHistory& history() const { return history_; }
    void clearHistory();

private:
    void loaded(bool ok, qint64 count);

    ByteStore bytes_;
    qint64 count_ = 0;
    EditMarks marks_;
    EditHistory history_;
    HexChange* typing_ = nullptr;  // the change the next typed digit may join
};
