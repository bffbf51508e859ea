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
            if (const std::optional<double> total = active ? query.windowTotal(column.fieldName) : std::nullopt) {
                texts << formatSum(*total);
                continue;
            }
            const int field = active ? query.fieldIndex(column.fieldName) : -1;
            double sum = 0;
            for (int row = 0; field >= 0 && row < rows; ++row) {
                const QVariant value = query.value(row, field);
                if (value.isValid())
                    sum += value.toDouble();
            }
            texts << formatSum(sum);
        }
    }
    return texts;
}

QString FooterAggregates::formatSum(double sum)
{
    return QString::number(roundHalfEven(sum, 3) + 0.0, 'f', 3)
        .remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}
