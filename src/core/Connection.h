#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "ServerAddress.h"
#include "SqlDialect.h"

#include <optional>

// The one database connection of the program. It takes the connection string the rest of the
// program composes and opens the SQLite file named by its data source, or, once given a server
// address, the Qirvo database on that PostgreSQL server.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& connectionString);
    // From now on open() connects to this server database instead of the file.
    void setServer(const ServerAddress& address);
    const std::optional<ServerAddress>& server() const { return m_server; }
    const SqlDialect& dialect() const { return m_dialect; }
    // The file's path or the server and database, as the main window shows them.
    QString shownStore() const;
    const QString& connectionString() const { return m_connectionString; }
    QString databasePath() const;

    // Throws QirvoError when the file or server database cannot be used; it is then left as it was.
    void open();
    void close();
    bool isOpen() const;

    QSqlDatabase database() const;

    // After a failed action: when the server connection broke, makes a new one, so the next
    // action works without a restart. Nothing happens while it holds.
    void reconnectIfLost();

    // Inside a transaction: waits until no other workstation holds the same claim, and holds it
    // until the transaction ends, so that a check and the write it allows are one step for all.
    // The server has named locks; the file has one write lock for every claim. Throws QirvoError.
    void claim(const QString& name);

    // Column names of a table, as the table declares them.
    const QStringList& tableColumns(const QString& table);

private:
    void openFile();
    void openServer();
    void registerFunctions();
    void checkNotLocked();

    QString m_name;
    QString m_connectionString;
    std::optional<ServerAddress> m_server;
    SqlDialect m_dialect;
    QHash<QString, QStringList> m_tableColumns;
};
