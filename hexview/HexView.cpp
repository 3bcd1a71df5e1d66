#include "hexview/HexView.h"

#include "buffers/ByteSearch.h"
#include "buffers/HexText.h"
#include "hexview/HexAddress.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

using hexrow::Area;
using hexrow::asciiColumn;
using hexrow::hexColumn;
using hexrow::kBytesPerRow;
using hexrow::kColumns;
using hexrow::kHexStart;
using hexrow::kOffsetDigits;

namespace {

constexpr qreal kMarginColumns = 0.5;
// Hex text of a larger selection would run to hundreds of megabytes.
constexpr qint64 kMaxCopyBytes = qint64(1) << 20;

QColor offsetColour() { return QColor(0, 0, 160); }
QColor editedColour() { return QColor(Qt::red); }

QFont fixedFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return font;
}

bool isGoToKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_G && event->modifiers() == Qt::ControlModifier;
}

bool isTabKey(const QKeyEvent* event)
{
    return (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

}  // namespace

HexView::HexView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFont(fixedFont());
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    updateMetrics();
}

// --- bytes -----------------------------------------------------------------

void HexView::loadBytes(const uint8_t* data, qint64 count)
{
    count_ = data && count > 0 ? count : 0;
    if (!bytes_.assign(data, count_))
        count_ = 0;
    showLoaded();
}

void HexView::loadArea(const ErasedArea& area, qint64 count)
{
    count_ = std::max<qint64>(count, 0);
    if (!bytes_.assign(area, count_))
        count_ = 0;
    showLoaded();
}

void HexView::showLoaded()
{
    marks_.reset(count_);
    cursor_ = anchor_ = 0;
    nibble_ = 0;
    matchStart_ = -1;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    setModified(false);
    viewport()->update();
}

qint64 HexView::byteCount() const { return count_; }
bool HexView::isModified() const { return modified_; }

void HexView::clearModified()
{
    marks_.clear();
    setModified(false);
    viewport()->update();
}

void HexView::copyOut(uint8_t* destination, qint64 count) const
{
    const qint64 n = std::clamp<qint64>(count, 0, count_);
    if (n > 0)
        bytes_.copyOut(destination, n);
}

void HexView::overwrite(qint64 address, uint8_t value)
{
    bytes_.set(address, value);
    marks_.mark(address);
    setModified(true);
    emit dataEdited();
}

void HexView::setModified(bool modified)
{
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

// --- geometry --------------------------------------------------------------

qint64 HexView::rowCount() const { return (count_ + kBytesPerRow - 1) / kBytesPerRow; }
int HexView::rowsTop() const { return rulerVisible_ ? lineHeight_ : 0; }

int HexView::fullRowsInSight() const
{
    return std::max(1, (viewport()->height() - rowsTop()) / lineHeight_);
}

qreal HexView::columnX(int column) const
{
    return (kMarginColumns + column) * charWidth_ - horizontalScrollBar()->value();
}

HexView::Hit HexView::hitAt(const QPoint& pos) const
{
    const qint64 row = verticalScrollBar()->value()
        + static_cast<qint64>(std::floor(qreal(pos.y() - rowsTop()) / lineHeight_));
    const int column = static_cast<int>(
        std::floor((pos.x() + horizontalScrollBar()->value()) / charWidth_ - kMarginColumns));
    const hexrow::Cell cell = hexrow::cellAt(column);
    const qint64 address = std::clamp<qint64>(row * kBytesPerRow + cell.byte, 0, std::max<qint64>(count_ - 1, 0));
    return {address, cell};
}

void HexView::updateMetrics()
{
    const QFontMetricsF metrics(font());
    charWidth_ = std::max<qreal>(1, metrics.horizontalAdvance(QLatin1Char('0')));
    const QFontMetrics lineMetrics(font());
    lineHeight_ = std::max(1, lineMetrics.height());
    ascent_ = lineMetrics.ascent();
    updateScrollBars();
    viewport()->update();
}

void HexView::updateScrollBars()
{
    // Rows fit a QScrollBar's int range (64 MiB is 4 Mi rows); positions stay qint64.
    const int page = fullRowsInSight();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, static_cast<int>(std::max<qint64>(0, rowCount() - page)));
    vertical->setPageStep(page);
    vertical->setSingleStep(1);

    const int width = static_cast<int>(std::ceil((2 * kMarginColumns + kColumns) * charWidth_));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, width - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(static_cast<int>(std::ceil(charWidth_)));
}

void HexView::setRulerVisible(bool visible)
{
    if (rulerVisible_ == visible)
        return;
    rulerVisible_ = visible;
    updateScrollBars();
    viewport()->update();
}

// --- cursor ----------------------------------------------------------------

qint64 HexView::cursorAddress() const { return count_ > 0 ? cursor_ : -1; }

bool HexView::goToAddress(qint64 address)
{
    if (address < 0 || address >= count_)
        return false;
    moveCursor(address, 0, false);
    return true;
}

void HexView::moveCursor(qint64 address, int nibble, bool select)
{
    matchStart_ = -1;
    cursor_ = std::clamp<qint64>(address, 0, std::max<qint64>(count_ - 1, 0));
    nibble_ = area_ == Area::Hex ? nibble : 0;
    if (!select)
        anchor_ = cursor_;
    ensureCursorVisible();
    viewport()->update();
}

void HexView::ensureCursorVisible()
{
    const qint64 row = cursor_ / kBytesPerRow;
    const int page = fullRowsInSight();
    QScrollBar* vertical = verticalScrollBar();
    if (row < vertical->value())
        vertical->setValue(static_cast<int>(row));
    else if (row >= vertical->value() + qint64(page))
        vertical->setValue(static_cast<int>(row - page + 1));

    const int byte = static_cast<int>(cursor_ % kBytesPerRow);
    const int column = area_ == Area::Hex ? hexColumn(byte) + nibble_ : asciiColumn(byte);
    const int left = static_cast<int>(std::floor((kMarginColumns + column) * charWidth_));
    const int right = static_cast<int>(std::ceil((kMarginColumns + column + 1) * charWidth_));
    QScrollBar* horizontal = horizontalScrollBar();
    if (left < horizontal->value())
        horizontal->setValue(left);
    else if (right > horizontal->value() + viewport()->width())
        horizontal->setValue(right - viewport()->width());
}

bool HexView::navigate(const QKeyEvent* event)
{
    const bool select = event->modifiers() & Qt::ShiftModifier;
    const bool wholeBuffer = event->modifiers() & Qt::ControlModifier;
    const bool hex = area_ == Area::Hex;
    const qint64 rowStart = cursor_ - cursor_ % kBytesPerRow;
    const qint64 last = count_ - 1;
    const int pageRows = fullRowsInSight();
    const qint64 page = qint64(pageRows) * kBytesPerRow;
    QScrollBar* vertical = verticalScrollBar();

    switch (event->key()) {
    case Qt::Key_Left:
        if (hex && nibble_ == 1)
            moveCursor(cursor_, 0, select);
        else if (cursor_ > 0)
            moveCursor(cursor_ - 1, 1, select);
        return true;
    case Qt::Key_Right:
        if (hex && nibble_ == 0)
            moveCursor(cursor_, 1, select);
        else if (cursor_ < last)
            moveCursor(cursor_ + 1, 0, select);
        return true;
    case Qt::Key_Up:
        if (cursor_ >= kBytesPerRow)
            moveCursor(cursor_ - kBytesPerRow, nibble_, select);
        return true;
    case Qt::Key_Down:
        if (rowStart + kBytesPerRow <= last)
            moveCursor(std::min(cursor_ + kBytesPerRow, last), nibble_, select);
        return true;
    case Qt::Key_PageUp:
        // The page scrolls with the cursor, as in a text editor.
        vertical->setValue(vertical->value() - pageRows);
        moveCursor(cursor_ >= page ? cursor_ - page : cursor_ % kBytesPerRow, nibble_, select);
        return true;
    case Qt::Key_PageDown:
        vertical->setValue(vertical->value() + pageRows);
        moveCursor(std::min(cursor_ + page, last), nibble_, select);
        return true;
    case Qt::Key_Home:
        moveCursor(wholeBuffer ? 0 : rowStart, 0, select);
        return true;
    case Qt::Key_End:
        moveCursor(wholeBuffer ? last : std::min(rowStart + kBytesPerRow - 1, last), 0, select);
        return true;
    default:
        return false;
    }
}

// --- input -----------------------------------------------------------------

bool HexView::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress && isTabKey(static_cast<QKeyEvent*>(event))) {
        // Tab switches columns here instead of moving the focus on.
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || isGoToKey(key)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void HexView::keyPressEvent(QKeyEvent* event)
{
    if (count_ == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    if (isGoToKey(event)) {
        askForAddress();
        return;
    }
    if (isTabKey(event)) {
        area_ = area_ == Area::Hex ? Area::Ascii : Area::Hex;
        nibble_ = 0;
        ensureCursorVisible();
        viewport()->update();
        return;
    }
    if (navigate(event))
        return;
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && typeCharacter(event->text()))
        return;
    QAbstractScrollArea::keyPressEvent(event);
}

bool HexView::typeCharacter(const QString& text)
{
    if (readOnly_ || text.size() != 1)
        return false;
    const uint8_t old = bytes_.at(cursor_);
    if (area_ == Area::Hex) {
        const int digit = hexDigitValue(text[0]);
        if (digit < 0)
            return false;
        overwrite(cursor_, nibble_ == 0 ? uint8_t((old & 0x0F) | (digit << 4)) : uint8_t((old & 0xF0) | digit));
        if (nibble_ == 0)
            moveCursor(cursor_, 1, false);
        else if (cursor_ + 1 < count_)
            moveCursor(cursor_ + 1, 0, false);
        else
            moveCursor(cursor_, 1, false);
        return true;
    }
    const char16_t c = text[0].unicode();
    if (c < 0x20 || c >= 0x7F)
        return false;
    overwrite(cursor_, static_cast<uint8_t>(c));
    moveCursor(std::min(cursor_ + 1, count_ - 1), 0, false);
    return true;
}

void HexView::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (count_ == 0 || event->button() != Qt::LeftButton || pos.y() < rowsTop()) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const Hit hit = hitAt(pos);
    area_ = hit.cell.area;
    moveCursor(hit.address, hit.cell.nibble, event->modifiers() & Qt::ShiftModifier);
}

void HexView::mouseMoveEvent(QMouseEvent* event)
{
    if (count_ == 0 || !(event->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    // A drag selects in the column it started in.
    const Hit hit = hitAt(event->position().toPoint());
    moveCursor(hit.address, hit.cell.area == area_ ? hit.cell.nibble : 0, true);
}

void HexView::copySelection() const
{
    if (count_ == 0)
        return;
    const qint64 first = selectionStart();
    const qint64 n = selectionEnd() - first + 1;
    if (n > kMaxCopyBytes) {
        QApplication::beep();
        return;
    }
    std::vector<uint8_t> room(static_cast<std::size_t>(n));
    QApplication::clipboard()->setText(hexText(bytes_.read(first, n, room.data()), n));
}

bool HexView::findNext(const QByteArray& pattern, bool forward)
{
    const bool again = matchStart_ >= 0;
    // A search looks at every byte, so the view's copy is stored whole for it.
    const uint8_t* all = bytes_.contiguous();
    const qint64 at = forward ? findForward(all, count_, pattern, again ? matchStart_ + 1 : cursor_)
                              : findBackward(all, count_, pattern, again ? matchStart_ : cursor_);
    if (at < 0)
        return false;
    moveCursor(at, 0, false);
    moveCursor(at + pattern.size() - 1, 0, true);
    matchStart_ = at;
    return true;
}

void HexView::setGoToTexts(const QString& caption, const QString& label)
{
    goToCaption_ = caption;
    goToLabel_ = label;
}

void HexView::askForAddress()
{
    if (count_ == 0) {
        QApplication::beep();
        return;
    }
    QInputDialog dialog(this);
    dialog.setWindowTitle(goToCaption_);
    dialog.setLabelText(goToLabel_);
    dialog.setTextValue(QString::number(cursor_, 16).toUpper());
    if (auto* edit = dialog.findChild<QLineEdit*>())
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,15}")), edit));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<qint64> address = parseHexAddress(dialog.textValue());
    if (!address || !goToAddress(*address))
        QApplication::beep();
}

// --- painting --------------------------------------------------------------

void HexView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void HexView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateMetrics();
}

void HexView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.setFont(font());
    const QRect exposed = event->rect();
    painter.fillRect(exposed, palette().color(QPalette::Base));

    // Only the rows crossing the exposed rectangle are formatted.
    const int top = rowsTop();
    if (exposed.bottom() >= top) {
        const qint64 first = verticalScrollBar()->value();
        const qint64 from = first + std::max(0, exposed.top() - top) / lineHeight_;
        const qint64 to = std::min(rowCount(), first + (exposed.bottom() - top) / lineHeight_ + 1);
        for (qint64 row = from; row < to; ++row)
            paintRow(painter, row, top + qreal(row - first) * lineHeight_);
    }
    if (rulerVisible_ && exposed.top() < top)
        paintRuler(painter);
}

void HexView::paintRuler(QPainter& painter) const
{
    painter.fillRect(QRect(0, 0, viewport()->width(), rowsTop()), palette().color(QPalette::Button));
    char text[kColumns];
    hexrow::formatRuler(text);
    painter.setPen(offsetColour());
    painter.drawText(QPointF(columnX(kHexStart), ascent_), QString::fromLatin1(text + kHexStart, kColumns - kHexStart));
}

void HexView::paintRow(QPainter& painter, qint64 row, qreal y)
{
    const qint64 address = row * kBytesPerRow;
    const int count = static_cast<int>(std::min<qint64>(kBytesPerRow, count_ - address));
    char text[kColumns];
    uint8_t room[kBytesPerRow];
    hexrow::formatRow(address, bytes_.read(address, count, room), count, text);
    ++formattedRows_;

    paintRowBackground(painter, row, count, y);
    const qreal baseline = y + ascent_;
    painter.setPen(offsetColour());
    painter.drawText(QPointF(columnX(0), baseline), QString::fromLatin1(text, kOffsetDigits));

    const QColor plain = palette().color(QPalette::Text);
    const uint16_t edited = marks_.rowBits(row);
    if (edited == 0) {
        painter.setPen(plain);
        painter.drawText(QPointF(columnX(kHexStart), baseline), QString::fromLatin1(text + kHexStart, kColumns - kHexStart));
    } else {
        for (int i = 0; i < count; ++i) {
            painter.setPen((edited >> i) & 1 ? editedColour() : plain);
            painter.drawText(QPointF(columnX(hexColumn(i)), baseline), QString::fromLatin1(text + hexColumn(i), 2));
            painter.drawText(QPointF(columnX(asciiColumn(i)), baseline), QString(QLatin1Char(text[asciiColumn(i)])));
        }
    }

    if (cursor_ / kBytesPerRow == row) {
        const int byte = static_cast<int>(cursor_ % kBytesPerRow);
        const int column = area_ == Area::Hex ? hexColumn(byte) + nibble_ : asciiColumn(byte);
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.drawText(QPointF(columnX(column), baseline), QString(QLatin1Char(text[column])));
    }
}

void HexView::paintRowBackground(QPainter& painter, qint64 row, int count, qreal y) const
{
    const qint64 address = row * kBytesPerRow;
    const qint64 selFirst = std::min(anchor_, cursor_);
    const qint64 selLast = std::max(anchor_, cursor_);
    if (selFirst != selLast && selFirst < address + count && selLast >= address) {
        QColor selected = palette().color(QPalette::Highlight);
        selected.setAlpha(70);
        const int from = static_cast<int>(std::max(selFirst, address) - address);
        const int to = static_cast<int>(std::min(selLast, address + count - 1) - address);
        painter.fillRect(QRectF(QPointF(columnX(hexColumn(from)), y), QPointF(columnX(hexColumn(to) + 2), y + lineHeight_)), selected);
        painter.fillRect(QRectF(QPointF(columnX(asciiColumn(from)), y), QPointF(columnX(asciiColumn(to) + 1), y + lineHeight_)), selected);
    }
    if (cursor_ / kBytesPerRow != row)
        return;
    // The cell being typed into is filled, its twin in the other column outlined.
    const int byte = static_cast<int>(cursor_ % kBytesPerRow);
    const bool hex = area_ == Area::Hex;
    const QRectF hexCell(columnX(hexColumn(byte) + (hex ? nibble_ : 0)), y, charWidth_ * (hex ? 1 : 2), lineHeight_);
    const QRectF asciiCell(columnX(asciiColumn(byte)), y, charWidth_, lineHeight_);
    const QColor highlight = palette().color(QPalette::Highlight);
    painter.fillRect(hex ? hexCell : asciiCell, highlight);
    painter.setPen(highlight);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect((hex ? asciiCell : hexCell).adjusted(0, 0, -1, -1));
}
