#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

class Query;

// The [expressions] inside template texts: a field of the dataset, Date, Time, Page, Pages,
// Count or Sum(field), each optionally followed by |format ("0.00" fixed, "0.##" at most).
class ReportExpression
{
public:
    struct Context
    {
        const Query* query = nullptr;
        int row = -1;
        int page = 0;
        int pages = 0;
        QDate date;
        QTime time;
    };

    // Each throws QirvoError describing the fault.
    static void checkSyntax(const QString& text);
    static void checkFields(const QString& text, const Query& query);
    static QString evaluate(const QString& text, const Context& context);

    static bool isValidFormat(const QString& format);
    static QString formatValue(const QVariant& value, const QString& format);
};
