#include "ReportLayout.h"

#include "QirvoError.h"
#include "Query.h"
#include "ReportExpression.h"

using namespace Qt::StringLiterals;

QString ReportPage::text() const
{
    QStringList texts;
    for (const ReportItem& item : items)
        texts << item.text;
    return texts.join(u'\n');
}

namespace {

constexpr double MarginMm = 15;
constexpr double MmPerPt = 25.4 / 72;

class PageBuilder
{
public:
    PageBuilder(const ReportTemplate& report, Query& query, const QDateTime& printedAt)
        : m_report(report), m_query(query), m_size(report.landscape ? QSizeF(297, 210) : QSizeF(210, 297)),
          m_lineMm(report.fontPt * MmPerPt * 1.8)
    {
        m_context.query = &query;
        m_context.date = printedAt.date();
        m_context.time = printedAt.time();
        m_top = MarginMm + m_lineMm * rowsOf(report.header) + (report.header.isEmpty() ? 0 : m_lineMm * 0.5);
        m_bottom = m_size.height() - MarginMm - m_lineMm * rowsOf(report.footer);
        layOutColumns();
    }

    // Throws QirvoError for a column or expression naming a field the query lacks.
    void bindFields()
    {
        for (const ReportTemplate::Column& column : m_report.columns) {
            const int index = m_query.fieldIndex(column.field);
            if (index < 0)
                throw QirvoError(u"数据集中没有字段“%1”"_s.arg(column.field));
            m_fieldIndex << index;
        }
        for (const QString& text : m_report.expressionTexts())
            ReportExpression::checkFields(text, m_query);
    }

    std::optional<QList<ReportPage>> build(const ReportLayout::Progress& progress)
    {
        const int rows = m_query.recordCount();
        startPage();
        m_context.row = rows > 0 ? 0 : -1;
        if (!m_report.title.isEmpty()) {
            addItem(QRectF(MarginMm, m_y, contentWidth(), m_lineMm * 2), evaluate(m_report.title),
                    Qt::AlignCenter, m_report.fontPt * 1.8, true, false);
            m_y += m_lineMm * 2;
        }
        addLines(m_report.titleLines);
        if (!m_report.columns.isEmpty())
            addColumnTitles();

        for (int row = 0; row < rows; ++row) {
            m_context.row = row;
            if (!m_report.columns.isEmpty())
                addRowCells();
            addLines(m_report.record);
            if (progress && !progress(row + 1, rows))
                return std::nullopt;
        }
        if (rows > 0)
            m_query.last();

        m_context.row = rows - 1;
        if (!m_report.summaryCells.isEmpty() && !m_report.columns.isEmpty())
            addSummaryCells();
        addLines(m_report.summary);
        finishPages();
        return m_pages;
    }

private:
    double contentWidth() const { return m_size.width() - 2 * MarginMm; }

    void layOutColumns()
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

    QString evaluate(const QString& text) const { return ReportExpression::evaluate(text, m_context); }

    void startPage()
    {
        m_pages.append(ReportPage{m_size, {}});
        m_y = m_top;
    }

    void ensureRoom(double height, bool repeatTitles)
    {
        if (m_y + height <= m_bottom)
            return;
        startPage();
        if (repeatTitles && !m_report.columns.isEmpty())
            addColumnTitles();
    }

    void addItem(const QRectF& rect, const QString& text, Qt::Alignment align, double fontPt, bool bold,
                 bool boxed)
    {
        m_pages.last().items.append(ReportItem{rect, text, align, fontPt, bold, boxed});
    }

    void addLines(const QList<ReportTemplate::Line>& lines)
    {
        for (int i = 0; i < lines.size(); ++i) {
            const ReportTemplate::Line& line = lines[i];
            const bool ownRow = i == 0 || !line.sharesRow;
            if (ownRow) {
                ensureRoom(m_lineMm, false);
                m_y += m_lineMm;
            }
            addItem(QRectF(MarginMm, m_y - m_lineMm, contentWidth(), m_lineMm), evaluate(line.text),
                    line.align | Qt::AlignVCenter, m_report.fontPt, false, false);
        }
    }

    void addColumnTitles()
    {
        ensureRoom(m_lineMm * 2, false);
        for (int i = 0; i < m_report.columns.size(); ++i)
            addItem(QRectF(m_columnX[i], m_y, m_columnWidth[i], m_lineMm), m_report.columns[i].title,
                    Qt::AlignCenter, m_report.fontPt, true, true);
        m_y += m_lineMm;
    }

    void addRowCells()
    {
        ensureRoom(m_lineMm, true);
        for (int i = 0; i < m_report.columns.size(); ++i) {
            const ReportTemplate::Column& column = m_report.columns[i];
            const QVariant value = m_query.value(m_context.row, m_fieldIndex.value(i));
            addItem(QRectF(m_columnX[i], m_y, m_columnWidth[i], m_lineMm),
                    ReportExpression::formatValue(value, column.format), column.align | Qt::AlignVCenter,
                    m_report.fontPt, false, true);
        }
        m_y += m_lineMm;
    }

    void addSummaryCells()
    {
        ensureRoom(m_lineMm, false);
        for (int i = 0; i < m_report.columns.size(); ++i) {
            const QString text = m_report.summaryCells.value(m_report.columns[i].field.toLower());
            addItem(QRectF(m_columnX[i], m_y, m_columnWidth[i], m_lineMm), evaluate(text),
                    m_report.columns[i].align | Qt::AlignVCenter, m_report.fontPt, true, true);
        }
        m_y += m_lineMm;
    }

    // Lines at a fixed place of every page: the page header and footer.
    void addFixedLines(ReportPage& page, const QList<ReportTemplate::Line>& lines, double top) const
    {
        double y = top - m_lineMm;
        for (int i = 0; i < lines.size(); ++i) {
            if (i == 0 || !lines[i].sharesRow)
                y += m_lineMm;
            page.items.append(ReportItem{QRectF(MarginMm, y, contentWidth(), m_lineMm),
                                         evaluate(lines[i].text), lines[i].align | Qt::AlignVCenter,
                                         m_report.fontPt, false, false});
        }
    }

    static int rowsOf(const QList<ReportTemplate::Line>& lines)
    {
        int rows = 0;
        for (int i = 0; i < lines.size(); ++i)
            rows += i == 0 || !lines[i].sharesRow ? 1 : 0;
        return rows;
    }

    void finishPages()
    {
        m_context.pages = int(m_pages.size());
        for (int page = 0; page < m_pages.size(); ++page) {
            m_context.page = page + 1;
            addFixedLines(m_pages[page], m_report.header, MarginMm);
            addFixedLines(m_pages[page], m_report.footer, m_bottom);
        }
    }

    const ReportTemplate& m_report;
    Query& m_query;
    QSizeF m_size;
    double m_lineMm;
    double m_top = 0;
    double m_bottom = 0;
    double m_y = 0;
    QList<double> m_columnX;
    QList<double> m_columnWidth;
    QList<int> m_fieldIndex;
    ReportExpression::Context m_context;
    QList<ReportPage> m_pages;
};

} // namespace

std::optional<QList<ReportPage>> ReportLayout::prepare(const ReportTemplate& report, Query& query,
                                                       const QDateTime& printedAt, const Progress& progress)
{
    if (!query.isActive())
        query.open();
    PageBuilder builder(report, query, printedAt);
    try {
        builder.bindFields();
    } catch (const QirvoError& error) {
        throw QirvoError(u"报表模板 %1 有误：%2"_s.arg(report.name, error.message()));
    }
    return builder.build(progress);
}
