#pragma once

#include "GridColumn.h"

#include <QList>
#include <QStringList>

class Query;

// Footer texts over every row of a query: sums skip empty values, counts count rows. A windowed
// query's sums come from the database, the others' from the rows held.
class FooterAggregates
{
public:
    static QStringList compute(const Query& query, const QList<GridColumn>& columns);
    // A sum as the footer shows it: at most three decimals, no trailing zeros.
    static QString formatSum(double sum);
};
