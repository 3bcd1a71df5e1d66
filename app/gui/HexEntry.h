#pragma once
// Fields that take a hexadecimal number: only hexadecimal digits and
// backspace are typed or pasted, and the text shows in upper case.

class QKeyEvent;
class QLineEdit;

// The key filter: true when the key is to be dropped, which is a printable
// character other than a hexadecimal digit. Keys that type nothing (Tab,
// Enter, Escape, arrows, Delete, shortcuts) pass.
bool dropsNonHexKey(const QKeyEvent* event);

// The field takes hexadecimal digits only, by typing or pasting, and shows
// them in upper case; its maximum length, set before, counts the digits.
void takeHexDigitsOnly(QLineEdit* field);
