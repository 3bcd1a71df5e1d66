#include "app/gui/HexEntry.h"

#include "app/IntegerText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace {

class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
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

void showUpperCase(QLineEdit* field)
{
    field->setValidator(new UpperCaseValidator(field));
}
