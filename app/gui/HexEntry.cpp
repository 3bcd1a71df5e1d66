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
    if (event->key() == Qt::Key_Delete)
        return false;
    const QString text = event->text();
    return !text.isEmpty() && !isHexFieldKey(text[0]);
}

void showUpperCase(QLineEdit* field)
{
    field->setValidator(new UpperCaseValidator(field));
}
