#pragma once

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include "SqlDialect.h"

#include <memory>
#include <optional>

// The rows of a long result, a page at a time. Opening reads only each row's key, in the result's
// order, and the totals of the chosen columns in the same pass; a row's values are read, with the
// rest of its page, when it is first asked for, and only a few pages are kept. A list of a million
// rows so costs its keys and what is on the screen.
class RowWindow
{
public:
    // Null when the statement is no plain "select … from … [where …] [order by …]". keyColumn names
    // a unique key of the result's rows. Throws QirvoError, with the database's reason, on failure.
    static std::unique_ptr<RowWindow> open(const QSqlDatabase& database, const SqlDialect& dialect,
                                           const QString& sql, const QVariantList& params,
                                           const QString& keyColumn, const QStringList& totalledFields,
                                           int pageRows);

    const QStringList& fields() const { return m_fields; }
    int size() const { return int(m_keys.size()); }
    qint64 key(int row) const { return m_keys.at(row); }
    // The row's values in field order; empty values for a row deleted meanwhile.
    const QVector<QVariant>& values(int row) const;
    // Forgets the row; the totals lose its values.
    void removeAt(int row);
    // The sum of a totalled field over every row, empty values skipped.
    std::optional<double> total(const QString& field) const;

private:
    RowWindow() = default;
    void fetchPage(int page) const;

    QSqlDatabase m_database;
    QString m_fetchSql;
    QVariantList m_params;
    int m_pageRows = 256;
    QStringList m_fields;
    QVector<qint64> m_keys;
    QHash<QString, double> m_totals;
    mutable QHash<int, QVector<QVector<QVariant>>> m_pages;
    mutable QList<int> m_recentPages;
};
