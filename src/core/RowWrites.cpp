#include "RowWrites.h"

#include "QirvoError.h"
#include "Query.h"
#include "ShareDMUnit.h"

using namespace Qt::StringLiterals;

void AppendRow(Query& query, const QString& table)
{
    query.setSql(u"select * from %1 where 0=1"_s.arg(table));
    query.open();
    query.append();
}

void OpenRow(Query& query, const QString& sql, const QVariantList& params, const QString& goneMessage)
{
    query.setSql(sql, params);
    query.open();
    if (query.recordCount() == 0)
        throw QirvoError(goneMessage);
}

void EditRow(Query& query, const QString& sql, const QVariantList& params, const QString& goneMessage)
{
    OpenRow(query, sql, params, goneMessage);
    query.edit();
}

void PostOrCancel(Query& query)
{
    try {
        query.post();
    } catch (...) {
        query.cancel();
        throw;
    }
}

int ExecOrThrow(Query& query, const QString& sql, const QVariantList& params, const QString& failedMessage)
{
    const int changed = ExecSQLText(query, sql, params);
    if (!query.lastError().isEmpty())
        throw QirvoError(u"%1：%2"_s.arg(failedMessage, query.lastError()));
    return changed;
}

void ChangeRows(Query& query, const QString& sql, const QVariantList& params, const QString& failedMessage,
                const QString& noneMessage)
{
    if (ExecOrThrow(query, sql, params, failedMessage) == 0)
        throw QirvoError(noneMessage);
}
