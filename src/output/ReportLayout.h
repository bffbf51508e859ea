#pragma once

#include "ReportExpression.h"
#include "ReportPage.h"
#include "ReportTemplate.h"

#include <QDateTime>

#include <functional>
#include <optional>

class Query;

// The pages of a prepared report. Preparing only plans where each page starts, since every line
// of a report has the same height; a page's texts are laid out, reading its rows from the query,
// when that page is asked for. So a report costs the pages in use, however long its list.
// The query must keep its result while the pages are used.
class ReportLayout
{
public:
    // Called after each row; returning false cancels the preparation.
    using Progress = std::function<bool(int done, int total)>;

    // Throws QirvoError for a column or field the query does not have. Empty when cancelled.
    // Leaves the query on its last row, as a walk through it would.
    static std::optional<ReportLayout> prepare(const ReportTemplate& report, Query& query,
                                               const QDateTime& printedAt, const Progress& progress);

    int pageCount() const { return int(m_pageStarts.size()); }
    QSizeF pageSizeMm() const { return m_size; }
    ReportPage page(int index) const;

private:
    enum class PartKind { Title, Lines, ColumnTitles, Cells, SummaryCells };
    enum class LineSet { TitleLines, Record, Summary };
    // One band of a report, which goes to a page whole: the title, the column titles, a row's
    // cells, the summary cells, or the lines of a template section that share one row.
    struct Part
    {
        PartKind kind;
        LineSet lineSet = LineSet::Record;
        qsizetype firstLine = 0;
        qsizetype lineCount = 0;
    };
    struct Unit
    {
        Part part;
        int row;
    };
    struct PageStart
    {
        qint64 unit;
        bool repeatsColumnTitles;
    };

    ReportLayout(const ReportTemplate& report, Query& query, const QDateTime& printedAt);
    void bindFields();
    bool plan(const Progress& progress);
    const QList<ReportTemplate::Line>& linesOf(LineSet lineSet) const;
    void addLineParts(QList<Part>& parts, LineSet lineSet) const;
    qint64 unitCount() const;
    Unit unit(qint64 index) const;
    double roomFor(const Part& part) const;
    double heightOf(const Part& part) const;
    void layOutColumns();
    double contentWidth() const { return m_size.width() - 2 * MarginMm; }
    void addPart(ReportPage& page, const Unit& unit, double y, ReportExpression::Context& context) const;
    void addColumnTitles(ReportPage& page, double y) const;
    void addFixedLines(ReportPage& page, const QList<ReportTemplate::Line>& lines, double top,
                       const ReportExpression::Context& context) const;
    static int rowsOf(const QList<ReportTemplate::Line>& lines);

    static constexpr double MarginMm = 15;

    ReportTemplate m_report;
    Query* m_query;
    QDateTime m_printedAt;
    int m_rows = 0;
    QSizeF m_size;
    double m_lineMm;
    double m_top = 0;
    double m_bottom = 0;
    QList<double> m_columnX;
    QList<double> m_columnWidth;
    QList<int> m_fieldIndex;
    QList<Part> m_before;
    QList<Part> m_perRow;
    QList<Part> m_after;
    QList<PageStart> m_pageStarts;
};
