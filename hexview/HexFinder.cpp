#include "hexview/HexFinder.h"

#include "buffers/ByteSearch.h"
#include "hexview/HexAddress.h"
#include "hexview/HexView.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <algorithm>

FindResult HexFinder::findNext(const QByteArray& pattern, bool forward)
{
    const qint64 count = view_.byteCount();
    const qint64 n = pattern.size();
    const bool again = matchStart_ >= 0 && matchLength_ == n && view_.selectionStart() == matchStart_
                       && view_.selectionEnd() == matchStart_ + n - 1;
    const qint64 cursor = view_.cursorAddress();
    // A search looks at every byte, so the view's copy is stored whole for it.
    const uint8_t* all = view_.document().contiguous();
    FindResult result = FindResult::Found;
    qint64 at = -1;
    // Round the end, only the bytes the first pass did not look at are searched again.
    if (forward) {
        const qint64 from = again ? matchStart_ + 1 : cursor;
        at = findForward(all, count, pattern, from);
        if (at < 0 && from > 0) {
            at = findForward(all, std::min(count, from + n - 1), pattern, 0);
            result = FindResult::Wrapped;
        }
    } else {
        const qint64 before = again ? matchStart_ : cursor;
        at = findBackward(all, count, pattern, before);
        if (at < 0 && before < count) {
            const qint64 tail = findBackward(all + before, count - before, pattern, count - before);
            at = tail < 0 ? -1 : before + tail;
            result = FindResult::Wrapped;
        }
    }
    if (at < 0 || n == 0)
        return FindResult::NotFound;
    view_.placeCursor(at, 0, false);
    view_.placeCursor(at + n - 1, 0, true);
    matchStart_ = at;
    matchLength_ = n;
    return result;
}

void HexFinder::askForAddress()
{
    const qint64 count = view_.byteCount();
    if (count == 0) {
        QApplication::beep();
        return;
    }
    const HexTexts& texts = view_.texts();
    QInputDialog dialog(&view_);
    dialog.setObjectName(QStringLiteral("GoToDialog"));
    dialog.setWindowTitle(texts.goToCaption);
    dialog.setLabelText(texts.goToLabel);
    dialog.setTextValue(QString::number(view_.cursorAddress(), 16).toUpper());
    if (auto* edit = dialog.findChild<QLineEdit*>())
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,15}")), edit));
    if (view_.runDialog(dialog) != QDialog::Accepted)
        return;
    const QString typed = dialog.textValue().trimmed();
    const std::optional<qint64> address = parseHexAddress(typed);
    if (!address) {
        QApplication::beep();
        return;
    }
    if (!view_.goToAddress(*address))
        view_.refuse(texts.goToOutside.arg(typed.toUpper(), QString::number(count - 1, 16).toUpper()));
}
