#pragma once
// Copy and paste in the hex view: the selection as hex text to the
// clipboard, and hex text (plain text in the ASCII column) over the bytes.

#include <QString>

class HexView;

class HexClipboard {
public:
    explicit HexClipboard(HexView& view) : view_(view) {}

    void copy() const;
    bool paste(const QString& text);

private:
    HexView& view_;
};
