#pragma once

#include "ReportPage.h"
#include "ReportTemplate.h"

#include <QDateTime>

#include <functional>
#include <optional>

class Query;

// Turns a template and the rows of its query into pages. The walk reads every row from the
// first to the last and leaves the query on its last row.
class ReportLayout
{
public:
    // Called after each row; returning false cancels the preparation.
    using Progress = std::function<bool(int done, int total)>;

    // Throws QirvoError for a column or field the query does not have. Empty when cancelled.
    static std::optional<QList<ReportPage>> prepare(const ReportTemplate& report, Query& query,
                                                    const QDateTime& printedAt, const Progress& progress);
};
