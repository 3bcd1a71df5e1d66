#include "hexview/HexDocument.h"

#include <algorithm>

namespace {

// Bytes of the view overwritten by the user: what they were and what they became.
class ByteEdit final : public HexChange {
public:
    ByteEdit(HexDocument& document, qint64 address, QByteArray before, QByteArray after)
        : document_(document), address_(address), before_(std::move(before)), after_(std::move(after))
    {
    }
    void undo() override { document_.put(address_, before_); }
    void redo() override { document_.put(address_, after_); }
    qint64 address() const override { return address_; }
    qint64 length() const override { return after_.size(); }
    qint64 cost() const override { return before_.size() + after_.size() + qint64(sizeof *this); }
    void retype(const QByteArray& after) { after_ = after; }

private:
    HexDocument& document_;
    qint64 address_;
    QByteArray before_;
    QByteArray after_;
};

} // namespace

bool HexDocument::assign(const uint8_t* data, qint64 count)
{
    const qint64 n = data && count > 0 ? count : 0;
    loaded(bytes_.assign(data, n), n);
    return count_ == n;
}

bool HexDocument::assign(const ErasedArea& area, qint64 count)
{
    const qint64 n = std::max<qint64>(count, 0);
    loaded(bytes_.assign(area, n), n);
    return count_ == n;
}

void HexDocument::loaded(bool ok, qint64 count)
{
    count_ = ok ? count : 0;
    marks_.reset(count_);
    typing_ = nullptr;
    history_.markClean();
}

void HexDocument::copyOut(uint8_t* destination, qint64 count) const
{
    const qint64 n = std::clamp<qint64>(count, 0, count_);
    if (n > 0)
        bytes_.copyOut(destination, n);
}

QByteArray HexDocument::bytesAt(qint64 address, qint64 count) const
{
    const qint64 n = std::clamp<qint64>(std::min(count, count_ - address), 0, count_);
    if (address < 0 || n == 0)
        return {};
    QByteArray out(qsizetype(n), Qt::Uninitialized);
    const uint8_t* bytes = bytes_.read(address, n, reinterpret_cast<uint8_t*>(out.data()));
    if (bytes != reinterpret_cast<const uint8_t*>(out.constData()))
        std::copy_n(bytes, n, out.data());
    return out;
}

void HexDocument::put(qint64 address, const QByteArray& bytes)
{
    // A reload for a smaller chip may have cut off bytes an older change names.
    const qint64 n = std::min<qint64>(bytes.size(), count_ - address);
    for (qint64 i = 0; address >= 0 && i < n; ++i) {
        bytes_.set(address + i, uint8_t(bytes[qsizetype(i)]));
        marks_.mark(address + i);
    }
}

void HexDocument::edit(qint64 address, const QByteArray& bytes, Digit digit)
{
    const QByteArray after = bytes.left(qsizetype(std::max<qint64>(0, count_ - address)));
    if (address < 0 || after.isEmpty())
        return;
    auto* open = static_cast<ByteEdit*>(typing_);
    typing_ = nullptr;
    if (digit == Digit::Second && open && history_.last() == open && open->address() == address) {
        put(address, after);
        open->retype(after);
        return;
    }
    auto change = std::make_unique<ByteEdit>(*this, address, bytesAt(address, after.size()), after);
    put(address, after);
    if (digit == Digit::First)
        typing_ = change.get();
    history_.push(std::move(change));
}

void HexDocument::markClean()
{
    marks_.clear();
    typing_ = nullptr;
    history_.markClean();
}

void HexDocument::reload(qint64 address, const QByteArray& bytes)
{
    const qint64 n = std::min<qint64>(bytes.size(), count_ - address);
    for (qint64 i = 0; address >= 0 && i < n; ++i)
        bytes_.set(address + i, uint8_t(bytes[qsizetype(i)]));
    marks_.unmark(address, n);
}

void HexDocument::record(std::unique_ptr<HexChange> change)
{
    typing_ = nullptr;
    history_.push(std::move(change));
}

HexChange* HexDocument::step(bool back)
{
    typing_ = nullptr;
    HexChange* change = back ? history_.undo() : history_.redo();
    // Back where the view matched what it was loaded with: nothing is edited.
    if (change && history_.atClean())
        marks_.clear();
    return change;
}

void HexDocument::clearHistory()
{
    typing_ = nullptr;
    const bool modified = isModified();
    history_.clear();
    // Edits not yet taken in stay edits.
    if (modified)
        history_.markUnclean();
}
