#pragma once

class QSqlDatabase;
struct sqlite3;

// The SQLite connection behind an open database; null when its driver is not SQLite's.
sqlite3* SqliteHandleOf(const QSqlDatabase& database);

// Adds what the statements need beyond SQLite's own functions: Round with ties to even, and InStr
// that ignores letter case like every other text comparison of the database. A null test is
// written "x is null": SQLite reads IsNull as an operator keyword.
void registerSqlFunctions(sqlite3* handle);
