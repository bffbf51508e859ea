#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

// A piece of a where clause together with the values bound to its placeholders, so that typed
// values travel as data and never become SQL text.
struct Condition
{
    QString text;
    QVariantList params;

    Condition() = default;
    Condition(QString conditionText, QVariantList values = {})
        : text(std::move(conditionText)), params(std::move(values))
    {}

    bool isEmpty() const { return text.isEmpty(); }

    // Adds a clause such as " and RecordUser=?" with its values.
    Condition& append(const QString& clause, const QVariantList& values = {})
    {
        text += clause;
        params += values;
        return *this;
    }
};
