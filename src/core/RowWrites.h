#pragma once

#include <QString>
#include <QVariantList>

class Query;

// The steps every store takes to write one row through a dataset, each failing loudly.

// Opens an empty select of the table and appends a row to it.
void AppendRow(Query& query, const QString& table);
// Opens the select of one row; throws QirvoError(goneMessage) when the row is not there.
void OpenRow(Query& query, const QString& sql, const QVariantList& params, const QString& goneMessage);
// OpenRow, then puts the row into edit state.
void EditRow(Query& query, const QString& sql, const QVariantList& params, const QString& goneMessage);
// Posts the row; a failed post leaves no half-edited row behind.
void PostOrCancel(Query& query);
// Runs an update or delete and returns the rows it changed; throws QirvoError with failedMessage and
// the cause when it fails.
int ExecOrThrow(Query& query, const QString& sql, const QVariantList& params, const QString& failedMessage);
// ExecOrThrow, which also throws with noneMessage when it changed no row.
void ChangeRows(Query& query, const QString& sql, const QVariantList& params, const QString& failedMessage,
                const QString& noneMessage);
