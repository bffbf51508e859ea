#pragma once

#include <QSqlDatabase>

#include <optional>

class ServerAddress;

// The Qirvo database on a PostgreSQL server: the same eight tables, indexes and accounts as the
// delivered file, the rounding and search functions the statements rely on, and the marker table
// qirvo_schema that says whose database it is and of which version.
class ServerSchema
{
public:
    // Fills an empty database, all in one transaction. Throws QirvoError, changing nothing, when it
    // holds tables already or cannot be written.
    static void create(const QSqlDatabase& database);
    // The marker's version; empty when the database carries no marker.
    static std::optional<int> versionOf(const QSqlDatabase& database);
    // Throws QirvoError unless this is a Qirvo database this program knows.
    static void check(const QSqlDatabase& database, const QString& shownName);
    // After rows were written with their keys given: new rows are numbered after the largest key.
    // Throws QirvoError.
    static void renumberAfterKeys(const QSqlDatabase& database);
    // Creates the database on its server when it does not exist yet. True when it was created.
    static bool createDatabaseIfMissing(const ServerAddress& address);
};
