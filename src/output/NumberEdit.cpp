#include "NumberEdit.h"

#include "ShareDMUnit.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

using namespace Qt::StringLiterals;

namespace {

const QRegularExpression& numberPattern()
{
    static const QRegularExpression pattern(uR"(^[+-]?(\d+(\.\d{0,2})?|\.\d{1,2})?$)"_s);
    return pattern;
}

} // namespace

// What may be typed, and the text last shown for a value the program set. A stored 3.015 is then a
// valid starting text, so a typed fourth decimal is refused like a typed third one would be.
class NumberEdit::Validator : public QRegularExpressionValidator
{
public:
    using QRegularExpressionValidator::QRegularExpressionValidator;

    State validate(QString& input, int& position) const override
    {
        if (!m_shown.isEmpty() && input == m_shown)
            return Acceptable;
        return QRegularExpressionValidator::validate(input, position);
    }

    void setShown(const QString& shown) { m_shown = shown; }

private:
    QString m_shown;
};

NumberEdit::NumberEdit(QWidget* parent) : QLineEdit(parent)
{
    m_validator = new Validator(numberPattern(), this);
    setValidator(m_validator);
    connect(this, &QLineEdit::textChanged, this, &NumberEdit::valueChanged);
}

void NumberEdit::showText(const QString& text)
{
    m_validator->setShown(text);
    setText(text);
}

bool NumberEdit::acceptsText(const QString& text)
{
    return numberPattern().match(text).hasMatch();
}

QVariant NumberEdit::value() const
{
    const QString typed = text().trimmed();
    if (typed.isEmpty())
        return {};
    bool ok = false;
    const double number = typed.toDouble(&ok);
    return ok ? number : 0.0;
}

void NumberEdit::setValue(const QVariant& value)
{
    showText(value.isValid() && !value.isNull() ? VariantToText(value.toDouble()) : QString());
}

void NumberEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Away from the keyboard the box shows its value plainly: "1.50" as 1.5, a lone sign as 0.
    if (text().isEmpty() && m_emptyShownAsZero) {
        showText(u"0"_s);
    } else if (!text().isEmpty()) {
        const QString plain = VariantToText(value());
        if (plain != text())
            showText(plain);
    }
}
