#pragma once

#include <QSqlDatabase>
#include <QString>

// A PostgreSQL server database named as postgresql://user@host:port/dbname. A Unix socket folder
// may stand for the host as ?host=/folder. The password is libpq's own business (~/.pgpass,
// PGPASSWORD, a service file) and never part of the address.
class ServerAddress
{
public:
    // Throws QirvoError, in words a clerk can act on, for an address that is not of that form.
    static ServerAddress parse(const QString& url);

    const QString& user() const { return m_user; }
    const QString& host() const { return m_host; }
    int port() const { return m_port; }
    const QString& databaseName() const { return m_database; }
    // What the main window shows: server and database.
    QString shown() const;

    // Opens the connection of that name (made when there is none) to this database. Throws
    // QirvoError when it cannot; the connection then stays, closed, for the caller to remove.
    QSqlDatabase open(const QString& connectionName) const;
    // Another database on the same server, as the same user.
    ServerAddress withDatabase(const QString& database) const;
    // The same server's maintenance database, for creating or dropping databases.
    ServerAddress maintenance() const { return withDatabase(QStringLiteral("postgres")); }
    // The address as parse() takes it.
    QString url() const;

private:
    QString m_user;
    QString m_host;
    int m_port = 5432;
    QString m_database;
};
