#include "Transaction.h"

#include "Connection.h"
#include "DatabaseErrors.h"
#include "QirvoError.h"

#include <QSqlError>

using namespace Qt::StringLiterals;

Transaction::Transaction(Connection& connection) : m_connection(connection)
{
    QSqlDatabase db = m_connection.database();
    if (!db.transaction())
        throw QirvoError(u"无法开始数据库事务：%1"_s.arg(DescribeDatabaseError(db.lastError())));
}

void Transaction::commit()
{
    QSqlDatabase db = m_connection.database();
    if (!db.commit())
        throw QirvoError(u"保存失败，所有改动均未写入：%1"_s.arg(DescribeDatabaseError(db.lastError())));
    m_open = false;
}

Transaction::~Transaction()
{
    if (m_open)
        m_connection.database().rollback();
}
