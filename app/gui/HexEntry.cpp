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
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override
    {
        input = input.toUpper();
        if (input.startsWith(QLatin1String("0X"))) {
            input.remove(0, 2);
            position = std::max(0, position - 2);
        }
        for (const QChar c : input)
            if (!isHexFieldKey(c))
                return Invalid;
        return Acceptable;
    }
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
    field->setValidator(new HexDigitsValidator(field));
}
