#pragma once
// A scrolling hex view and overwrite editor of a byte buffer, 16 bytes a row.
//
// The view keeps its own copy of the bytes and paints only the rows in sight,
// formatted straight from that copy, so a 64 MiB buffer loads in one copy and
// repaints in the time of one screenful. Rows are one line of the (fixed-pitch)
// font high; an optional column ruler takes the first line.
//
// Editing overwrites in place: hex digits in the hex columns replace the nibble
// under the cursor, printable characters in the ASCII column replace the byte,
// a paste replaces as many bytes as it holds. The byte count never changes.
// Edited bytes are shown in red until the modified flag is cleared or new
// bytes are loaded; every change can be undone and redone.
//
// The view is the widget around its parts: the document (bytes, edit marks,
// history), the painter, the keys (navigation and typing), the finder (find
// and go-to) and the clipboard (copy and paste).
//
// Keys: arrows (by nibble in the hex columns), Page Up/Down, Home/End (row),
// Ctrl+Home/Ctrl+End (buffer), Tab / Shift+Tab (hex <-> ASCII column),
// Ctrl+Tab / Ctrl+Shift+Tab (on to the next or previous control), Shift with
// a move selects, Ctrl+C copies the selection (or the cursor byte) as hex
// text, Ctrl+V pastes hex text (text in the ASCII column), Ctrl+Z undoes,
// Ctrl+Y and Ctrl+Shift+Z redo, Ctrl+G asks for an address to go to.

#include "buffers/ByteView.h"
#include "hexview/HexDocument.h"
#include "hexview/HexPainter.h"

#include <QAbstractScrollArea>

#include <functional>
#include <memory>

class HexClipboard;
class HexFinder;
class HexKeys;
class QDialog;

// The view's messages, in the user's language; %1 and %2 as noted.
struct HexTexts {
    QString goToCaption = QStringLiteral("Go to address");
    QString goToLabel = QStringLiteral("Address (hex):");
    // %1 the address asked for, %2 the last address, both in hex.
    QString goToOutside = QStringLiteral("There is no byte at %1: this buffer holds the addresses 0 to %2.");
    // %1 the bytes on the clipboard, %2 the room from the cursor to the end.
    QString pasteTooLong = QStringLiteral("The clipboard holds %1 bytes; from the cursor to the end there is room for %2.");
    QString pasteNotHex = QStringLiteral("The clipboard does not hold hexadecimal bytes (such as EB 3C 90).");
};

enum class FindResult { NotFound, Found, Wrapped };

class HexView : public QAbstractScrollArea, public ByteView {
    Q_OBJECT
public:
    explicit HexView(QWidget* parent = nullptr);
    ~HexView() override;

    // ByteView. A load puts the cursor on byte 0 at the top (a load the memory
    // cannot be had for leaves the view empty); copyOut copies at most
    // byteCount() bytes. A load keeps the history: see HexDocument.
    void loadBytes(const uint8_t* data, qint64 count) override;
    void loadArea(const ErasedArea& area, qint64 count) override;
    qint64 byteCount() const override { return document_.count(); }
    bool isModified() const override { return document_.isModified(); }
    void clearModified() override;
    void copyOut(uint8_t* destination, qint64 count) const override { document_.copyOut(destination, count); }
    // Only the changed bytes are shown anew when the count stays: edits of
    // other bytes, the cursor and the history stay.
    void reloadRange(const ErasedArea& area, qint64 count, qint64 from, qint64 length) override;
    // Bytes from `address` shown as loaded (see HexDocument::reload).
    void reloadBytes(qint64 address, const QByteArray& bytes);
    const HexDocument& document() const { return document_; }

    void setRulerVisible(bool visible);
    bool isRulerVisible() const { return rulerVisible_; }

    // --- cursor and selection
    // The byte under the cursor, -1 when the view is empty.
    qint64 cursorAddress() const;
    // First and last byte of the selection (both the cursor byte when none).
    qint64 selectionStart() const { return cursor_.first(); }
    qint64 selectionEnd() const { return cursor_.last(); }
    const HexCursor& cursorState() const { return cursor_; }
    // Puts the cursor on `address` (kept inside the bytes) at `nibble` and
    // scrolls it into sight; with `select` the selection's other end stays.
    void placeCursor(qint64 address, int nibble, bool select);
    void setArea(hexrow::Area area);
    // Full rows in sight, and scrolling by rows.
    int pageRows() const;
    void scrollRows(int rows);

    // --- go to and find
    // Scrolls `address` into sight and puts the cursor on it; false (and no
    // change) when the view holds no byte at that address.
    bool goToAddress(qint64 address);
    // Asks for an address (hexadecimal) and goes there; one outside the bytes
    // is refused with the valid range. A beep when the view is empty.
    void askForAddress();
    // Selects the next match of `pattern` after the last one found (or from
    // the cursor), or the previous one before it, going round the end of the
    // bytes once; no change when there is none.
    FindResult findNext(const QByteArray& pattern, bool forward);

    // --- copy and paste
    // Puts the selection (or the cursor byte) on the clipboard as hex text;
    // a beep for a selection too large for that.
    void copySelection() const;
    // The clipboard's hex text (its text in the ASCII column) over the bytes
    // from the selection's start; refused when it does not fit. True when
    // something was pasted.
    bool paste();
    bool pasteText(const QString& text);

    // --- changes
    // The user's change of bytes from `address`, kept for undo (see HexDocument).
    void editBytes(qint64 address, const QByteArray& bytes, HexDocument::Digit digit = HexDocument::Digit::None);
    // A change made to the bytes behind the view, which shows it anew
    // itself: kept for undo with the view's own changes.
    void recordChange(std::unique_ptr<HexChange> change);
    bool canUndo() const { return document_.history().canUndo(); }
    bool canRedo() const { return document_.history().canRedo(); }
    // False (and a beep) when there is nothing to take back or the view is read-only.
    bool undo();
    bool redo();
    // After a file open or a chip read: nothing before it can be taken back.
    void clearHistory();

    // A read-only view moves, selects, finds and copies, but changes nothing.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool isReadOnly() const { return readOnly_; }

    void setTexts(const HexTexts& texts) { texts_ = texts; }
    const HexTexts& texts() const { return texts_; }
    // Who shows the view's dialogs (go to): exec() unless set. A runner may
    // refuse by returning QDialog::Rejected without showing it.
    void setDialogRunner(std::function<int(QDialog&)> runner);
    int runDialog(QDialog& dialog) const;
    // A refusal the user must read (go to outside, a paste that does not
    // fit): the refused signal when someone listens, else a beep.
    void refuse(const QString& why);

    qint64 formattedRowCount() const { return painter_.formattedRows(); }

signals:
    // The modified flag went up (first edit) or down (clear, load, undo back).
    void modifiedChanged(bool modified);
    // Bytes were changed by the user, or by undo or redo.
    void dataEdited();
    // What undo and redo can do changed.
    void historyChanged();
    void refused(const QString& why);

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
    HexGeometry geometry() const;
    Hit hitAt(const QPoint& pos) const;

    void showLoaded();
    void updateMetrics();
    void updateScrollBars();
    void ensureCursorVisible();
    // Signals and repaint after the document changed.
    void changed(bool wasModified);
    bool stepHistory(bool back);

    HexDocument document_;
    HexPainter painter_;
    HexCursor cursor_;
    HexTexts texts_;
    std::unique_ptr<HexKeys> keys_;
    std::unique_ptr<HexFinder> finder_;
    std::unique_ptr<HexClipboard> clipboard_;
    std::function<int(QDialog&)> runner_;
    bool readOnly_ = false;
    bool rulerVisible_ = false;

    qreal charWidth_ = 8;
    int lineHeight_ = 16;
    int ascent_ = 12;
};
