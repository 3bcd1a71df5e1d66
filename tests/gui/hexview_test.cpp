#include "hexview/EditHistory.h"
#include "hexview/EditMarks.h"
#include "hexview/HexAddress.h"
#include "hexview/HexRow.h"
#include "hexview/HexView.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QInputDialog>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

constexpr qint64 kFlash = qint64(64) << 20;

std::vector<uint8_t> counting(qint64 n)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(n));
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

std::vector<uint8_t> contentOf(const HexView& view)
{
    std::vector<uint8_t> out(static_cast<size_t>(view.byteCount()));
    view.copyOut(out.data(), view.byteCount());
    return out;
}

// A shown 1000x600 view holding `bytes`.
std::unique_ptr<HexView> shownView(const std::vector<uint8_t>& bytes)
{
    auto view = std::make_unique<HexView>();
    view->resize(1000, 600);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    view->loadBytes(bytes.data(), static_cast<qint64>(bytes.size()));
    return view;
}

// The centre of a character cell of a row on screen.
QPoint cellCentre(const HexView& view, int screenRow, int column)
{
    const qreal charWidth = QFontMetricsF(view.font()).horizontalAdvance(QLatin1Char('0'));
    const int line = QFontMetrics(view.font()).height();
    const int top = view.isRulerVisible() ? line : 0;
    return QPoint(int((column + 1.0) * charWidth) - view.horizontalScrollBar()->value(),
                  top + screenRow * line + line / 2);
}

qint64 rowsFormattedByOnePaint(HexView& view)
{
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    const qint64 before = view.formattedRowCount();
    view.viewport()->render(&image);
    return view.formattedRowCount() - before;
}

int redPixels(HexView& view)
{
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    view.viewport()->render(&image);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 180 && c.green() < 90 && c.blue() < 90;
        }
    return n;
}

// A change that only notes what was done to it.
struct NotedChange : HexChange {
    NotedChange(QStringList& log, int id, qint64 size) : log_(log), id_(id), size_(size) {}
    void undo() override { log_ << QStringLiteral("undo %1").arg(id_); }
    void redo() override { log_ << QStringLiteral("redo %1").arg(id_); }
    qint64 address() const override { return id_; }
    qint64 length() const override { return 1; }
    qint64 cost() const override { return size_; }

    QStringList& log_;
    int id_;
    qint64 size_;
};

}  // namespace

class HexViewTest : public QObject {
    Q_OBJECT
private slots:
    void rowTextAndCells();
    void editMarks();
    void hexAddressText();
    void loadCopyOutAndReload();
    void areaLoadShowsUnstoredBytesAsErased();
    void hexDigitsOverwriteNibbles();
    void asciiColumnOverwritesBytes();
    void readOnlyIgnoresTyping();
    void editedBytesColouredUntilCleared();
    void navigationAtTheEndsOf64MiB();
    void goToAddressScrollsIntoSight();
    void goToShortcutAsksForAddress();
    void paintFormatsOnlyRowsInSight();
    void rulerTakesTheFirstLine();
    void mouseClickPlacesCursor();
    void copyPutsHexTextOnClipboard();
    void findSelectsEachMatchForwardAndBackward();
    void undoAndRedoTakeBackEachKindOfEdit_data();
    void undoAndRedoTakeBackEachKindOfEdit();
    void historyKeepsTheNewestChangesWithinItsLimits();
    void pasteOverwritesOrIsRefusedWhole_data();
    void pasteOverwritesOrIsRefusedWhole();
    void tabSwitchesColumnsAndCtrlTabLeaves();
};

void HexViewTest::rowTextAndCells()
{
    using namespace hexrow;
    const uint8_t bytes[] = {0x00, 0x41, 0x7F, 0xFF};
    char row[kColumns];
    formatRow(0x3FFFFF0, bytes, 4, row);
    const QByteArray text(row, kColumns);
    QCOMPARE(text.left(22), QByteArray("03FFFFF0  00 41 7F FF "));
    QCOMPARE(text.mid(22, kAsciiStart - 22).trimmed(), QByteArray());
    QCOMPARE(text.mid(kAsciiStart), QByteArray(".A..") + QByteArray(12, ' '));

    formatRuler(row);
    QCOMPARE(QByteArray(row + hexColumn(7), 7), QByteArray("07  08 "));
    QCOMPARE(QByteArray(row + kAsciiStart, 16), QByteArray("0123456789ABCDEF"));

    QCOMPARE(hexColumn(8), hexColumn(7) + 4);
    const auto check = [](int column, Area area, int byte, int nibble) {
        const Cell c = cellAt(column);
        return c.area == area && c.byte == byte && c.nibble == nibble;
    };
    QVERIFY(check(0, Area::Hex, 0, 0));
    QVERIFY(check(hexColumn(3) + 1, Area::Hex, 3, 1));
    QVERIFY(check(hexColumn(7) + 3, Area::Hex, 7, 1));  // the gap
    QVERIFY(check(hexColumn(8), Area::Hex, 8, 0));
    QVERIFY(check(hexColumn(15) + 1, Area::Hex, 15, 1));
    QVERIFY(check(kAsciiStart - 1, Area::Ascii, 0, 0));
    QVERIFY(check(asciiColumn(9), Area::Ascii, 9, 0));
    QVERIFY(check(kColumns + 10, Area::Ascii, 15, 0));
}

void HexViewTest::editMarks()
{
    EditMarks marks;
    marks.reset(100);
    QVERIFY(!marks.any());
    marks.mark(17);
    marks.mark(63);
    marks.mark(-1);
    marks.mark(100);
    QVERIFY(marks.any());
    QCOMPARE(marks.rowBits(0), uint16_t(0));
    QCOMPARE(marks.rowBits(1), uint16_t(1 << 1));
    QCOMPARE(marks.rowBits(3), uint16_t(0x8000));
    QVERIFY(!marks.isMarked(100));
    QCOMPARE(marks.rowBits(7), uint16_t(0));
    marks.clear();
    QVERIFY(!marks.any());
    QVERIFY(!marks.isMarked(17));
    marks.mark(5);
    marks.reset(10);
    QVERIFY(!marks.isMarked(5));
}

void HexViewTest::hexAddressText()
{
    const auto value = [](const QString& text) { return parseHexAddress(text).value_or(-1); };
    QCOMPARE(value("1a"), qint64(26));
    QCOMPARE(value(" 3FFFFFF "), qint64(0x3FFFFFF));
    QCOMPARE(value(QString(15, u'7')), qint64(0x777777777777777));
    for (const char* bad : {"", "0x10", "-1", "12G", "1 2"})
        QCOMPARE(value(bad), qint64(-1));
    QCOMPARE(value(QString(16, u'F')), qint64(-1));
}

void HexViewTest::loadCopyOutAndReload()
{
    HexView view;
    QCOMPARE(view.cursorAddress(), qint64(-1));
    const std::vector<uint8_t> bytes = counting(100);
    view.loadBytes(bytes.data(), 100);
    QCOMPARE(view.byteCount(), qint64(100));
    QVERIFY(!view.isModified());
    QCOMPARE(view.cursorAddress(), qint64(0));
    QCOMPARE(contentOf(view), bytes);

    // Asking for more than the view holds copies only what it holds.
    std::vector<uint8_t> out(200, 0xEE);
    view.copyOut(out.data(), 200);
    QVERIFY(std::equal(bytes.begin(), bytes.end(), out.begin()));
    QCOMPARE(out[100], uint8_t(0xEE));

    QSignalSpy modified(&view, &HexView::modifiedChanged);
    QTest::keyClicks(&view, "f");
    QVERIFY(view.isModified());
    const std::vector<uint8_t> other(20, 0x55);
    view.loadBytes(other.data(), 20);
    QVERIFY(!view.isModified());
    QCOMPARE(modified.count(), 2);
    QCOMPARE(modified.at(1).at(0).toBool(), false);
    QCOMPARE(contentOf(view), other);

    view.loadBytes(nullptr, 50);
    QCOMPARE(view.byteCount(), qint64(0));
    QCOMPARE(view.cursorAddress(), qint64(-1));
    QTest::keyClicks(&view, "a");
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(!view.isModified());
}

void HexViewTest::areaLoadShowsUnstoredBytesAsErased()
{
    // A 64 MiB chip over 40 stored bytes: the view holds the chip's count,
    // shows, paints, copies and edits the unstored bytes as 0xFF.
    ErasedArea area(kFlash);
    const std::vector<uint8_t> bytes = counting(40);
    area.write(0, bytes.data(), 40);
    HexView view;
    view.resize(600, 400);
    view.loadBytes(bytes.data(), 40);
    view.loadArea(area, kFlash);
    QCOMPARE(view.byteCount(), kFlash);
    std::vector<uint8_t> head(64, 0);
    view.copyOut(head.data(), 64);
    std::vector<uint8_t> expected = bytes;
    expected.resize(64, 0xFF);
    QCOMPARE(head, expected);
    QVERIFY(view.goToAddress(kFlash - 2));
    const qint64 formatted = view.formattedRowCount();
    view.grab();
    QVERIFY(view.formattedRowCount() > formatted);
    QTest::keyClicks(&view, "5");
    QVERIFY(view.isModified());
    std::vector<uint8_t> all(static_cast<size_t>(kFlash), 0);
    view.copyOut(all.data(), kFlash);
    QCOMPARE(all[size_t(kFlash - 3)], uint8_t(0xFF));
    QCOMPARE(all[size_t(kFlash - 2)], uint8_t(0x5F));
    QCOMPARE(all[size_t(kFlash - 1)], uint8_t(0xFF));
    QCOMPARE(all[39], uint8_t(39));
    QCOMPARE(all[40], uint8_t(0xFF));

    // A shorter count takes only that much of what the area stored.
    view.loadArea(area, 10);
    QCOMPARE(contentOf(view), counting(10));
    QCOMPARE(area.stored(), qint64(40));
}

void HexViewTest::hexDigitsOverwriteNibbles()
{
    HexView view;
    const uint8_t bytes[] = {0x12, 0x34, 0x56};
    view.loadBytes(bytes, 3);
    QSignalSpy modified(&view, &HexView::modifiedChanged);
    QSignalSpy edited(&view, &HexView::dataEdited);

    QTest::keyClicks(&view, "a");
    QCOMPARE(contentOf(view), (std::vector<uint8_t>{0xA2, 0x34, 0x56}));
    QCOMPARE(view.cursorAddress(), qint64(0));
    QTest::keyClicks(&view, "B");
    QCOMPARE(contentOf(view), (std::vector<uint8_t>{0xAB, 0x34, 0x56}));
    QCOMPARE(view.cursorAddress(), qint64(1));
    QVERIFY(view.isModified());
    QCOMPARE(modified.count(), 1);
    QCOMPARE(modified.at(0).at(0).toBool(), true);
    QCOMPARE(edited.count(), 2);

    QTest::keyClicks(&view, "gx ");
    QCOMPARE(contentOf(view), (std::vector<uint8_t>{0xAB, 0x34, 0x56}));
    QCOMPARE(edited.count(), 2);

    // Typing past the last byte keeps overwriting it; the count never grows.
    QTest::keyClick(&view, Qt::Key_End);
    QTest::keyClicks(&view, "cde");
    QCOMPARE(contentOf(view), (std::vector<uint8_t>{0xAB, 0x34, 0xCE}));
    QCOMPARE(view.byteCount(), qint64(3));
    QCOMPARE(modified.count(), 1);
}

void HexViewTest::asciiColumnOverwritesBytes()
{
    HexView view;
    const std::vector<uint8_t> bytes(4, 0);
    view.loadBytes(bytes.data(), 4);
    QTest::keyClick(&view, Qt::Key_Tab);
    QTest::keyClicks(&view, "Hi");
    QTest::keyClick(&view, Qt::Key_Escape);
    QCOMPARE(contentOf(view), (std::vector<uint8_t>{'H', 'i', 0, 0}));
    QCOMPARE(view.cursorAddress(), qint64(2));
    QTest::keyClick(&view, Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClicks(&view, "7");
    QCOMPARE(contentOf(view), (std::vector<uint8_t>{'H', 'i', 0x70, 0}));
}

void HexViewTest::readOnlyIgnoresTyping()
{
    HexView view;
    const std::vector<uint8_t> bytes(4, 0x11);
    view.loadBytes(bytes.data(), 4);
    view.setReadOnly(true);
    QTest::keyClicks(&view, "ff");
    QTest::keyClick(&view, Qt::Key_Tab);
    QTest::keyClicks(&view, "zz");
    QCOMPARE(contentOf(view), bytes);
    QVERIFY(!view.isModified());
    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(view.cursorAddress(), qint64(1));
}

void HexViewTest::editedBytesColouredUntilCleared()
{
    const auto view = shownView(counting(4096));
    QVERIFY(view);
    QSignalSpy modified(view.get(), &HexView::modifiedChanged);
    QCOMPARE(redPixels(*view), 0);
    QTest::keyClicks(view.get(), "00");
    QVERIFY(redPixels(*view) > 0);
    view->clearModified();
    QVERIFY(!view->isModified());
    QCOMPARE(modified.count(), 2);
    QCOMPARE(modified.at(1).at(0).toBool(), false);
    QCOMPARE(redPixels(*view), 0);
    QTest::keyClicks(view.get(), "1");
    QVERIFY(view->isModified());
}

void HexViewTest::navigationAtTheEndsOf64MiB()
{
    const auto view = shownView(std::vector<uint8_t>(static_cast<size_t>(kFlash), 0xFF));
    QVERIFY(view);
    HexView* v = view.get();
    QScrollBar* bar = v->verticalScrollBar();
    const qint64 page = bar->pageStep() * qint64(16);
    QCOMPARE(bar->maximum(), int(kFlash / 16 - bar->pageStep()));

    QTest::keyClick(v, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(v->cursorAddress(), kFlash - 1);
    QCOMPARE(bar->value(), bar->maximum());
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End})
        QTest::keyClick(v, key);
    QCOMPARE(v->cursorAddress(), kFlash - 1);
    QTest::keyClick(v, Qt::Key_Home);
    QCOMPARE(v->cursorAddress(), kFlash - 16);
    QTest::keyClick(v, Qt::Key_PageUp);
    QCOMPARE(v->cursorAddress(), kFlash - 16 - page);

    QTest::keyClick(v, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(v->cursorAddress(), qint64(0));
    QCOMPARE(bar->value(), 0);
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_PageUp, Qt::Key_Home})
        QTest::keyClick(v, key);
    QCOMPARE(v->cursorAddress(), qint64(0));

    QTest::keyClick(v, Qt::Key_Right);  // low nibble of the same byte
    QCOMPARE(v->cursorAddress(), qint64(0));
    QTest::keyClick(v, Qt::Key_Right);
    QTest::keyClick(v, Qt::Key_Down);
    QCOMPARE(v->cursorAddress(), qint64(17));
    QTest::keyClick(v, Qt::Key_PageDown);
    QCOMPARE(v->cursorAddress(), 17 + page);
    QTest::keyClick(v, Qt::Key_End);
    QCOMPARE(v->cursorAddress(), 31 + page);
    QTest::keyClick(v, Qt::Key_Tab);
    QTest::keyClick(v, Qt::Key_Left);  // a whole byte in the ASCII column
    QCOMPARE(v->cursorAddress(), 30 + page);
}

void HexViewTest::goToAddressScrollsIntoSight()
{
    const auto view = shownView(std::vector<uint8_t>(static_cast<size_t>(kFlash), 0));
    QVERIFY(view);
    QScrollBar* bar = view->verticalScrollBar();
    const auto inSight = [&](qint64 address) {
        const qint64 row = address / 16;
        return row >= bar->value() && row < bar->value() + qint64(bar->pageStep());
    };
    for (const qint64 address : {kFlash - 1, kFlash / 2 + 5, qint64(0), kFlash - 17}) {
        QVERIFY(view->goToAddress(address));
        QCOMPARE(view->cursorAddress(), address);
        QVERIFY(inSight(address));
    }
    QVERIFY(!view->goToAddress(kFlash));
    QVERIFY(!view->goToAddress(-1));
    QCOMPARE(view->cursorAddress(), kFlash - 17);

    // The view then edits at that address.
    QTest::keyClicks(view.get(), "5a");
    std::vector<uint8_t> out(static_cast<size_t>(kFlash));
    view->copyOut(out.data(), kFlash);
    QCOMPARE(out[size_t(kFlash - 17)], uint8_t(0x5A));
    QCOMPARE(out[size_t(kFlash - 16)], uint8_t(0));
}

void HexViewTest::goToShortcutAsksForAddress()
{
    HexView view;
    const std::vector<uint8_t> bytes(static_cast<size_t>(kFlash), 0);
    view.loadBytes(bytes.data(), kFlash);
    const auto answer = [](const QString& text) {
        QTimer::singleShot(0, [text] {
            if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                dialog->setTextValue(text);
                dialog->accept();
            }
        });
    };
    answer("3ffFFF0");
    QTest::keyClick(&view, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(view.cursorAddress(), qint64(0x3FFFFF0));
    // Past the end the valid range is named; a text that is no address only beeps.
    QSignalSpy refused(&view, &HexView::refused);
    for (const char* bad : {"4000000", "zz", ""}) {
        answer(bad);
        QTest::keyClick(&view, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(view.cursorAddress(), qint64(0x3FFFFF0));
    }
    QCOMPARE(refused.count(), 1);
    QCOMPARE(refused.at(0).at(0).toString(), view.texts().goToOutside.arg("4000000", "3FFFFFF"));
    QVERIFY(!QApplication::activeModalWidget());

    // A runner may keep the dialog from showing at all.
    int asked = 0;
    view.setDialogRunner([&](QDialog&) {
        ++asked;
        return int(QDialog::Rejected);
    });
    QTest::keyClick(&view, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(asked, 1);
    QCOMPARE(view.cursorAddress(), qint64(0x3FFFFF0));
}

void HexViewTest::paintFormatsOnlyRowsInSight()
{
    const auto view = shownView(std::vector<uint8_t>(static_cast<size_t>(kFlash), 0x5A));
    QVERIFY(view);
    const int line = QFontMetrics(view->font()).height();
    const int height = view->viewport()->height();
    const qint64 most = (height + line - 1) / line;
    for (const qint64 address : {qint64(0), kFlash / 2, kFlash - 1}) {
        QVERIFY(view->goToAddress(address));
        const qint64 rows = rowsFormattedByOnePaint(*view);
        QVERIFY2(rows >= height / line && rows <= most, qPrintable(QString::number(rows)));
    }

    // A short buffer formats just its own rows.
    const std::vector<uint8_t> small(40, 1);
    view->loadBytes(small.data(), 40);
    QCOMPARE(rowsFormattedByOnePaint(*view), qint64(3));
}

void HexViewTest::rulerTakesTheFirstLine()
{
    const auto view = shownView(counting(4096));
    QVERIFY(view);
    const int rowsWithout = view->verticalScrollBar()->pageStep();
    const QPoint secondLine = cellCentre(*view, 1, hexrow::hexColumn(2));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, secondLine);
    QCOMPARE(view->cursorAddress(), qint64(18));

    view->setRulerVisible(true);
    QVERIFY(view->isRulerVisible());
    QCOMPARE(view->verticalScrollBar()->pageStep(), rowsWithout - 1);
    // The same spot is now the first row; the ruler itself takes no clicks.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, secondLine);
    QCOMPARE(view->cursorAddress(), qint64(2));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(secondLine.x(), 2));
    QCOMPARE(view->cursorAddress(), qint64(2));
}

void HexViewTest::mouseClickPlacesCursor()
{
    const auto view = shownView(std::vector<uint8_t>(64, 0));
    QVERIFY(view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellCentre(*view, 1, hexrow::hexColumn(5) + 1));
    QCOMPARE(view->cursorAddress(), qint64(21));
    QTest::keyClicks(view.get(), "f");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellCentre(*view, 0, hexrow::asciiColumn(3)));
    QCOMPARE(view->cursorAddress(), qint64(3));
    QTest::keyClicks(view.get(), "Z");
    // Below the last row the click lands on the last byte.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cellCentre(*view, 20, hexrow::hexColumn(1)));
    QCOMPARE(view->cursorAddress(), qint64(63));

    const std::vector<uint8_t> out = contentOf(*view);
    QCOMPARE(out[21], uint8_t(0x0F));
    QCOMPARE(out[3], uint8_t('Z'));
    QCOMPARE(std::count(out.begin(), out.end(), 0), 62);
}

void HexViewTest::copyPutsHexTextOnClipboard()
{
    HexView view;
    const std::vector<uint8_t> bytes = counting(32);
    view.loadBytes(bytes.data(), 32);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("01"));

    QTest::keyClick(&view, Qt::Key_Home);
    QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QString("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n10"));

    // A plain move drops the selection.
    QTest::keyClick(&view, Qt::Key_Left);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("0F"));
}

void HexViewTest::findSelectsEachMatchForwardAndBackward()
{
    HexView view;
    std::vector<uint8_t> bytes(0x100, 0xFF);
    for (const int at : {0x10, 0x40, 0xF0})
        std::memcpy(bytes.data() + at, "\x55\xAA\x01", 3);
    view.loadBytes(bytes.data(), qint64(bytes.size()));
    const QByteArray pattern("\x55\xAA\x01");
    // Forward from the cursor, then on from each match; the match is selected.
    for (const qint64 at : {0x10, 0x40, 0xF0}) {
        QCOMPARE(view.findNext(pattern, true), FindResult::Found);
        QCOMPARE(view.selectionStart(), at);
        QCOMPARE(view.selectionEnd(), at + 2);
    }
    // Past the last match the search goes round the end, and back round the start.
    QCOMPARE(view.findNext(pattern, true), FindResult::Wrapped);
    QCOMPARE(view.selectionStart(), qint64(0x10));
    QCOMPARE(view.findNext(pattern, false), FindResult::Wrapped);
    QCOMPARE(view.selectionStart(), qint64(0xF0));
    QCOMPARE(view.findNext(pattern, false), FindResult::Found);
    QCOMPARE(view.selectionStart(), qint64(0x40));
    view.copySelection();
    QCOMPARE(QApplication::clipboard()->text(), QString("55 AA 01"));
    // Moving the cursor starts the next search from there.
    QVERIFY(view.goToAddress(0x80));
    QCOMPARE(view.findNext(pattern, false), FindResult::Found);
    QCOMPARE(view.selectionStart(), qint64(0x40));
    QVERIFY(view.goToAddress(0x10));
    QCOMPARE(view.findNext(pattern, true), FindResult::Found);
    QCOMPARE(view.selectionStart(), qint64(0x10));
    QCOMPARE(view.findNext(QByteArray("\x55\x55"), true), FindResult::NotFound);
    QCOMPARE(view.selectionStart(), qint64(0x10));
    QCOMPARE(view.selectionEnd(), qint64(0x12));
}

void HexViewTest::undoAndRedoTakeBackEachKindOfEdit_data()
{
    QTest::addColumn<bool>("ascii");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QByteArray>("after");  // the first bytes once edited
    QTest::addColumn<int>("changes");
    QTest::newRow("hex digits, one change a byte") << false << "a5b" << "" << QByteArray("\xA5\xB1\x02", 3) << 2;
    QTest::newRow("text") << true << "Hi" << "" << QByteArray("Hi\x02", 3) << 2;
    QTest::newRow("pasted hex, with a line break") << false << "" << "de ad\nbe" << QByteArray("\xDE\xAD\xBE\x03", 4) << 1;
    QTest::newRow("pasted text") << true << "" << "OK" << QByteArray("OK\x02", 3) << 1;
}

void HexViewTest::undoAndRedoTakeBackEachKindOfEdit()
{
    QFETCH(bool, ascii);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QByteArray, after);
    QFETCH(int, changes);
    const auto view = shownView(counting(64));
    QVERIFY(view);
    const std::vector<uint8_t> before = counting(64);
    std::vector<uint8_t> edited = before;
    std::copy(after.begin(), after.end(), edited.begin());
    if (ascii)
        QTest::keyClick(view.get(), Qt::Key_Tab);
    QTest::keyClicks(view.get(), typed);
    if (!pasted.isEmpty())
        QVERIFY(view->pasteText(pasted));
    QCOMPARE(contentOf(*view), edited);
    QVERIFY(view->isModified());
    QVERIFY(redPixels(*view) > 0);

    // Back to what was loaded: unmodified again, nothing red.
    QSignalSpy modified(view.get(), &HexView::modifiedChanged);
    for (int i = 0; i < changes; ++i) {
        QVERIFY(view->canUndo());
        QTest::keyClick(view.get(), Qt::Key_Z, Qt::ControlModifier);
    }
    QVERIFY(!view->canUndo());
    QCOMPARE(contentOf(*view), before);
    QVERIFY(!view->isModified());
    QCOMPARE(modified.count(), 1);
    QCOMPARE(redPixels(*view), 0);
    QVERIFY(!view->undo());

    // Redo by either key brings every change back.
    for (int i = 0; i < changes; ++i)
        QTest::keyClick(view.get(), i % 2 ? Qt::Key_Z : Qt::Key_Y,
                        i % 2 ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
    QCOMPARE(contentOf(*view), edited);
    QVERIFY(view->isModified() && !view->canRedo());

    // A load is the new clean state; a read-only view takes nothing back.
    view->clearModified();
    QVERIFY(view->canUndo());
    view->setReadOnly(true);
    QVERIFY(!view->undo());
    QCOMPARE(contentOf(*view), edited);
    view->setReadOnly(false);
    QVERIFY(view->undo());
    QVERIFY(view->isModified());
    view->clearHistory();
    QVERIFY(!view->canUndo() && !view->canRedo());
    QVERIFY(view->isModified());  // what was not taken in stays an edit
}

void HexViewTest::historyKeepsTheNewestChangesWithinItsLimits()
{
    QStringList log;
    EditHistory counted(100, 1 << 20);
    for (int i = 0; i < 150; ++i)
        counted.push(std::make_unique<NotedChange>(log, i, 1));
    QCOMPARE(counted.undoCount(), 100);
    QCOMPARE(counted.undo()->address(), qint64(149));
    QCOMPARE(log, QStringList{"undo 149"});
    QVERIFY(!counted.atClean());  // the clean point went with the oldest changes

    EditHistory budget(10, 100);
    budget.markClean();
    budget.push(std::make_unique<NotedChange>(log, 1, 40));
    budget.push(std::make_unique<NotedChange>(log, 2, 40));
    QCOMPARE(budget.undoCount(), 2);
    budget.push(std::make_unique<NotedChange>(log, 3, 40));
    QCOMPARE(budget.undoCount(), 2);
    budget.push(std::make_unique<NotedChange>(log, 4, 500));  // alone over the budget, kept alone
    QCOMPARE(budget.undoCount(), 1);

    // The clean point follows undo and redo, and is lost to a change made after an undo below it.
    EditHistory h;
    for (int i = 0; i < 3; ++i)
        h.push(std::make_unique<NotedChange>(log, i, 1));
    h.markClean();
    log.clear();
    h.undo();
    QVERIFY(!h.atClean());
    h.redo();
    QVERIFY(h.atClean());
    QCOMPARE(log, (QStringList{"undo 2", "redo 2"}));
    h.undo();
    h.undo();
    h.push(std::make_unique<NotedChange>(log, 9, 1));
    QCOMPARE(h.redoCount(), 0);
    QVERIFY(!h.atClean());
    while (h.undo())
        ;
    QVERIFY(!h.atClean());

    // A view keeps well over a hundred typed bytes.
    const auto view = shownView(counting(256));
    QVERIFY(view);
    QTest::keyClick(view.get(), Qt::Key_Tab);
    QTest::keyClicks(view.get(), QString(150, u'x'));
    int undone = 0;
    while (view->canUndo() && view->undo())
        ++undone;
    QCOMPARE(undone, 150);
    QCOMPARE(contentOf(*view), counting(256));
    QVERIFY(!view->isModified());
}

void HexViewTest::pasteOverwritesOrIsRefusedWhole_data()
{
    QTest::addColumn<bool>("ascii");
    QTest::addColumn<qint64>("at");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("pasted");  // at `at`; empty when refused
    QTest::addColumn<QString>("refusal");
    const HexTexts texts;
    QTest::newRow("hex at the cursor") << false << qint64(3) << "0a 0B0c" << QByteArray("\x0A\x0B\x0C") << "";
    QTest::newRow("exactly to the end") << false << qint64(14) << "FFFF" << QByteArray("\xFF\xFF") << "";
    QTest::newRow("text in the text column") << true << qint64(0) << "0x" << QByteArray("0x") << "";
    QTest::newRow("past the end") << false << qint64(14) << "01 02 03" << QByteArray() << texts.pasteTooLong.arg(3).arg(2);
    QTest::newRow("not hex") << false << qint64(0) << "0x12" << QByteArray() << texts.pasteNotHex;
    QTest::newRow("odd digits") << false << qint64(0) << "123" << QByteArray() << texts.pasteNotHex;
}

void HexViewTest::pasteOverwritesOrIsRefusedWhole()
{
    QFETCH(bool, ascii);
    QFETCH(qint64, at);
    QFETCH(QString, text);
    QFETCH(QByteArray, pasted);
    QFETCH(QString, refusal);
    HexView view;
    view.loadBytes(counting(16).data(), 16);
    QSignalSpy refused(&view, &HexView::refused);
    if (ascii)
        view.setArea(hexrow::Area::Ascii);
    QVERIFY(view.goToAddress(at));
    QCOMPARE(view.pasteText(text), !pasted.isEmpty());
    std::vector<uint8_t> expected = counting(16);
    std::copy(pasted.begin(), pasted.end(), expected.begin() + at);
    QCOMPARE(contentOf(view), expected);
    QCOMPARE(view.isModified(), !pasted.isEmpty());
    QCOMPARE(refused.count(), refusal.isEmpty() ? 0 : 1);
    if (!refusal.isEmpty())
        QCOMPARE(refused.at(0).at(0).toString(), refusal);
    // A read-only view takes no paste and has nothing to say about it.
    view.setReadOnly(true);
    QVERIFY(!view.pasteText(QStringLiteral("00")));
    QCOMPARE(contentOf(view), expected);
    QCOMPARE(refused.count(), refusal.isEmpty() ? 0 : 1);
}

void HexViewTest::tabSwitchesColumnsAndCtrlTabLeaves()
{
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* view = new HexView(&window);
    auto* after = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    for (QWidget* w : {static_cast<QWidget*>(before), static_cast<QWidget*>(view), static_cast<QWidget*>(after)})
        layout->addWidget(w);
    view->loadBytes(counting(32).data(), 32);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));

    view->setFocus();
    QTest::keyClick(view, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), view);
    QCOMPARE(view->cursorState().area, hexrow::Area::Ascii);
    QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), view);
    QCOMPARE(view->cursorState().area, hexrow::Area::Hex);

    QTest::keyClick(view, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), after);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), before);
    QCOMPARE(view->cursorState().area, hexrow::Area::Hex);
}

QTEST_MAIN(HexViewTest)
#include "hexview_test.moc"
