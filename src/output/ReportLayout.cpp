#include "ReportLayout.h"

#include "QirvoError.h"
#include "Query.h"

using namespace Qt::StringLiterals;

QString ReportPage::text() const
{
    QStringList texts;
    for (const ReportItem& item : items)
        texts << item.text;
    return texts.join(u'\n');
}

namespace {

constexpr double MmPerPt = 25.4 / 72;

} // namespace

std::optional<ReportLayout> ReportLayout::prepare(const ReportTemplate& report, Query& query,
                                                  const QDateTime& printedAt, const Progress& progress)
{
    if (!query.isActive())
        query.open();
    ReportLayout layout(report, query, printedAt);
    try {
        layout.bindFields();
    } catch (const QirvoError& error) {
        throw QirvoError(u"报表模板 %1 有误：%2"_s.arg(report.name, error.message()));
    }
    if (!layout.plan(progress))
        return std::nullopt;
    if (layout.m_rows > 0)
        query.last();
    return layout;
}

ReportLayout::ReportLayout(const ReportTemplate& report, Query& query, const QDateTime& printedAt)
    : m_report(report), m_query(&query), m_printedAt(printedAt), m_rows(query.recordCount()),
      m_size(report.landscape ? QSizeF(297, 210) : QSizeF(210, 297)), m_lineMm(report.fontPt * MmPerPt * 1.8)
{
    m_top = MarginMm + m_lineMm * rowsOf(report.header) + (report.header.isEmpty() ? 0 : m_lineMm * 0.5);
    m_bottom = m_size.height() - MarginMm - m_lineMm * rowsOf(report.footer);
    layOutColumns();

    const bool hasColumns = !report.columns.isEmpty();
    if (!report.title.isEmpty())
        m_before << Part{PartKind::Title};
    addLineParts(m_before, LineSet::TitleLines);
    if (hasColumns) {
        m_before << Part{PartKind::ColumnTitles};
        m_perRow << Part{PartKind::Cells};
    }
    addLineParts(m_perRow, LineSet::Record);
    if (hasColumns && !report.summaryCells.isEmpty())
        m_after << Part{PartKind::SummaryCells};
    addLineParts(m_after, LineSet::Summary);
}

void ReportLayout::bindFields()
{
    for (const ReportTemplate::Column& column : m_report.columns) {
        const int index = m_query->fieldIndex(column.field);
        if (index < 0)
            throw QirvoError(u"数据集中没有字段“%1”"_s.arg(column.field));
        m_fieldIndex << index;
    }
    for (const QString& text : m_report.expressionTexts())
        ReportExpression::checkFields(text, *m_query);
}

const QList<ReportTemplate::Line>& ReportLayout::linesOf(LineSet lineSet) const
{
    switch (lineSet) {
    case LineSet::TitleLines:
        return m_report.titleLines;
    case LineSet::Record:
        return m_report.record;
    case LineSet::Summary:
        break;
    }
    return m_report.summary;
}

void ReportLayout::addLineParts(QList<Part>& parts, LineSet lineSet) const
{
    const QList<ReportTemplate::Line>& lines = linesOf(lineSet);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == 0 || !lines[i].sharesRow)
            parts << Part{PartKind::Lines, lineSet, i, 1};
        else
            ++parts.last().lineCount;
    }
}

// Where each page starts: a band that does not fit below the last one begins a new page, and a
// row's cells carry the column titles over with them.
bool ReportLayout::plan(const Progress& progress)
{
    m_pageStarts = {PageStart{0, false}};
    qint64 unit = 0;
    double y = m_top;
    const auto place = [&](const Part& part) {
        if (part.kind != PartKind::Title && y + roomFor(part) > m_bottom) {
            const bool repeats = part.kind == PartKind::Cells;
            m_pageStarts << PageStart{unit, repeats};
            y = m_top + (repeats ? m_lineMm : 0);
        }
        y += heightOf(part);
        ++unit;
    };
    for (const Part& part : std::as_const(m_before))
        place(part);
    for (int row = 0; row < m_rows; ++row) {
        for (const Part& part : std::as_const(m_perRow))
            place(part);
        if (progress && !progress(row + 1, m_rows))
            return false;
    }
    for (const Part& part : std::as_const(m_after))
        place(part);
    return true;
}

qint64 ReportLayout::unitCount() const
{
    return m_before.size() + qint64(m_rows) * m_perRow.size() + m_after.size();
}

ReportLayout::Unit ReportLayout::unit(qint64 index) const
{
    if (index < m_before.size())
        return {m_before[index], m_rows > 0 ? 0 : -1};
    index -= m_before.size();
    const qint64 rowUnits = qint64(m_rows) * m_perRow.size();
    if (index < rowUnits)
        return {m_perRow[index % m_perRow.size()], int(index / m_perRow.size())};
    return {m_after[index - rowUnits], m_rows - 1};
}

// The column titles ask for room for one row under them, so they never end a page alone.
double ReportLayout::roomFor(const Part& part) const
{
    return part.kind == PartKind::ColumnTitles ? m_lineMm * 2 : heightOf(part);
}

double ReportLayout::heightOf(const Part& part) const
{
    return part.kind == PartKind::Title ? m_lineMm * 2 : m_lineMm;
}

void ReportLayout::layOutColumns()
{
    double total = 0;
    for (const ReportTemplate::Column& column : m_report.columns)
        total += column.widthMm;
    const double scale = total > contentWidth() ? contentWidth() / total : 1.0;
    double x = MarginMm + (contentWidth() - total * scale) / 2;
    for (const ReportTemplate::Column& column : m_report.columns) {
        m_columnX << x;
        m_columnWidth << column.widthMm * scale;
        x += column.widthMm * scale;
    }
}

ReportPage ReportLayout::page(int index) const
{
    ReportPage page{m_size, {}};
    ReportExpression::Context context{m_query,           -1, index + 1, pageCount(), m_printedAt.date(),
                                      m_printedAt.time()};
    const PageStart& start = m_pageStarts[index];
    const qint64 end = index + 1 < pageCount() ? m_pageStarts[index + 1].unit : unitCount();
    double y = m_top;
    if (start.repeatsColumnTitles) {
        addColumnTitles(page, y);
        y += m_lineMm;
    }
    for (qint64 i = start.unit; i < end; ++i) {
        const Unit band = unit(i);
        context.row = band.row;
        addPart(page, band, y, context);
        y += heightOf(band.part);
    }
    context.row = m_rows - 1;
    addFixedLines(page, m_report.header, MarginMm, context);
    addFixedLines(page, m_report.footer, m_bottom, context);
    return page;
}

void ReportLayout::addPart(ReportPage& page, const Unit& unit, double y,
                           ReportExpression::Context& context) const
{
    const auto add = [&page](const QRectF& rect, const QString& text, Qt::Alignment align, double fontPt,
                             bool bold, bool boxed) {
        page.items.append(ReportItem{rect, text, align, fontPt, bold, boxed});
    };
    const double fontPt = m_report.fontPt;
    switch (unit.part.kind) {
    case PartKind::Title:
        add(QRectF(MarginMm, y, contentWidth(), m_lineMm * 2),
            ReportExpression::evaluate(m_report.title, context), Qt::AlignCenter, fontPt * 1.8, true, false);
        break;
    case PartKind::Lines: {
        const QList<ReportTemplate::Line>& lines = linesOf(unit.part.lineSet);
        for (qsizetype i = unit.part.firstLine; i < unit.part.firstLine + unit.part.lineCount; ++i)
            add(QRectF(MarginMm, y, contentWidth(), m_lineMm),
                ReportExpression::evaluate(lines[i].text, context), lines[i].align | Qt::AlignVCenter, fontPt,
                false, false);
        break;
    }
    case PartKind::ColumnTitles:
        addColumnTitles(page, y);
        break;
    case PartKind::Cells:
        for (int i = 0; i < m_report.columns.size(); ++i) {
            const ReportTemplate::Column& column = m_report.columns[i];
            const QVariant value = m_query->value(unit.row, m_fieldIndex.value(i));
            add(QRectF(m_columnX[i], y, m_columnWidth[i], m_lineMm),
                ReportExpression::formatValue(value, column.format), column.align | Qt::AlignVCenter, fontPt,
                false, true);
        }
        break;
    case PartKind::SummaryCells:
        for (int i = 0; i < m_report.columns.size(); ++i) {
            const QString text = m_report.summaryCells.value(m_report.columns[i].field.toLower());
            add(QRectF(m_columnX[i], y, m_columnWidth[i], m_lineMm),
                ReportExpression::evaluate(text, context), m_report.columns[i].align | Qt::AlignVCenter,
                fontPt, true, true);
        }
        break;
    }
}

void ReportLayout::addColumnTitles(ReportPage& page, double y) const
{
    for (int i = 0; i < m_report.columns.size(); ++i)
        page.items.append(ReportItem{QRectF(m_columnX[i], y, m_columnWidth[i], m_lineMm),
                                     m_report.columns[i].title, Qt::AlignCenter, m_report.fontPt, true,
                                     true});
}

// Lines at a fixed place of every page: the page header and footer.
void ReportLayout::addFixedLines(ReportPage& page, const QList<ReportTemplate::Line>& lines, double top,
                                 const ReportExpression::Context& context) const
{
    double y = top - m_lineMm;
    for (int i = 0; i < lines.size(); ++i) {
        if (i == 0 || !lines[i].sharesRow)
            y += m_lineMm;
        page.items.append(ReportItem{QRectF(MarginMm, y, contentWidth(), m_lineMm),
                                     ReportExpression::evaluate(lines[i].text, context),
                                     lines[i].align | Qt::AlignVCenter, m_report.fontPt, false, false});
    }
}

int ReportLayout::rowsOf(const QList<ReportTemplate::Line>& lines)
{
    int rows = 0;
    for (int i = 0; i < lines.size(); ++i)
        rows += i == 0 || !lines[i].sharesRow ? 1 : 0;
    return rows;
}
