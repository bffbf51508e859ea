#include "FooterAggregates.h"

#include "Query.h"
#include "Rounding.h"

#include <QRegularExpression>

QStringList FooterAggregates::compute(const Query& query, const QList<GridColumn>& columns)
{
    QStringList texts;
    const bool active = query.isActive();
    const int rows = active ? query.recordCount() : 0;
    for (const GridColumn& column : columns) {
        if (column.footer == GridColumn::Footer::None) {
            texts << QString();
        } else if (column.footer == GridColumn::Footer::Count) {
            texts << QString::number(rows);
        } else {
            texts << formatSum(query.total(column.fieldName));
        }
    }
    return texts;
}

QString FooterAggregates::formatSum(double sum)
{
    return QString::number(roundHalfEven(sum, 3) + 0.0, 'f', 3)
        .remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}
