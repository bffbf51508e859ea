#include "ServerSchema.h"

#include "QirvoError.h"
#include "Schema.h"
#include "ServerAddress.h"
#include "TableDefinitions.h"

#include <QScopeGuard>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

// The file's Round and InStr are functions of the program's own (ties to even; letter case
// ignored). The server gets the same: PostgreSQL's round(numeric, int) rounds ties away from zero,
// so round(double precision, int) is defined here, computed as the file computes it.
const char16_t* const Functions[] = {
    uR"(create function round(value double precision, decimals integer) returns double precision
        language sql immutable strict parallel safe
        return pg_catalog.round(value / power(10::double precision, -decimals)) *
               power(10::double precision, -decimals))",
    // Numbers written in a statement are numeric on the server; they round as the file's do.
    uR"(create function round(value numeric, decimals integer) returns double precision
        language sql immutable strict parallel safe
        return round(value::double precision, decimals))",
    uR"(create function round(value numeric) returns double precision
        language sql immutable strict parallel safe
        return round(value::double precision, 0))",
    // As in Basic: nothing is found in an empty text, and an empty text at the start of any other.
    uR"(create function instr(haystack text, needle text) returns integer
        language sql immutable strict parallel safe
        return case when haystack = '' then 0 else strpos(lower(haystack), lower(needle)) end)",
    uR"(create function iif(test boolean, yes anycompatible, no anycompatible) returns anycompatible
        language sql immutable parallel safe
        as $$ select case when test then yes else no end $$)",
    uR"(create function ifnull(value anycompatible, otherwise anycompatible) returns anycompatible
        language sql immutable parallel safe
        as $$ select coalesce(value, otherwise) $$)",
    // The values of a JSON array as rows, as SQLite's json_each gives them: a list of names travels
    // as one bound value.
    uR"(create function json_each(list text) returns table (value text)
        language sql immutable strict parallel safe
        as $$ select json_array_elements_text(list::json) $$)",
    // SQLite's total(): a sum that is 0 over no rows.
    uR"(create aggregate total(double precision) (sfunc = float8pl, stype = double precision, initcond = '0'))",
};

const char16_t* const Indexes[] = {
    u"create index recordbyserial on \"recordtable\" (recordserial)",
    u"create index recordbydatecovered on \"recordtable\" (recordrecorddate, recordindex) "
    u"include (recordcounter, recordnumber, recordsum)",
    u"create index recordbyuserdatecovered on \"recordtable\" (recorduser, recordrecorddate) "
    u"include (recordcounter, recordnumber, recordsum)",
    u"create index jchengbyuserdate on \"jcheng\" (jchenguser, jchengdate)",
    u"create index pricebycounter on \"price\" (pricecounter)",
    u"create index userbyname on \"user\" (username)",
    u"create index counterbyserial on \"counter\" (counterserial)",
    u"create index payforbyenable on \"payfor\" (payforenable)",
};

void run(QSqlQuery& query, const QString& sql)
{
    if (!query.exec(sql))
        throw QirvoError(u"建立数据库失败：%1\n%2"_s.arg(query.lastError().text(), sql));
}

int tableCount(const QSqlDatabase& database)
{
    QSqlQuery query(database);
    if (!query.exec(u"select count(*) from pg_tables where schemaname = current_schema()"_s) || !query.next())
        throw QirvoError(u"无法读取数据库的表：%1"_s.arg(query.lastError().text()));
    return query.value(0).toInt();
}

} // namespace

void ServerSchema::create(const QSqlDatabase& database)
{
    if (tableCount(database) > 0)
        throw QirvoError(u"数据库 %1 中已经有表，未作改动。本软件只在空的数据库中建立自己的表。"_s.arg(
            database.databaseName()));
    QSqlDatabase db = database;
    if (!db.transaction())
        throw QirvoError(u"建立数据库失败：%1"_s.arg(db.lastError().text()));
    QSqlQuery query(db);
    try {
        run(query, u"create extension if not exists citext"_s);
        for (const char16_t* statement : Functions)
            run(query, QString::fromUtf16(statement));
        for (const TableDefinition& table : QirvoTables())
            run(query, ServerCreateStatement(table));
        for (const char16_t* statement : Indexes)
            run(query, QString::fromUtf16(statement));
        Schema::addDeliveredAccounts(db, ServerTableName(u"Power"_s));
        run(query, u"create table qirvo_schema (application text primary key, version integer not null)"_s);
        query.prepare(u"insert into qirvo_schema (application, version) values ('Qirvo', ?)"_s);
        query.addBindValue(Schema::CurrentVersion);
        if (!query.exec())
            throw QirvoError(u"建立数据库失败：%1"_s.arg(query.lastError().text()));
    } catch (const QirvoError&) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QString reason = db.lastError().text();
        db.rollback();
        throw QirvoError(u"建立数据库失败：%1"_s.arg(reason));
    }
}

void ServerSchema::renumberAfterKeys(const QSqlDatabase& database)
{
    QSqlQuery statement(database);
    for (const TableDefinition& table : QirvoTables())
        if (const QString key = KeyColumn(table); !key.isEmpty())
            run(statement,
                u"select setval(pg_get_serial_sequence('%1', '%2'), coalesce(max(%2), 0) + 1, false) from %1"_s
                    .arg(ServerTableName(table.name), key.toLower()));
}

std::optional<int> ServerSchema::versionOf(const QSqlDatabase& database)
{
    QSqlQuery query(database);
    if (!query.exec(u"select to_regclass('qirvo_schema') is not null"_s) || !query.next())
        throw QirvoError(u"无法读取数据库的版本：%1"_s.arg(query.lastError().text()));
    if (!query.value(0).toBool())
        return std::nullopt;
    if (!query.exec(u"select version from qirvo_schema where application = 'Qirvo'"_s))
        throw QirvoError(u"无法读取数据库的版本：%1"_s.arg(query.lastError().text()));
    if (!query.next())
        return std::nullopt;
    return query.value(0).toInt();
}

void ServerSchema::check(const QSqlDatabase& database, const QString& shownName)
{
    const std::optional<int> version = versionOf(database);
    if (!version)
        throw QirvoError(
            u"服务器上的数据库 %1 不是本软件的数据库（没有本软件的标记），本软件不能使用它。\n"
            u"请用 qirvo-makedb --database 地址 在一个新的数据库中建立本软件的表。"_s.arg(shownName));
    if (*version > Schema::CurrentVersion)
        throw QirvoError(u"服务器上的数据库 %1 来自更新版本的本软件（数据库版本 %2，本软件只认识到版本 %3），"
                         u"本软件不能使用它。请用新版本的软件打开它。"_s.arg(shownName)
                             .arg(*version)
                             .arg(Schema::CurrentVersion));
}

bool ServerSchema::createDatabaseIfMissing(const ServerAddress& address)
{
    const QString connectionName = u"qirvo-maintenance"_s;
    const auto forget = qScopeGuard([&] { QSqlDatabase::removeDatabase(connectionName); });
    bool created = false;
    {
        QSqlDatabase maintenance = address.maintenance().open(connectionName);
        QSqlQuery query(maintenance);
        query.prepare(u"select count(*) from pg_database where datname = ?"_s);
        query.addBindValue(address.databaseName());
        if (!query.exec() || !query.next())
            throw QirvoError(u"无法查看服务器上的数据库：%1"_s.arg(query.lastError().text()));
        if (query.value(0).toInt() == 0) {
            const QString name =
                maintenance.driver()->escapeIdentifier(address.databaseName(), QSqlDriver::TableName);
            if (!query.exec(u"create database %1 encoding 'UTF8' template template0"_s.arg(name)))
                throw QirvoError(u"无法在服务器上建立数据库 %1：%2"_s.arg(address.databaseName(),
                                                                          query.lastError().text()));
            created = true;
        }
    }
    return created;
}
