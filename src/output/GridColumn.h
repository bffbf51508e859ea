#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

// One column of a data grid: which field it shows and how.
struct GridColumn
{
    enum class Footer { None, Sum, Count };
    // What a typed value must be before it reaches the row.
    enum class Value { Text, Number, Date };

    QString fieldName;
    QString title;
    int width = 80;
    Footer footer = Footer::None;
    QColor footerColour = Qt::black;
    QStringList pickList;
    bool visible = true;
    Value value = Value::Text;
};
