#include "hexview/EditHistory.h"

#include <algorithm>

EditHistory::EditHistory(int maxChanges, qint64 maxCost)
    : maxChanges_(std::max(1, maxChanges)), maxCost_(maxCost)
{
}

void EditHistory::push(std::unique_ptr<HexChange> change)
{
    if (!change)
        return;
    for (auto it = changes_.begin() + done_; it != changes_.end(); ++it)
        cost_ -= (*it)->cost();
    changes_.erase(changes_.begin() + done_, changes_.end());
    if (clean_ > done_)
        clean_ = -1;
    cost_ += change->cost();
    changes_.push_back(std::move(change));
    ++done_;
    trim();
}

void EditHistory::trim()
{
    // The newest change stays even when it alone is over the budget.
    int drop = 0;
    const int count = int(changes_.size());
    while (count - drop > 1 && (count - drop > maxChanges_ || cost_ > maxCost_)) {
        cost_ -= changes_[std::size_t(drop)]->cost();
        ++drop;
    }
    if (drop == 0)
        return;
    changes_.erase(changes_.begin(), changes_.begin() + drop);
    done_ -= drop;
    clean_ = clean_ >= drop ? clean_ - drop : -1;
}

bool EditHistory::atClean() const
{
    if (clean_ < 0)
        return false;
    for (int i = std::min(clean_, done_); i < std::max(clean_, done_); ++i)
        if (!changes_[std::size_t(i)]->keepsClean())
            return false;
    return true;
}

HexChange* EditHistory::last() const
{
    return done_ > 0 ? changes_[std::size_t(done_ - 1)].get() : nullptr;
}

HexChange* EditHistory::undo()
{
    if (!canUndo())
        return nullptr;
    // The count moves first: a change that reloads the view marks the view
    // clean at the count it leaves behind.
    HexChange* change = changes_[std::size_t(--done_)].get();
    change->undo();
    return change;
}

HexChange* EditHistory::redo()
{
    if (!canRedo())
        return nullptr;
    HexChange* change = changes_[std::size_t(done_++)].get();
    change->redo();
    return change;
}

void EditHistory::clear()
{
    changes_.clear();
    done_ = 0;
    clean_ = 0;
    cost_ = 0;
}
