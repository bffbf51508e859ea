#include "ServerCopies.h"

#include "Connection.h"
#include "DatabaseCopies.h"
#include "DatabaseErrors.h"
#include "QirvoError.h"
#include "Schema.h"
#include "ScratchConnection.h"
#include "ServerSchema.h"
#include "SqlDialect.h"
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

const SqlDialect File;
const SqlDialect Server(SqlDialect::Store::Server);

// The table's columns, in the words of a store.
QString columnList(const TableDefinition& table, const SqlDialect& store)
{
    QStringList names;
    for (const ColumnDefinition& column : table.columns)
        names << store.column(column.name);
    return names.join(u',');
}

void run(QSqlQuery& query, const QString& sql, const QString& failure)
{
    if (!query.exec(sql))
        throw QirvoError(u"%1：%2"_s.arg(failure, DescribeDatabaseError(query.lastError())));
}

// Every row of the table from one store into the other, in key order, days as days.
void copyRows(const TableDefinition& table, const QSqlDatabase& from, const SqlDialect& fromStore,
              const QSqlDatabase& to, const SqlDialect& toStore, const QString& failure)
{
    QSqlQuery rows(from);
    rows.setForwardOnly(true);
    run(rows,
        u"select %1 from %2 order by %3"_s.arg(columnList(table, fromStore), fromStore.table(table.name),
                                               fromStore.rowKey(table.name)),
        failure);
    QStringList marks;
    for (qsizetype i = 0; i < table.columns.size(); ++i)
        marks << u"?"_s;
    QSqlQuery insert(to);
    if (!insert.prepare(u"insert into %1 (%2) values (%3)"_s.arg(
            toStore.table(table.name), columnList(table, toStore), marks.join(u','))))
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
            copyRows(table, live, Server, copy, File, failure);
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
        run(statement, u"delete from "_s + Server.table(table.name), failure);
        copyRows(table, file.database(), File, live, Server, failure);
    }
    // New rows are numbered after the restored ones.
    ServerSchema::renumberAfterKeys(live);
    if (!live.commit())
        throw QirvoError(u"%1：%2"_s.arg(failure, DescribeDatabaseError(live.lastError())));
    undo.dismiss();
}
