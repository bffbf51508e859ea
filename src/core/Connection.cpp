#include "Connection.h"

#include "DatabaseErrors.h"
#include "DatabaseFile.h"
#include "QirvoError.h"
#include "ServerSchema.h"
#include "SqlFunctions.h"
#include "TableDefinitions.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <sqlite3.h>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

const QString DataSourceKey = u"Data Source="_s;
const QString PasswordKey = u";Jet OLEDB:Database Password="_s;

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return u"qirvo-%1"_s.arg(++counter);
}

} // namespace

Connection::Connection() : m_name(nextConnectionName()) {}

Connection::~Connection()
{
    close();
    QSqlDatabase::removeDatabase(m_name);
}

void Connection::setConnectionString(const QString& connectionString)
{
    if (m_server) {
        // Back from a server to the file: the name is the file driver's again.
        close();
        QSqlDatabase::removeDatabase(m_name);
        m_server.reset();
        m_dialect = SqlDialect(SqlDialect::Store::File);
    }
    m_connectionString = connectionString;
}

QString Connection::databasePath() const
{
    const qsizetype start = m_connectionString.indexOf(DataSourceKey, 0, Qt::CaseInsensitive);
    if (start < 0)
        return {};
    const qsizetype from = start + DataSourceKey.size();
    // The password follows the path; a path may itself hold a semicolon, so look for the whole key.
    const qsizetype end = m_connectionString.lastIndexOf(PasswordKey, -1, Qt::CaseInsensitive);
    return m_connectionString.mid(from, end > from ? end - from : -1);
}

void Connection::setServer(const ServerAddress& address)
{
    close();
    // The name was the file's driver's; the server's driver takes it over.
    QSqlDatabase::removeDatabase(m_name);
    m_server = address;
    m_dialect = SqlDialect(SqlDialect::Store::Server);
}

QString Connection::shownStore() const
{
    return m_server ? u"服务器 %1"_s.arg(m_server->shown())
                    : QDir::toNativeSeparators(QFileInfo(databasePath()).absoluteFilePath());
}

void Connection::open()
{
    close();
    if (m_server)
        openServer();
    else
        openFile();
}

void Connection::openServer()
{
    QSqlDatabase db = m_server->open(m_name);
    try {
        // The schema's own round() goes before the built-in one, which rounds ties away from zero.
        QSqlQuery searchPath(db);
        if (!searchPath.exec(u"set search_path = public, pg_catalog"_s))
            throw QirvoError(
                u"无法连接数据库服务器 %1：\n%2"_s.arg(m_server->shown(), searchPath.lastError().text()));
        ServerSchema::check(db, m_server->shown());
    } catch (...) {
        close();
        throw;
    }
}

void Connection::openFile()
{
    const QString path = databasePath();
    if (path.isEmpty())
        throw QirvoError(u"连接字符串中没有数据库文件的路径。"_s);
    DatabaseFile::verify(path);

    QSqlDatabase db = QSqlDatabase::contains(m_name) ? QSqlDatabase::database(m_name, false)
                                                     : QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
    // mode=rw: a file that vanished since the check must not be created anew as an empty database.
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(u"mode=rw"_s);
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(u"QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=1000"_s);
    if (!db.open())
        throw QirvoError(u"无法打开数据库文件：\n%1\n%2"_s.arg(path, db.lastError().text()));
    registerFunctions();
    try {
        checkNotLocked();
    } catch (...) {
        close();
        throw;
    }
}

void Connection::registerFunctions()
{
    sqlite3* handle = SqliteHandleOf(database());
    if (!handle)
        throw QirvoError(u"数据库驱动不是 SQLite，无法继续。"_s);
    registerSqlFunctions(handle);
}

void Connection::checkNotLocked()
{
    // A write lock held by another program shows as a busy error on the first read, a damaged file
    // as a malformed one.
    QSqlQuery probe(database());
    if (probe.exec(u"select count(*) from sqlite_master"_s))
        return;
    const QSqlError error = probe.lastError();
    switch (ClassifyDatabaseError(error)) {
    case DatabaseFailure::Busy:
        throw QirvoError(
            u"数据库文件正被其他程序占用：\n%1\n（%2）\n请关闭占用它的程序后再启动本软件。"_s.arg(
                databasePath(), error.databaseText()));
    case DatabaseFailure::Damaged:
        throw QirvoError(DatabaseFile::damagedMessage(databasePath(), error.databaseText()));
    default:
        throw QirvoError(u"无法读取数据库文件：\n%1\n%2"_s.arg(databasePath(), DescribeDatabaseError(error)));
    }
}

void Connection::close()
{
    m_tableColumns.clear();
    if (!QSqlDatabase::contains(m_name))
        return;
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (db.isOpen() && !m_server) {
        // Refreshes the planner's statistics where the tables have grown since they were taken; a
        // file that cannot be written keeps the old ones, which is no reason to keep it open.
        QSqlQuery(db).exec(u"pragma optimize"_s);
    }
    db.close();
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database() const
{
    if (!QSqlDatabase::contains(m_name))
        throw QirvoError(u"数据库连接尚未打开。"_s);
    return QSqlDatabase::database(m_name, false);
}

void Connection::reconnectIfLost()
{
    if (!m_server)
        return;
    // The driver marks a connection it found broken as closed; one that broke unnoticed fails a ping.
    if (isOpen() && QSqlQuery(database()).exec(u"select 1"_s))
        return;
    close();
    try {
        open();
    } catch (const QirvoError&) {
        // The server is still away; the next action fails with its own message and tries again.
    }
}

void Connection::claim(const QString& name)
{
    QSqlQuery statement(database());
    bool done = false;
    if (m_server) {
        statement.prepare(u"select pg_advisory_xact_lock(hashtextextended(?, 0))"_s);
        statement.addBindValue(name);
        done = statement.exec();
    } else {
        // A write that changes nothing still takes the file's write lock, which a deferred
        // transaction would otherwise take only at its first real write, after the check.
        done = statement.exec(u"update Parameter set ParameterName=ParameterName where 0=1"_s);
    }
    if (!done)
        throw QirvoError(u"数据库正忙，请稍后再试：%1"_s.arg(DescribeDatabaseError(statement.lastError())));
}

const QStringList& Connection::tableColumns(const QString& table)
{
    const QString key = table.toLower();
    auto found = m_tableColumns.constFind(key);
    if (found != m_tableColumns.constEnd())
        return *found;
    QStringList columns;
    if (m_server) {
        const QSqlRecord record = database().record(table.toLower());
        for (int i = 0; i < record.count(); ++i)
            if (record.fieldName(i) != ServerRowColumn)
                columns << record.fieldName(i);
        return *m_tableColumns.insert(key, columns);
    }
    QSqlQuery info(database());
    info.prepare(u"select name from pragma_table_info(?)"_s);
    info.addBindValue(table);
    if (info.exec())
        while (info.next())
            columns << info.value(0).toString();
    return *m_tableColumns.insert(key, columns);
}
