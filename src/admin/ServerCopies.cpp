#include "ServerCopies.h"

#include "Connection.h"
#include "DatabaseCopies.h"
#include "DatabaseErrors.h"
#include "QirvoError.h"
#include "Schema.h"
#include "ScratchConnection.h"
#include "ServerSchema.h"
#include "TableDefinitions.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QStringList columnNames(const TableDefinition& table)
{
    QStringList names;
    for (const ColumnDefinition& column : table.columns)
        names << column.name;
    return names;
}

QString keyOf(const TableDefinition& table)
{
    for (const ColumnDefinition& column : table.columns)
        if (column.kind == ColumnKind::Key)
            return column.name;
    return {};
}

void run(QSqlQuery& query, const QString& sql, const QString& failure)
{
    if (!query.exec(sql))
        throw QirvoError(u"%1：%2"_s.arg(failure, DescribeDatabaseError(query.lastError())));
}

// Every row of the table from one database into the other, in key order, dates as days. The
// source statement is given in the source's words.
void copyRows(const TableDefinition& table, const QSqlDatabase& from, const QString& fromSql,
              const QSqlDatabase& to, const QString& toTable, bool toServer, const QString& failure)
{
    QSqlQuery rows(from);
    rows.setForwardOnly(true);
    run(rows, fromSql, failure);
    QStringList marks;
    for (qsizetype i = 0; i < table.columns.size(); ++i)
        marks << u"?"_s;
    QStringList names = columnNames(table);
    if (toServer)
        for (QString& name : names)
            name = name.toLower();
    QSqlQuery insert(to);
    if (!insert.prepare(
            u"insert into %1 (%2) values (%3)"_s.arg(toTable, names.join(u','), marks.join(u','))))
        throw QirvoError(u"%1：%2"_s.arg(failure, DescribeDatabaseError(insert.lastError())));
    while (rows.next()) {
        for (int i = 0; i < table.columns.size(); ++i) {
            QVariant value = rows.value(i);
            if (table.columns[i].kind == ColumnKind::Date) {
                // The file holds days as text; an empty one is no day.
                const QDate day = value.typeId() == QMetaType::QDate
                                      ? value.toDate()
                                      : QDate::fromString(value.toString(), Qt::ISODate);
                value = day.isValid() ? QVariant(day.toString(Qt::ISODate)) : QVariant();
            }
            insert.addBindValue(value.isNull() ? QVariant() : value);
        }
        if (!insert.exec())
            throw QirvoError(u"%1：%2"_s.arg(failure, DescribeDatabaseError(insert.lastError())));
    }
}

QString orderedSelect(const TableDefinition& table, const QString& tableName, bool server)
{
    QStringList names = columnNames(table);
    QString key = keyOf(table);
    if (server) {
        for (QString& name : names)
            name = name.toLower();
        key = key.isEmpty() ? ServerRowColumn : key.toLower();
    } else if (key.isEmpty()) {
        key = u"rowid"_s;
    }
    return u"select %1 from %2 order by %3"_s.arg(names.join(u','), tableName, key);
}

} // namespace

void ServerCopies::backup(Connection& server, const QString& target)
{
    const QString failure = u"备份服务器上的数据失败"_s;
    const QFileInfo info(target);
    const QString partial = info.absolutePath() + u'/' + DatabaseCopies::PartialPrefix + info.fileName() +
                            u'.' + QUuid::createUuid().toString(QUuid::Id128);
    const auto removePartial = qScopeGuard([&] { QFile::remove(partial); });
    Schema::createDatabase(partial);
    {
        const ScratchConnection file(partial);
        QSqlDatabase copy = file.database();
        QSqlQuery clear(copy);
        copy.transaction();
        // The new file's delivered accounts give way to the server's own.
        run(clear, u"delete from Power"_s, failure);
        QSqlDatabase live = server.database();
        if (!live.transaction())
            throw QirvoError(u"%1：%2"_s.arg(failure, DescribeDatabaseError(live.lastError())));
        const auto endRead = qScopeGuard([&] { live.rollback(); });
        QSqlQuery snapshot(live);
        // Every table as of one moment, whatever the other workstations write meanwhile.
        run(snapshot, u"set transaction isolation level repeatable read, read only"_s, failure);
        for (const TableDefinition& table : QirvoTables())
            copyRows(table, live, orderedSelect(table, ServerTableName(table.name), true), copy,
                     u"[%1]"_s.arg(table.name), false, failure);
        if (!copy.commit())
            throw QirvoError(u"%1：%2"_s.arg(failure, DescribeDatabaseError(copy.lastError())));
    }
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0)
        throw QirvoError(u"%1：无法写入文件 %2（失败号为：%3）"_s.arg(failure, target).arg(errno));
}

void ServerCopies::restore(Connection& server, const QString& backup, const QString& safetyCopy)
{
    const QString failure = u"恢复服务器上的数据失败，服务器上的数据没有任何改动"_s;
    ServerCopies::backup(server, safetyCopy);
    const ScratchConnection file(backup);
    QSqlDatabase live = server.database();
    if (!live.transaction())
        throw QirvoError(u"%1：%2"_s.arg(failure, DescribeDatabaseError(live.lastError())));
    auto undo = qScopeGuard([&] { live.rollback(); });
    QSqlQuery statement(live);
    for (const TableDefinition& table : QirvoTables()) {
        const QString name = ServerTableName(table.name);
        run(statement, u"delete from "_s + name, failure);
        copyRows(table, file.database(), orderedSelect(table, u"[%1]"_s.arg(table.name), false), live, name,
                 true, failure);
    }
    // New rows are numbered after the restored ones.
    ServerSchema::renumberAfterKeys(live);
    if (!live.commit())
        throw QirvoError(u"%1：%2"_s.arg(failure, DescribeDatabaseError(live.lastError())));
    undo.dismiss();
}
