#pragma once

#include <QLineEdit>
#include <QVariant>

// An edit box for amounts: only text that stays a number with at most two decimals can be typed.
// Its value is null while the text is empty; a lone sign counts as 0.
class NumberEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit NumberEdit(QWidget* parent = nullptr);

    QVariant value() const;
    // A null value empties the text.
    void setValue(const QVariant& value);

    // An emptied box then shows 0 once it loses the focus, as its value counts.
    void setEmptyShownAsZero(bool zero) { m_emptyShownAsZero = zero; }

    // Whether typing this text into the box is allowed.
    static bool acceptsText(const QString& text);

signals:
    // On every change of the text, typed or set.
    void valueChanged();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    class Validator;
    // Shows a value the program set, which may have more decimals than may be typed.
    void showText(const QString& text);

    Validator* m_validator;
    bool m_emptyShownAsZero = false;
};
