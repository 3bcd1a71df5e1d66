#include "app/gui/HexEntry.h"

#include "app/IntegerText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

#include <algorithm>

namespace {

// What reaches the field by any way, a paste included, is hexadecimal digits
// only: a text with anything else is refused whole, so the field never shows
// a number other than the one it holds. A leading "0x" of a pasted number is
// dropped, since it says only what the field already means.
class HexDigitsValidator : public QValidator {
public:
    HexDigitsValidator(int digits, QObject* parent) : QValidator(parent), digits_(digits) {}
    State validate(QString& input, int& position) const override
    {
        input = input.toUpper();
        if (input.startsWith(QLatin1String("0X"))) {
            input.remove(0, 2);
            position = std::max(0, position - 2);
        }
        if (input.size() > digits_)
            return Invalid;
        for (const QChar c : input)
            if (!isHexFieldKey(c))
                return Invalid;
        return Acceptable;
    }

private:
    const int digits_;
};

} // namespace

bool dropsNonHexKey(const QKeyEvent* event)
{
    // Only a character that would be typed is filtered: Tab, Backtab, Enter,
    // Escape, the editing keys and shortcuts (Ctrl+A, Ctrl+Z...) go through.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    return !text.isEmpty() && text[0].isPrint() && !isHexFieldKey(text[0]);
}

void takeHexDigitsOnly(QLineEdit* field)
{
    // The field cuts a paste to its length before the validator sees it, so
    // "0x12345678" in an 8-digit field would become 123456: the validator
    // counts the digits instead, and a text with too many is refused whole.
    const int digits = field->maxLength();
    field->setMaxLength(32767);  // a line edit's own, unlimited length
    field->setValidator(new HexDigitsValidator(digits, field));
}
