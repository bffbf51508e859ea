#pragma once

#include <QDate>
#include <QStringList>
#include <QVariantList>

// Computes the payroll of the chosen workers over a date range and writes it over the stored
// payroll rows: every row is withdrawn first, then the rows are overwritten in the table's order
// and appended only when they run out. All of it happens in one transaction.
class PayrollGenerator
{
public:
    // The computed rows: every roster column, then jjianSum, jliSum, cfaSum and TotalSum. Bound
    // values: computationParams().
    static QString computationSql();
    static QVariantList computationParams(const QStringList& names, const QDate& start, const QDate& end);

    // Throws QirvoError (nothing changed) for an empty choice of workers, a start after the end, or
    // a failure on the way. Returns the number of payroll rows written.
    static int generate(const QStringList& names, const QDate& start, const QDate& end);

    // Each generation numbers the stored payroll anew; 0 before the first.
    static qint64 storedVersion();
    struct Written
    {
        int rows = 0;
        qint64 version = 0;
        // Another payroll was written after the one of the version the clerk last saw.
        bool replacedAnother = false;
    };
    // As generate(), for a clerk whose list shows the payroll of seenVersion.
    static Written generateOver(const QStringList& names, const QDate& start, const QDate& end,
                                qint64 seenVersion);
};
