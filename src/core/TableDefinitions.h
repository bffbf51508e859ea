#pragma once

#include <QList>
#include <QString>

// The eight tables, described once; each store writes them in its own words. Names and codes
// compare without letter case on both: collate nocase on the file, citext on the server.
enum class ColumnKind {
    Key,  // the row's number, given by the database
    Name, // text compared without letter case
    Text, // text compared as written
    Date, // a day; ISO text (yyyy-MM-dd) on the file
    Integer,
    Number, // a double, as the file's real
    Flag,   // 0 or 1, never empty
};

struct ColumnDefinition
{
    QString name;
    ColumnKind kind;
};

struct TableDefinition
{
    QString name;
    QList<ColumnDefinition> columns;
};

const QList<TableDefinition>& QirvoTables();
// The table's key column; empty for a table without one.
QString KeyColumn(const TableDefinition& table);

// "create table" for the SQLite file and for the PostgreSQL server. The server's table names are
// the file's in lower case, quoted, since "user" is a reserved word there.
QString FileCreateStatement(const TableDefinition& table);
QString ServerCreateStatement(const TableDefinition& table);
QString ServerTableName(const QString& name);
// The row number column the server gives a table without a key, as the file's rowid.
inline const QString ServerRowColumn = QStringLiteral("qirvo_rowid");
