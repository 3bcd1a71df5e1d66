#include "hexview/HexView.h"

#include "hexview/HexClipboard.h"
#include "hexview/HexFinder.h"
#include "hexview/HexKeys.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

using hexrow::Area;
using hexrow::kBytesPerRow;
using hexrow::kColumns;

namespace {

QFont fixedFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!QFontInfo(font).fixedPitch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return font;
}

} // namespace

HexView::HexView(QWidget* parent)
    : QAbstractScrollArea(parent), keys_(std::make_unique<HexKeys>(*this)),
      finder_(std::make_unique<HexFinder>(*this)), clipboard_(std::make_unique<HexClipboard>(*this))
{
    setFont(fixedFont());
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    updateMetrics();
}

HexView::~HexView() = default;

// --- bytes -----------------------------------------------------------------

void HexView::loadBytes(const uint8_t* data, qint64 count)
{
    const bool was = isModified();
    document_.assign(data, count);
    showLoaded();
    changed(was);
}

void HexView::loadArea(const ErasedArea& area, qint64 count)
{
    const bool was = isModified();
    document_.assign(area, count);
    showLoaded();
    changed(was);
}

void HexView::reloadRange(const ErasedArea& area, qint64 count, qint64 from, qint64 length)
{
    if (count != byteCount()) {
        loadArea(area, count);
        return;
    }
    const qint64 first = std::clamp<qint64>(from, 0, count);
    const qint64 n = std::clamp<qint64>(length, 0, count - first);
    QByteArray bytes(qsizetype(n), Qt::Uninitialized);
    area.copyOut(first, n, reinterpret_cast<uint8_t*>(bytes.data()));
    reloadBytes(first, bytes);
}

void HexView::reloadBytes(qint64 address, const QByteArray& bytes)
{
    document_.reload(address, bytes);
    viewport()->update();
}

void HexView::showLoaded()
{
    cursor_ = HexCursor{};
    updateScrollBars();
    verticalScrollBar()->setValue(0);
}

void HexView::clearModified()
{
    const bool was = isModified();
    document_.markClean();
    changed(was);
}

void HexView::changed(bool wasModified)
{
    if (wasModified != isModified())
        emit modifiedChanged(isModified());
    emit historyChanged();
    viewport()->update();
}

void HexView::editBytes(qint64 address, const QByteArray& bytes, HexDocument::Digit digit)
{
    if (readOnly_)
        return;
    const bool was = isModified();
    document_.edit(address, bytes, digit);
    emit dataEdited();
    changed(was);
}

void HexView::recordChange(std::unique_ptr<HexChange> change)
{
    document_.record(std::move(change));
    emit historyChanged();
}

bool HexView::undo() { return stepHistory(true); }
bool HexView::redo() { return stepHistory(false); }

bool HexView::stepHistory(bool back)
{
    if (readOnly_ || !(back ? canUndo() : canRedo())) {
        QApplication::beep();
        return false;
    }
    const bool was = isModified();
    const HexChange* change = document_.step(back);
    // A change that reloaded the view has put the cursor on byte 0.
    if (change && change->address() < byteCount()) {
        placeCursor(change->address() + change->length() - 1, 0, false);
        placeCursor(change->address(), 0, change->length() > 1);
    }
    emit dataEdited();
    changed(was);
    return true;
}

void HexView::clearHistory()
{
    const bool was = isModified();
    document_.clearHistory();
    changed(was);
}

// --- geometry --------------------------------------------------------------

qint64 HexView::rowCount() const { return (byteCount() + kBytesPerRow - 1) / kBytesPerRow; }
int HexView::rowsTop() const { return rulerVisible_ ? lineHeight_ : 0; }

int HexView::pageRows() const
{
    return std::max(1, (viewport()->height() - rowsTop()) / lineHeight_);
}

void HexView::scrollRows(int rows)
{
    verticalScrollBar()->setValue(verticalScrollBar()->value() + rows);
}

HexGeometry HexView::geometry() const
{
    HexGeometry g;
    g.charWidth = charWidth_;
    g.lineHeight = lineHeight_;
    g.ascent = ascent_;
    g.rowsTop = rowsTop();
    g.scrollX = horizontalScrollBar()->value();
    g.firstRow = verticalScrollBar()->value();
    g.width = viewport()->width();
    return g;
}

HexView::Hit HexView::hitAt(const QPoint& pos) const
{
    const qint64 row = verticalScrollBar()->value()
        + static_cast<qint64>(std::floor(qreal(pos.y() - rowsTop()) / lineHeight_));
    const int column = static_cast<int>(
        std::floor((pos.x() + horizontalScrollBar()->value()) / charWidth_ - HexGeometry::kMarginColumns));
    const hexrow::Cell cell = hexrow::cellAt(column);
    const qint64 address = std::clamp<qint64>(row * kBytesPerRow + cell.byte, 0, std::max<qint64>(byteCount() - 1, 0));
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
    const int page = pageRows();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, static_cast<int>(std::max<qint64>(0, rowCount() - page)));
    vertical->setPageStep(page);
    vertical->setSingleStep(1);

    const int width = static_cast<int>(std::ceil((2 * HexGeometry::kMarginColumns + kColumns) * charWidth_));
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

qint64 HexView::cursorAddress() const { return byteCount() > 0 ? cursor_.cursor : -1; }

bool HexView::goToAddress(qint64 address)
{
    if (address < 0 || address >= byteCount())
        return false;
    placeCursor(address, 0, false);
    return true;
}

void HexView::placeCursor(qint64 address, int nibble, bool select)
{
    cursor_.cursor = std::clamp<qint64>(address, 0, std::max<qint64>(byteCount() - 1, 0));
    cursor_.nibble = cursor_.area == Area::Hex ? nibble : 0;
    if (!select)
        cursor_.anchor = cursor_.cursor;
    ensureCursorVisible();
    viewport()->update();
}

void HexView::setArea(Area area)
{
    cursor_.area = area;
    cursor_.nibble = 0;
    ensureCursorVisible();
    viewport()->update();
}

void HexView::ensureCursorVisible()
{
    const qint64 row = cursor_.cursor / kBytesPerRow;
    const int page = pageRows();
    QScrollBar* vertical = verticalScrollBar();
    if (row < vertical->value())
        vertical->setValue(static_cast<int>(row));
    else if (row >= vertical->value() + qint64(page))
        vertical->setValue(static_cast<int>(row - page + 1));

    const int column = cursor_.column();
    const int left = static_cast<int>(std::floor((HexGeometry::kMarginColumns + column) * charWidth_));
    const int right = static_cast<int>(std::ceil((HexGeometry::kMarginColumns + column + 1) * charWidth_));
    QScrollBar* horizontal = horizontalScrollBar();
    if (left < horizontal->value())
        horizontal->setValue(left);
    else if (right > horizontal->value() + viewport()->width())
        horizontal->setValue(right - viewport()->width());
}

// --- parts -----------------------------------------------------------------

void HexView::askForAddress() { finder_->askForAddress(); }

FindResult HexView::findNext(const QByteArray& pattern, bool forward) { return finder_->findNext(pattern, forward); }

void HexView::copySelection() const { clipboard_->copy(); }

bool HexView::paste() { return clipboard_->paste(QApplication::clipboard()->text()); }

bool HexView::pasteText(const QString& text) { return clipboard_->paste(text); }

void HexView::setDialogRunner(std::function<int(QDialog&)> runner) { runner_ = std::move(runner); }

int HexView::runDialog(QDialog& dialog) const { return runner_ ? runner_(dialog) : dialog.exec(); }

void HexView::refuse(const QString& why)
{
    if (isSignalConnected(QMetaMethod::fromSignal(&HexView::refused)))
        emit refused(why);
    else
        QApplication::beep();
}

// --- input -----------------------------------------------------------------

bool HexView::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Tab belongs to the view; Ctrl+Tab leaves it, as in other widgets that use Tab.
        if (const int direction = HexKeys::leaveDirection(key)) {
            focusNextPrevChild(direction > 0);
            return true;
        }
        if (HexKeys::isColumnSwitch(key)) {
            keyPressEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride && HexKeys::isCommand(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void HexView::keyPressEvent(QKeyEvent* event)
{
    if (!keys_->press(event))
        QAbstractScrollArea::keyPressEvent(event);
}

void HexView::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (byteCount() == 0 || event->button() != Qt::LeftButton || pos.y() < rowsTop()) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const Hit hit = hitAt(pos);
    cursor_.area = hit.cell.area;
    placeCursor(hit.address, hit.cell.nibble, event->modifiers() & Qt::ShiftModifier);
}

void HexView::mouseMoveEvent(QMouseEvent* event)
{
    if (byteCount() == 0 || !(event->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    // A drag selects in the column it started in.
    const Hit hit = hitAt(event->position().toPoint());
    placeCursor(hit.address, hit.cell.area == cursor_.area ? hit.cell.nibble : 0, true);
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
    painter_.paint(painter, event->rect(), document_, cursor_, geometry(), palette(), rulerVisible_);
}
