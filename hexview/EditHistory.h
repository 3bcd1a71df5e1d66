#pragma once
// The changes made to a view's bytes, for undo and redo.
//
// A change is recorded once it has been made. It keeps what it needs to be
// taken back and done again itself, so the history works the same for a
// typed byte in the view and for a fill of the buffer behind it. The oldest
// changes go when there are more than a count or they hold more than a
// memory budget; the newest one always stays.
//
// The history also keeps the clean point: the change count at which the view
// last matched what it was loaded with. Undo and redo back to it make the
// view unmodified again.

#include <QtGlobal>

#include <memory>
#include <vector>

class HexChange {
public:
    virtual ~HexChange() = default;
    virtual void undo() = 0;
    virtual void redo() = 0;
    // The bytes it changed, for putting the cursor there.
    virtual qint64 address() const = 0;
    virtual qint64 length() const = 0;
    // Memory it holds.
    virtual qint64 cost() const = 0;
    // Changes the view and what it shows alike (a fill of the buffer behind
    // it): a view that matched its buffer before still matches after.
    virtual bool keepsClean() const { return false; }
};

class EditHistory {
public:
    static constexpr int kMaxChanges = 1000;
    static constexpr qint64 kMaxCost = qint64(256) << 20;

    explicit EditHistory(int maxChanges = kMaxChanges, qint64 maxCost = kMaxCost);

    // A change that was just made; what was undone before it cannot be redone.
    void push(std::unique_ptr<HexChange> change);
    // The newest change done, or null.
    HexChange* last() const;

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < int(changes_.size()); }
    // The change taken back or done again, or null when there is none.
    HexChange* undo();
    HexChange* redo();
    int undoCount() const { return done_; }
    int redoCount() const { return int(changes_.size()) - done_; }

    void clear();
    void markClean() { clean_ = done_; }
    // No undo or redo leads back to the clean state any more.
    void markUnclean() { clean_ = -1; }
    // At the clean point, or apart from it only by changes that keep it.
    bool atClean() const;

private:
    void trim();

    std::vector<std::unique_ptr<HexChange>> changes_;
    int done_ = 0;
    int clean_ = 0;  // -1 once the clean point went with dropped changes
    qint64 cost_ = 0;
    int maxChanges_;
    qint64 maxCost_;
};
