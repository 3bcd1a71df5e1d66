#pragma once
// Find and go to in the hex view: the next or previous match of a byte
// pattern, going round the end once, and the address dialog.

#include <QByteArray>
#include <QtGlobal>

class HexView;
enum class FindResult;

class HexFinder {
public:
    explicit HexFinder(HexView& view) : view_(view) {}

    FindResult findNext(const QByteArray& pattern, bool forward);
    void askForAddress();

private:
    HexView& view_;
    // The match selected last: the next search starts after it while it is
    // still what is selected, otherwise at the cursor.
    qint64 matchStart_ = -1;
    qint64 matchLength_ = 0;
};
