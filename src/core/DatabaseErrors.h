#pragma once

#include <QString>

class QSqlError;

// What a failed database step means for the clerk.
enum class DatabaseFailure { Busy, ReadOnly, Full, Damaged, Io, Lost, Other };

DatabaseFailure ClassifyDatabaseError(const QSqlError& error);

// The failure in the clerk's words, what happened and what to do, with the database's own text on a
// second line for support.
QString DescribeDatabaseError(const QSqlError& error);
