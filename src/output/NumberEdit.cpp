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

NumberEdit::NumberEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new QRegularExpressionValidator(numberPattern(), this));
    connect(this, &QLineEdit::textChanged, this, &NumberEdit::valueChanged);
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
    setText(value.isValid() && !value.isNull() ? VariantToText(value.toDouble()) : QString());
}

void NumberEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Away from the keyboard the box shows its value plainly: "1.50" as 1.5, a lone sign as 0.
    if (text().isEmpty() && m_emptyShownAsZero) {
        setText(u"0"_s);
    } else if (!text().isEmpty()) {
        const QString plain = VariantToText(value());
        if (plain != text())
            setText(plain);
    }
}
