#pragma once

#include "Condition.h"

#include <QDate>
#include <QString>

// What the operator chose in the search form.
struct SearchChoices
{
    QString worker;
    bool dateRange = false;
    QDate start;
    QDate end;
    QString serial;
    QString workType;
};

// The text that means "no restriction" in the worker and work-type lists.
inline const QString AllChoice = QStringLiteral("所有");

// The clauses, each beginning with " and ", that select the chosen entries of RecordTable joined
// with [Counter]; a name or bill number matches where it occurs anywhere in the column.
Condition BuildFilter(const SearchChoices& choices);

// The statements of the entry lists, each joining RecordTable with [Counter]: the entries of one
// day (one bound date), the entries the filter selects by date, and the filter's totals per worker
// joined with the roster. The filter's values are bound after the statement's own.
QString DayListSql();
QString SearchResultSql(const Condition& filter);
QString StatisticsSql(const Condition& filter);
