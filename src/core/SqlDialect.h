#pragma once

#include <QString>

// The one place that knows which store a statement goes to. The program writes its statements in
// the file's words (SQLite with the Jet-style [Name] quoting); on the server they are put in
// PostgreSQL's: bracketed names become its lower-case quoted ones, planner hints go, True and False
// are the flags' 1 and 0, and the rowid of a table is its own key column, or the row number column
// the server schema gives a table without one. The functions the statements use (round, instr,
// iif, ifnull, json_each, total) exist on both.
class SqlDialect
{
public:
    enum class Store { File, Server };

    explicit SqlDialect(Store store = Store::File) : m_store(store) {}

    Store store() const { return m_store; }
    bool isServer() const { return m_store == Store::Server; }

    QString translate(const QString& sql) const;
    // A table or column name, quoted for this store.
    QString table(const QString& name) const;
    QString column(const QString& name) const;
    // The column that names a row of the table (bracketed or not) for updates and deletes.
    QString rowKey(const QString& table) const;
    // "column equals the next bound value", an empty value equal to an empty one.
    QString nullSafeEquals(const QString& column) const;

private:
    Store m_store;
};
