#pragma once
// A scrolling hex view and overwrite editor of a byte buffer, 16 bytes a row.
//
// The view keeps its own copy of the bytes and paints only the rows in sight,
// formatted straight from that copy, so a 64 MiB buffer loads in one copy and
// repaints in the time of one screenful. Rows are one line of the (fixed-pitch)
// font high; an optional column ruler takes the first line.
//
// Editing overwrites in place: hex digits in the hex columns replace the nibble
// under the cursor, printable characters in the ASCII column replace the byte.
// The byte count never changes. Edited bytes are shown in red until the
// modified flag is cleared or new bytes are loaded.
//
// Keys: arrows (by nibble in the hex columns), Page Up/Down, Home/End (row),
// Ctrl+Home/Ctrl+End (buffer), Tab (hex <-> ASCII), Shift with any of these
// selects, Ctrl+C copies the selection (or the cursor byte) as hex text,
// Ctrl+G asks for an address to go to. Finding bytes selects the match.

#include "buffers/ByteView.h"
#include "hexview/ByteStore.h"
#include "hexview/EditMarks.h"
#include "hexview/HexRow.h"

#include <QAbstractScrollArea>

#include <algorithm>

class QPainter;

class HexView : public QAbstractScrollArea, public ByteView {
    Q_OBJECT
public:
    explicit HexView(QWidget* parent = nullptr);

    // ByteView. A load puts the cursor on byte 0 at the top (a load the memory
    // cannot be had for leaves the view empty); copyOut copies at most
    // byteCount() bytes.
    void loadBytes(const uint8_t* data, qint64 count) override;
    void loadArea(const ErasedArea& area, qint64 count) override;
    qint64 byteCount() const override;
    bool isModified() const override;
    void clearModified() override;
    void copyOut(uint8_t* destination, qint64 count) const override;

    void setRulerVisible(bool visible);
    bool isRulerVisible() const { return rulerVisible_; }

    // Scrolls `address` into sight and puts the cursor on it; false (and no
    // change) when the view holds no byte at that address.
    bool goToAddress(qint64 address);
    // The byte under the cursor, -1 when the view is empty.
    qint64 cursorAddress() const;
    // First and last byte of the selection (both the cursor byte when none).
    qint64 selectionStart() const { return std::min(anchor_, cursor_); }
    qint64 selectionEnd() const { return std::max(anchor_, cursor_); }

    // Asks for an address (hexadecimal) and goes there; a beep when there is
    // no byte at it. The dialog's caption and label, in the user's language.
    void askForAddress();
    void setGoToTexts(const QString& caption, const QString& label);
    // Puts the selection (or the cursor byte) on the clipboard as hex text;
    // a beep for a selection too large for that.
    void copySelection() const;
    // Selects the next match of `pattern` after the last one found (or from
    // the cursor), or the previous one before it; false, and no change, when
    // there is none.
    bool findNext(const QByteArray& pattern, bool forward);

    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool isReadOnly() const { return readOnly_; }

    // Rows formatted by painting since the view was made: shows that a repaint
    // touches only the rows in sight.
    qint64 formattedRowCount() const { return formattedRows_; }

signals:
    // The modified flag went up (first edit) or down (clear or load).
    void modifiedChanged(bool modified);
    // A byte was overwritten by the user.
    void dataEdited();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct Hit {
        qint64 address;
        hexrow::Cell cell;
    };

    qint64 rowCount() const;
    int rowsTop() const;
    int fullRowsInSight() const;
    qreal columnX(int column) const;
    Hit hitAt(const QPoint& pos) const;

    void showLoaded();
    void updateMetrics();
    void updateScrollBars();
    void moveCursor(qint64 address, int nibble, bool select);
    void ensureCursorVisible();
    bool navigate(const QKeyEvent* event);
    bool typeCharacter(const QString& text);
    void overwrite(qint64 address, uint8_t value);
    void setModified(bool modified);

    void paintRuler(QPainter& painter) const;
    void paintRow(QPainter& painter, qint64 row, qreal y);
    void paintRowBackground(QPainter& painter, qint64 row, int count, qreal y) const;

    ByteStore bytes_;
    qint64 count_ = 0;
    EditMarks marks_;
    bool modified_ = false;
    bool readOnly_ = false;
    bool rulerVisible_ = false;

    qint64 cursor_ = 0;
    qint64 anchor_ = 0;  // other end of the selection; equal to cursor_ when none
    int nibble_ = 0;
    hexrow::Area area_ = hexrow::Area::Hex;
    qint64 matchStart_ = -1;  // start of the match findNext selected, until the cursor moves
    QString goToCaption_ = QStringLiteral("Go to address");
    QString goToLabel_ = QStringLiteral("Address (hex):");

    qreal charWidth_ = 8;
    int lineHeight_ = 16;
    int ascent_ = 12;
    qint64 formattedRows_ = 0;
};
