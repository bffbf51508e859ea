#include "PayrollGenerator.h"

#include "DatabaseErrors.h"
#include "QirvoError.h"
#include "Query.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"
#include "Transaction.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

const QString VersionName = u"工资表版本"_s;

// The names travel as one JSON array, so that a payroll of thousands of workers stays one bound
// value and a name with a quote is data like any other.
QString namesAsJson(const QStringList& names)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(names)).toJson(QJsonDocument::Compact));
}

QSqlQuery prepare(const QString& sql)
{
    Connection& connection = ShareDM->ADOConnection1;
    QSqlQuery statement(connection.database());
    if (!statement.prepare(connection.dialect().translate(sql)))
        throw QirvoError(u"写入工资记录失败：%1"_s.arg(DescribeDatabaseError(statement.lastError())));
    return statement;
}

} // namespace

QString PayrollGenerator::computationSql()
{
    // The zeros are applied after the joins, so a worker without entries, rewards or punishments
    // in the range gets 0 rather than an empty value.
    return uR"(select t1.*,
  ifnull(t2.jjianSum, 0) as jjianSum,
  ifnull(t4.jliSum, 0) as jliSum,
  ifnull(t6.cfaSum, 0) as cfaSum,
  ifnull(t1.UserBase, 0) + ifnull(t2.jjianSum, 0) + ifnull(t4.jliSum, 0) + ifnull(t6.cfaSum, 0) as TotalSum
from (select * from [User] where UserName in (select value from json_each(?))) as t1
left join (select RecordUser, Round(sum(RecordSum), 3) as jjianSum from RecordTable
           where RecordRecordDate between ? and ? group by RecordUser) as t2
  on t1.UserName = t2.RecordUser
left join (select jchengUser, Round(sum(jchengSum), 3) as jliSum from jcheng
           where jchengSum > 0 and jchengDate between ? and ? group by jchengUser) as t4
  on t1.UserName = t4.jchengUser
left join (select jchengUser, Round(sum(jchengSum), 3) as cfaSum from jcheng
           where jchengSum < 0 and jchengDate between ? and ? group by jchengUser) as t6
  on t1.UserName = t6.jchengUser)"_s;
}

QVariantList PayrollGenerator::computationParams(const QStringList& names, const QDate& start,
                                                 const QDate& end)
{
    return {namesAsJson(names), start, end, start, end, start, end};
}

qint64 PayrollGenerator::storedVersion()
{
    return LookupFieldValue(u"Parameter"_s, u"ParameterValue"_s,
                            Condition(u"ParameterName=?"_s, {VersionName}))
        .toLongLong();
}

int PayrollGenerator::generate(const QStringList& names, const QDate& start, const QDate& end)
{
    return generateOver(names, start, end, storedVersion()).rows;
}

PayrollGenerator::Written PayrollGenerator::generateOver(const QStringList& names, const QDate& start,
                                                         const QDate& end, qint64 seenVersion)
{
    if (names.isEmpty())
        throw QirvoError(u"没有可计算工资的员工，请先在“员工管理”中录入员工。"_s);
    if (start > end)
        throw QirvoError(u"开始日期不能晚于结束日期，请重新选择时间范围。"_s);

    Transaction transaction(ShareDM->ADOConnection1);
    // One payroll at a time on the database: two workstations generating at once get one whole
    // result each in turn, never a mix of both.
    ShareDM->ADOConnection1.claim(u"payroll"_s);
    Written written;
    const qint64 previous = storedVersion();
    written.version = previous + 1;
    written.replacedAnother = previous != seenVersion;
    QString failure;
    if (!UpdateTwoFields(u"Parameter"_s, Condition(u"ParameterName=?"_s, {VersionName}), u"ParameterName"_s,
                         VersionName, u"ParameterValue"_s, QString::number(written.version), &failure))
        throw QirvoError(u"写入工资记录失败：%1"_s.arg(failure));
    Query& stored = ShareDM->ADOQueryTemp2;
    stored.setSql(u"update  payfor set PayforEnable=False"_s);
    stored.execute();

    Query& result = ShareDM->ADOQueryTemp1;
    result.setSql(computationSql(), computationParams(names, start, end));
    result.open();

    const int rows = result.recordCount();
    if (rows > 0) {
        // The stored rows in the table's order take the new rows one by one; one prepared statement
        // each for overwriting and appending keeps thousands of rows from costing thousands of plans.
        stored.setSql(u"select PayforIndex from payfor"_s);
        stored.open();
        QSqlQuery overwrite =
            prepare(u"update Payfor set PayforEnable=True, payforUser=?, payforStartDate=?, "
                    u"payforEndDate=?, payforBase=?, payforjli=?, payforcfa=?, payforjjian=?, "
                    u"payforSum=? where PayforIndex=?"_s);
        QSqlQuery append =
            prepare(u"insert into Payfor (PayforEnable, payforUser, payforStartDate, payforEndDate, "
                    u"payforBase, payforjli, payforcfa, payforjjian, payforSum) "
                    u"values (True, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
        const int user = result.fieldIndex(u"UserName"_s);
        const int base = result.fieldIndex(u"UserBase"_s);
        const int rewards = result.fieldIndex(u"jliSum"_s);
        const int punishments = result.fieldIndex(u"cfaSum"_s);
        const int pieceWork = result.fieldIndex(u"jjianSum"_s);
        const int total = result.fieldIndex(u"TotalSum"_s);
        const QString first = start.toString(Qt::ISODate);
        const QString last = end.toString(Qt::ISODate);
        for (int row = 0; row < rows; ++row) {
            const bool reuse = row < stored.recordCount();
            QSqlQuery& write = reuse ? overwrite : append;
            const QVariantList values{VariantToText(result.value(row, user)),
                                      first,
                                      last,
                                      result.value(row, base).toDouble(),
                                      result.value(row, rewards).toDouble(),
                                      result.value(row, punishments).toDouble(),
                                      result.value(row, pieceWork).toDouble(),
                                      result.value(row, total).toDouble()};
            for (int i = 0; i < values.size(); ++i)
                write.bindValue(i, values[i]);
            if (reuse)
                write.bindValue(int(values.size()), stored.value(row, 0));
            if (!write.exec())
                throw QirvoError(u"写入工资记录失败：%1"_s.arg(DescribeDatabaseError(write.lastError())));
        }
    }
    transaction.commit();
    written.rows = rows;
    return written;
}
