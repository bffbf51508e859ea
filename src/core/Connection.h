#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The one database connection of the program. It takes the connection string the rest of the
// program composes and opens the SQLite file named by its data source.
class Connection
{
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& connectionString);
    const QString& connectionString() const { return m_connectionString; }
    QString databasePath() const;

    // Throws QirvoError when the file cannot be used; the file is then left as it was.
    void open();
    void close();
    bool isOpen() const;

    QSqlDatabase database() const;

    // Column names of a table, as the table declares them.
    const QStringList& tableColumns(const QString& table);

private:
    void registerFunctions();
    void checkNotLocked();

    QString m_name;
    QString m_connectionString;
    QHash<QString, QStringList> m_tableColumns;
};
